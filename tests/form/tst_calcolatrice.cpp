// The keypad's arithmetic and text rules, and the keyboard table, without a window.
#include "form/Calcolatrice.h"
#include "form/Letture.h"
#include "form/TastiLettura.h"
#include "host/Errore.h"

#include <QKeyEvent>
#include <QTest>

using namespace KaloRefill;

class TestCalcolatrice : public QObject {
    Q_OBJECT
private slots:
    void sequenze_data();
    void sequenze();
    void divisionePerZeroNonCambiaNulla();
    void letturaIntera_data();
    void letturaIntera();
    void letturaImporto_data();
    void letturaImporto();
    void testoRisultato_data();
    void testoRisultato();
    void tastiera_data();
    void tastiera();
};

namespace {
// Tokens separated by blanks; "_" stands for the blank-free token list of an operator key
// ("=" then the operator), as every operator button sends it.
Calcolatrice::Stato esegui(const QString& sequenza, Calcolatrice::Stato partenza = {}) {
    Calcolatrice c(std::move(partenza));
    for (const QString& token : sequenza.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (token.size() == 2 && token[0] == QLatin1Char('_')) {
            c.premi(QStringLiteral("="));
            c.premi(token.mid(1));
        } else {
            c.premi(token);
        }
    }
    return c.stato();
}
} // namespace

void TestCalcolatrice::sequenze_data() {
    QTest::addColumn<QString>("sequenza");
    QTest::addColumn<QString>("valore");
    QTest::addColumn<QString>("conto");
    QTest::addColumn<bool>("contoVisibile");
    QTest::addColumn<QString>("operazione");

    QTest::newRow("zero non apre l'importo") << "0" << "0,00" << "0,00" << false << "";
    QTest::newRow("doppio zero non apre l'importo") << "00" << "0,00" << "0,00" << false << "";
    QTest::newRow("prima cifra sostituisce 0,00") << "0 7" << "7" << "0,00" << false << "";
    QTest::newRow("virgola dopo cifra") << "7 ," << "7," << "0,00" << false << "";
    QTest::newRow("decimali") << "7 , 5" << "7,5" << "0,00" << false << "";
    QTest::newRow("seconda virgola ignorata") << "7 , 5 ," << "7,5" << "0,00" << false << "";
    QTest::newRow("virgola su vuoto") << "," << "0," << "0,00" << false << "";
    QTest::newRow("virgola poi cinque") << ", 5" << "0,5" << "0,00" << false << "";
    QTest::newRow("zero dopo 0,5 ignorato") << ", 5 0" << "0,5" << "0,00" << false << "";
    QTest::newRow("virgola su 0,5 ricomincia") << ", 5 ," << "0," << "0,00" << false << "";
    QTest::newRow("zeri dopo un intero") << "1 0 00" << "1000" << "0,00" << false << "";
    QTest::newRow("del su una cifra") << "7 del" << "0,00" << "0,00" << false << "";
    QTest::newRow("del su 0,5") << ", 5 del" << "0," << "0,00" << false << "";
    QTest::newRow("del su 0,00") << "del" << "0,0" << "0,00" << false << "";
    QTest::newRow("0,05 passando da del") << "del 5" << "0,05" << "0,00" << false << "";
    QTest::newRow("DEL maiuscolo") << "1 2 DEL" << "1" << "0,00" << false << "";
    QTest::newRow("somma") << "1 2 _+ 3 =" << "15" << "0" << false << "";
    QTest::newRow("differenza negativa") << "7 _- 9 =" << "-2" << "0" << false << "";
    QTest::newRow("divisione") << "1 0 _/ 4 =" << "2,5" << "0" << false << "";
    QTest::newRow("moltiplicazione con decimali") << "2 _X 3 , 5 =" << "7" << "0" << false << "";
    QTest::newRow("x minuscola") << "2 _x 4 =" << "8" << "0" << false << "";
    QTest::newRow("dieci terzi") << "1 0 _/ 3 =" << "3,33" << "0" << false << "";
    QTest::newRow("catena da sinistra") << "5 _+ 3 _+ 2 =" << "10" << "0" << false << "";
    QTest::newRow("operatore in attesa") << "1 2 _+" << "0,00" << "12" << true << "+";
    QTest::newRow("0,5 non diventa operando") << ", 5 _+ 1 =" << "1" << "0" << false << "";
    QTest::newRow("uguale senza operazione") << "4 , 2 =" << "4,2" << "0" << false << "";
    QTest::newRow("azzera con + in attesa") << "4 0 _+ 5 canc" << "0,00" << "0" << true << "+";
    QTest::newRow("CANC maiuscolo") << "9 CANC" << "0,00" << "0" << false << "";
    QTest::newRow("cifra dopo un risultato lo estende") << "4 _+ 4 = 5" << "85" << "0" << false << "";
    QTest::newRow("token sconosciuto") << "? Salvami" << "0,00" << "0,00" << false << "";
}

