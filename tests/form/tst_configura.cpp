// The host's handle on the module: pass-through properties, the version text, the host
// object and Start, modal or modeless.
#include "MotoreProva.h"
#include "BancoProva.h"
#include "RisponditoreBox.h"
#include "entry/Configura.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/PulsanteGrafico.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace KaloRefill;

class TestConfigura : public QObject {
    Q_OBJECT
private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    void cleanup() { StatoModulo::istanza() = StatoModulo(); }

    void versione_data();
    void versione();
    void versioneDellaLibreria();
    void proprietaPassanti();
    void statoCondiviso();
    void applicazioneSostituita();
    void startModale();
    void startModeless_data();
    void startModeless();
};

void TestConfigura::versione_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("testo");
    QTest::newRow("questa libreria") << 2 << 0 << 23 << "2.000.023";
    QTest::newRow("tre cifre") << 2 << 7 << 123 << "2.007.123";
    QTest::newRow("quattro cifre tagliate") << 10 << 1234 << 1234 << "10.234.234";
}

void TestConfigura::versione() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QTEST(Configura::testoVersione(major, minor, revision), "testo");
}

void TestConfigura::versioneDellaLibreria() { QCOMPARE(Configura().Ver(), QStringLiteral("2.000.023")); }

void TestConfigura::proprietaPassanti() {
    using Get = QString (Configura::*)() const;
    using Set = void (Configura::*)(const QString&);
    const QList<std::pair<Get, Set>> proprieta{
        {&Configura::CodiceStampa, &Configura::setCodiceStampa},
        {&Configura::CodiceEsportazione, &Configura::setCodiceEsportazione},
        {&Configura::Codice, &Configura::setCodice},
        {&Configura::Parametri, &Configura::setParametri},
        {&Configura::CampoRicerca, &Configura::setCampoRicerca},
        {&Configura::Risposta, &Configura::setRisposta},
        {&Configura::Modale, &Configura::setModale}};
    Configura c;
    for (int i = 0; i < proprieta.size(); ++i) {
        const auto [leggi, scrivi] = proprieta[i];
        QCOMPARE((c.*leggi)(), QString()); // never set: empty
        (c.*scrivi)(QStringLiteral("valore %1 è").arg(i));
    }
    // Each keeps its own value: no two share storage.
    for (int i = 0; i < proprieta.size(); ++i)
        QCOMPARE((c.*proprieta[i].first)(), QStringLiteral("valore %1 è").arg(i));
}

void TestConfigura::statoCondiviso() {
    Configura prima;
    prima.setParametri(QStringLiteral("condiviso"));
    Configura seconda;
    QCOMPARE(seconda.Parametri(), QStringLiteral("condiviso"));
}

void TestConfigura::applicazioneSostituita() {
    BancoProva primo, secondo;
    std::weak_ptr<DatabaseHost> vecchio = primo.host();
    Configura c;
    c.setApplicazione(primo.host());
    c.setApplicazione(secondo.host());
    QCOMPARE(StatoModulo::istanza().applicazione.get(), static_cast<HostApplication*>(secondo.host().get()));
    QCOMPARE(vecchio.use_count(), 1L); // only the test's own BancoProva holds it now
}

void TestConfigura::startModale() {
    const QString modale = QStringLiteral("1");
    auto banco = BancoProva::salaPronta(3);
    Configura c;
    c.setApplicazione(banco->host());
    c.setModale(modale);
    bool chiusaDaFuori = false;
    // Start blocks until the form is closed: close it from the event loop.
    QTimer::singleShot(50, [&] {
        for (QWidget* finestra : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<FrmRefill*>(finestra); form && form->isVisible()) {
                QVERIFY(form->isModal());
                chiusaDaFuori = true;
                form->close();
            }
        }
    });
    QCOMPARE(c.Start(), QVariant());
    QVERIFY(chiusaDaFuori);
}

void TestConfigura::startModeless_data() {
    QTest::addColumn<QString>("modale");
    QTest::newRow("vuoto") << "";
    QTest::newRow("zero") << "0";
    QTest::newRow("due") << "2";
    QTest::newRow("true") << "true";
}

void TestConfigura::startModeless() {
    QFETCH(QString, modale);
    auto banco = BancoProva::salaPronta(3);
    Configura c;
    c.setApplicazione(banco->host());
    c.setModale(modale);
    QCOMPARE(c.Start(), QVariant());
    QPointer<FrmRefill> aperto;
    for (QWidget* finestra : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<FrmRefill*>(finestra); form && form->isVisible())
            aperto = form;
    QVERIFY(aperto);
    QVERIFY(!aperto->isModal());
    QCOMPARE(aperto->CmdApparecchio[2]->tag(), QStringLiteral("1003"));
    aperto->close();
    // The form lets itself go once closed.
    QTRY_VERIFY(aperto.isNull());
}

QTEST_MAIN(TestConfigura)
#include "tst_configura.moc"
