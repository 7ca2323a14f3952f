// Creating components by name: which folders are searched, in which order, and what
// comes back for names nobody answers to.
#include "ComponentRegistry.h"
#include "RegistroProva.h"
#include "search/ComponenteRicerca.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;

namespace {
const QString cartellaProva = QStringLiteral(CARTELLA_COMPONENTI_PROVA);
}

class TestComponenti : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void cartelleCercate();
    void nuovoOggettoAOgniRichiesta();
    void nomeSconosciuto();
    void nessunaCartella();
    void fileCheNonSonoComponentiIgnorati();

private:
    QByteArray m_ambiente;
};

void TestComponenti::init() {
    m_ambiente = qgetenv(ComponentRegistry::variabileCartelle);
    RegistroProva::azzera();
}

void TestComponenti::cleanup() {
    qputenv(ComponentRegistry::variabileCartelle, m_ambiente);
}

void TestComponenti::cartelleCercate() {
    const QString separatore = QString(QDir::listSeparator());
    qputenv(ComponentRegistry::variabileCartelle,
            QStringLiteral("/opt/a%1%1/opt/b/").arg(separatore).toLocal8Bit());
    const QString programma =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("components"));
    // The environment's folders come before the program's own.
    QCOMPARE(ComponentRegistry::searchFolders(),
             (QStringList{QStringLiteral("/opt/a"), QStringLiteral("/opt/b"),
                          QDir::cleanPath(programma)}));
}

void TestComponenti::nuovoOggettoAOgniRichiesta() {
    qputenv(ComponentRegistry::variabileCartelle, cartellaProva.toLocal8Bit());
    std::unique_ptr<QObject> primo =
        ComponentRegistry::create(QStringLiteral("KaloviaRicerca.Ricerca"));
    std::unique_ptr<QObject> secondo =
        ComponentRegistry::create(QStringLiteral("KaloviaRicerca.Ricerca"));
    QVERIFY(primo);
    QVERIFY(secondo);
    QVERIFY(primo.get() != secondo.get());
    QVERIFY(qobject_cast<ComponenteRicerca*>(primo.get()));
    QCOMPARE(RegistroProva::componentiVivi(), 2);
    primo.reset();
    secondo.reset();
    // The caller owns what it gets: letting go destroys it.
    QCOMPARE(RegistroProva::componentiVivi(), 0);
}

void TestComponenti::nomeSconosciuto() {
    qputenv(ComponentRegistry::variabileCartelle, cartellaProva.toLocal8Bit());
    QVERIFY(!ComponentRegistry::create(QStringLiteral("KaloviaRicerca.Stampa")));
    QVERIFY(!ComponentRegistry::create(QString()));
    QVERIFY(RegistroProva::voci().isEmpty());
}

void TestComponenti::nessunaCartella() {
    QTemporaryDir vuota;
    qputenv(ComponentRegistry::variabileCartelle,
            (vuota.path() + QDir::listSeparator() + vuota.filePath(QStringLiteral("manca")))
                .toLocal8Bit());
    QVERIFY(!ComponentRegistry::create(QStringLiteral("KaloviaRicerca.Ricerca")));
}

void TestComponenti::fileCheNonSonoComponentiIgnorati() {
    // A folder holding a broken library and an unrelated file, before the good one.
    QTemporaryDir guasta;
    QFile finta(guasta.filePath(QStringLiteral("libaaa_guasta.so")));
    QVERIFY(finta.open(QIODevice::WriteOnly));
    finta.write("not a library");
    finta.close();
    QFile testo(guasta.filePath(QStringLiteral("leggimi.txt")));
    QVERIFY(testo.open(QIODevice::WriteOnly));
    testo.close();
    qputenv(ComponentRegistry::variabileCartelle,
            (guasta.path() + QDir::listSeparator() + cartellaProva).toLocal8Bit());
    std::unique_ptr<QObject> componente =
        ComponentRegistry::create(QStringLiteral("KaloviaRicerca.Ricerca"));
    QVERIFY(componente);
    QVERIFY(qobject_cast<ComponenteRicerca*>(componente.get()));
}

QTEST_MAIN(TestComponenti)
#include "tst_componenti.moc"