void TestCalcolatrice::sequenze() {
    QFETCH(QString, sequenza);
    const Calcolatrice::Stato s = esegui(sequenza);
    QTEST(s.valore, "valore");
    QTEST(s.conto, "conto");
    QTEST(s.contoVisibile, "contoVisibile");
    QTEST(s.operazione, "operazione");
}

void TestCalcolatrice::divisionePerZeroNonCambiaNulla() {
    const Calcolatrice::Stato prima = esegui(QStringLiteral("1 0 _/"));
    Calcolatrice c(prima);
    QCOMPARE(c.premi(QStringLiteral("0")), Calcolatrice::Esito::Gestito);
    c.premi(QStringLiteral("="));
    QCOMPARE(c.stato(), prima);
    QCOMPARE(c.stato().conto, QStringLiteral("10"));
    QCOMPARE(c.stato().operazione, QStringLiteral("/"));
    QVERIFY(c.stato().contoVisibile);

    // A carried-over amount with blanks after the euro sign is still a number.
    Calcolatrice riporto({QStringLiteral("10"), QStringLiteral(" 40"), true, QStringLiteral("+")});
    riporto.conteggiaValori();
    QCOMPARE(riporto.stato().valore, QStringLiteral("50"));
    QCOMPARE(Calcolatrice().premi(QStringLiteral("SALVA")), Calcolatrice::Esito::Salva);
}

void TestCalcolatrice::letturaIntera_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<double>("atteso");
    QTest::newRow("virgola ferma la lettura") << "12,50" << 12.0;
    QTest::newRow("sotto uno vale zero") << "0,50" << 0.0;
    QTest::newRow("zero virgola") << "0," << 0.0;
    QTest::newRow("vuoto") << "" << 0.0;
    QTest::newRow("negativo") << "-3" << -3.0;
    QTest::newRow("intero") << "7" << 7.0;
    QTest::newRow("punto decimale") << "2.5" << 2.5;
    QTest::newRow("spazi saltati") << " 1 2" << 12.0;
    QTest::newRow("lettere") << "abc" << 0.0;
    QTest::newRow("indice pulsante") << "15" << 15.0;
}

void TestCalcolatrice::letturaIntera() {
    QFETCH(QString, testo);
    QTEST(Letture::letturaIntera(testo), "atteso");
}

void TestCalcolatrice::letturaImporto_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("numero");
    QTest::addColumn<double>("atteso");
    QTest::newRow("decimali") << "12,50" << true << 12.5;
    QTest::newRow("virgola finale") << "0," << true << 0.0;
    QTest::newRow("spazi attorno") << "  40 " << true << 40.0;
    QTest::newRow("negativo") << "-4,25" << true << -4.25;
    QTest::newRow("solo decimali") << ",5" << true << 0.5;
    QTest::newRow("vuoto") << "" << false << 0.0;
    QTest::newRow("solo meno") << "-" << false << 0.0;
    QTest::newRow("lettere") << "1a" << false << 0.0;
    QTest::newRow("due virgole") << "1,2,3" << false << 0.0;
}

