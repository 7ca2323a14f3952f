// A host of its own: links the installed libraries, opens a new database through the
// embedded host and prints the module's version.
#include <entry/Configura.h>
#include <host/DatabaseHost.h>
#include <host/Errore.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication applicazione(argc, argv);
    QTemporaryDir cartella;
    try {
        auto host = KaloRefill::DatabaseHost::crea(cartella.filePath(QStringLiteral("ospite.db")));
        KaloRefill::Configura configura;
        configura.setApplicazione(host);
        if (host->openrecordset(QStringLiteral("select * from apparecchi"))->RecordCount() != 0) {
            std::fputs("un database nuovo non dovrebbe avere apparecchi\n", stderr);
            return 1;
        }
        configura.setApplicazione(nullptr);
    } catch (const KaloRefill::Errore& errore) {
        std::fprintf(stderr, "%s\n", errore.what());
        return 1;
    }
    std::printf("%s\n", qPrintable(KaloRefill::Configura().Ver()));
    return 0;
}
