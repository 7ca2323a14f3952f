// The host's handle on the module: pass-through properties, the version text, the host
// object and Start, modal or modeless.
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
    void cleanup() { StatoModulo::istanza() = StatoModulo(); }

    void versione_data();
    void versione();
    void versioneDellaLibreria();
    void proprietaPassanti();
    void statoCondiviso();
    void applicazioneSostituita();
    void startModale_data();
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
    Configura c;
    QCOMPARE(c.CodiceStampa(), QString());
    QCOMPARE(c.Modale(), QString());
    c.setCodiceStampa(QStringLiteral("STAMPA-1"));
    c.setCodiceEsportazione(QStringLiteral("exp"));
    c.setCodice(QStringLiteral("Ç"));
    c.setParametri(QStringLiteral("a=1;b=2"));
    c.setCampoRicerca(QStringLiteral("dataregistrazione"));
    c.setRisposta(QStringLiteral("12/04/2026"));
    c.setModale(QStringLiteral("1"));
    QCOMPARE(c.CodiceStampa(), QStringLiteral("STAMPA-1"));
    QCOMPARE(c.CodiceEsportazione(), QStringLiteral("exp"));
    QCOMPARE(c.Codice(), QStringLiteral("Ç"));
    QCOMPARE(c.Parametri(), QStringLiteral("a=1;b=2"));
    QCOMPARE(c.CampoRicerca(), QStringLiteral("dataregistrazione"));
    QCOMPARE(c.Risposta(), QStringLiteral("12/04/2026"));
    QCOMPARE(c.Modale(), QStringLiteral("1"));
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

void TestConfigura::startModale_data() {
    QTest::addColumn<QString>("modale");
    QTest::newRow("1") << "1";
}

void TestConfigura::startModale() {
    QFETCH(QString, modale);
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