void TestCalcolatrice::letturaImporto() {
    QFETCH(QString, testo);
    QFETCH(bool, numero);
    try {
        const double letto = Letture::letturaImporto(testo);
        QVERIFY2(numero, "a text that is not a number was read as an amount");
        QTEST(letto, "atteso");
    } catch (const Errore& e) {
        QVERIFY2(!numero, qPrintable(e.descrizione()));
        QCOMPARE(e.numero(), CodiceErrore::TipoNonCorrispondente);
    }
}

void TestCalcolatrice::testoRisultato_data() {
    QTest::addColumn<double>("valore");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("un decimale") << 12.5 << "12,5";
    QTest::newRow("intero") << 20.0 << "20";
    QTest::newRow("periodico") << 10.0 / 3 << "3,33";
    QTest::newRow("pari per difetto") << 0.125 << "0,12";
    QTest::newRow("negativo") << -4.25 << "-4,25";
    QTest::newRow("rumore binario") << 0.1 + 0.2 << "0,3";
    QTest::newRow("zero negativo") << -0.001 << "0";
    QTest::newRow("grande") << 123456789.99 << "123456789,99";
}

void TestCalcolatrice::testoRisultato() {
    QFETCH(double, valore);
    QTEST(Letture::testoRisultato(valore), "atteso");
}

void TestCalcolatrice::tastiera_data() {
    QTest::addColumn<int>("tasto");
    QTest::addColumn<int>("modificatori");
    QTest::addColumn<QStringList>("token");
    const int pad = Qt::KeypadModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("cifra") << int(Qt::Key_7) << 0 << QStringList{QStringLiteral("7")};
    QTest::newRow("shift+8 resta 8") << int(Qt::Key_8) << shift << QStringList{QStringLiteral("8")};
    QTest::newRow("cifra del tastierino") << int(Qt::Key_0) << pad << QStringList{QStringLiteral("0")};
    QTest::newRow("virgola") << int(Qt::Key_Comma) << 0 << QStringList{QStringLiteral(",")};
    QTest::newRow("punto") << int(Qt::Key_Period) << 0 << QStringList{QStringLiteral(",")};
    QTest::newRow("decimale tastierino") << int(Qt::Key_Period) << pad << QStringList{QStringLiteral(",")};
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << QStringList{QStringLiteral("DEL")};
    QTest::newRow("canc") << int(Qt::Key_Delete) << 0 << QStringList{QStringLiteral("CANC")};
    QTest::newRow("spazio") << int(Qt::Key_Space) << 0 << QStringList{QStringLiteral("=")};
    QTest::newRow("piu") << int(Qt::Key_Plus) << 0 << QStringList{QStringLiteral("="), QStringLiteral("+")};
    QTest::newRow("piu tastierino") << int(Qt::Key_Plus) << pad << QStringList{QStringLiteral("="), QStringLiteral("+")};
    QTest::newRow("meno") << int(Qt::Key_Minus) << 0 << QStringList{QStringLiteral("="), QStringLiteral("-")};
    QTest::newRow("per tastierino") << int(Qt::Key_Asterisk) << pad << QStringList{QStringLiteral("="), QStringLiteral("X")};
    QTest::newRow("diviso tastierino") << int(Qt::Key_Slash) << pad << QStringList{QStringLiteral("="), QStringLiteral("/")};
    QTest::newRow("F12 salva") << int(Qt::Key_F12) << 0 << QStringList{QStringLiteral("SALVA")};
    QTest::newRow("lettera") << int(Qt::Key_A) << 0 << QStringList{};
    QTest::newRow("asterisco tastiera") << int(Qt::Key_Asterisk) << 0 << QStringList{};
    QTest::newRow("invio non e' un tasto rilasciato") << int(Qt::Key_Return) << 0 << QStringList{};
}

void TestCalcolatrice::tastiera() {
    QFETCH(int, tasto);
    QFETCH(int, modificatori);
    const QKeyEvent evento(QEvent::KeyRelease, tasto, Qt::KeyboardModifiers(modificatori));
    QTEST(TastiLettura::tokenPerCodice(TastiLettura::codiceVirtuale(evento)), "token");
}

QTEST_MAIN(TestCalcolatrice)
#include "tst_calcolatrice.moc"
