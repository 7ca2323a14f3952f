// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A host of its own: links the installed libraries, opens a new database through the
// embedded host, makes the search component from the installed plugin folder and prints
// the module's version.
#include <components/ComponentFactory.h>
#include <entry/Configura.h>
#include <host/DatabaseHost.h>
#include <host/Errore.h>

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QTemporaryDir>

#include <memory>

#include <cstdio>

namespace {

// The search component, made by the plugin that names it in the package's components
// folder; false when none there loads and makes it.
bool creaComponenteRicerca() {
    const QString nome = QStringLiteral("KaloviaRicerca.Ricerca");
    const QDir cartella(QStringLiteral(KALOREFILL_CARTELLA_COMPONENTI));
    for (const QString& file : cartella.entryList(QDir::Files)) {
        QPluginLoader loader(cartella.filePath(file));
        auto* fabbrica = qobject_cast<KaloRefill::ComponentFactory*>(loader.instance());
        if (!fabbrica) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(loader.errorString()));
            continue;
        }
        if (fabbrica->componentNames().contains(nome) &&
            std::unique_ptr<QObject>(fabbrica->createComponent(nome)))
            return true;
    }
    return false;
}

} // namespace

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
    if (!creaComponenteRicerca()) {
        std::fputs("componente di ricerca non creato da " KALOREFILL_CARTELLA_COMPONENTI "\n",
                   stderr);
        return 1;
    }
    std::printf("%s\n", qPrintable(KaloRefill::Configura().Ver()));
    return 0;
}
