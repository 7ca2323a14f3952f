// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The keypad's arithmetic and text rules, and the keyboard table, without a window.
#include "form/Calcolatrice.h"
#include "form/Letture.h"
#include "form/TastiLettura.h"
#include "host/Errore.h"

#include <QKeyEvent>
#include <QTest>

#include <cmath>

using namespace KaloRefill;

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

// One physical key of a layout: its scan code under X11 and Wayland (evdev + 8), what the
// layout gives unshifted and shifted, and the blank-separated tokens it must send either way.
void tasto(const char* tastiera, const char* nome, int scan, int semplice, int maiuscolo, const char* token,
           int modificatori = 0) {
    const QByteArray riga = QByteArray(tastiera) + ' ' + nome;
    const QStringList tokens = QString::fromLatin1(token).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QTest::newRow(riga.constData()) << scan << semplice << modificatori << tokens;
    if (maiuscolo)
        QTest::newRow((riga + " shift").constData())
            << scan << maiuscolo << int(modificatori | Qt::ShiftModifier) << tokens;
}
} // namespace

class TestCalcolatrice : public QObject {
    Q_OBJECT
private slots:
    void sequenze_data() {
        QTest::addColumn<QString>("sequenza");
        QTest::addColumn<QString>("valore");
        QTest::addColumn<QString>("conto");
        QTest::addColumn<bool>("contoVisibile");
        QTest::addColumn<QString>("operazione");

        QTest::newRow("zero non apre l'importo") << "0" << "0,00" << "0,00" << false << "";
        QTest::newRow("prima cifra sostituisce 0,00") << "0 7" << "7" << "0,00" << false << "";
        QTest::newRow("virgola dopo cifra") << "7 ," << "7," << "0,00" << false << "";
        QTest::newRow("seconda virgola ignorata") << "7 , 5 ," << "7,5" << "0,00" << false << "";
        QTest::newRow("zero dopo 0,5 ignorato") << ", 5 0" << "0,5" << "0,00" << false << "";
        QTest::newRow("virgola su 0,5 ricomincia") << ", 5 ," << "0," << "0,00" << false << "";
        QTest::newRow("zeri dopo un intero") << "1 0 00" << "1000" << "0,00" << false << "";
        QTest::newRow("del su una cifra") << "7 del" << "0,00" << "0,00" << false << "";
        QTest::newRow("del su 0,00") << "del" << "0,0" << "0,00" << false << "";
        QTest::newRow("0,05 passando da del") << "del 5" << "0,05" << "0,00" << false << "";
        QTest::newRow("DEL maiuscolo") << "1 2 DEL" << "1" << "0,00" << false << "";
        QTest::newRow("differenza negativa") << "7 _- 9 =" << "-2" << "0" << false << "";
        QTest::newRow("moltiplicazione con decimali") << "2 _X 3 , 5 =" << "7" << "0" << false << "";
        QTest::newRow("dieci terzi") << "1 0 _/ 3 =" << "3,33" << "0" << false << "";
        QTest::newRow("catena da sinistra") << "5 _+ 3 _+ 2 =" << "10" << "0" << false << "";
        QTest::newRow("operatore in attesa") << "1 2 _+" << "0,00" << "12" << true << "+";
        QTest::newRow("divisione per zero non cambia nulla") << "1 0 _/ 0 =" << "0,00" << "10" << true << "/";
        QTest::newRow("0,5 non diventa operando") << ", 5 _+ 1 =" << "1" << "0" << false << "";
        QTest::newRow("uguale senza operazione") << "4 , 2 =" << "4,2" << "0" << false << "";
        QTest::newRow("azzera con + in attesa") << "4 0 _+ 5 canc" << "0,00" << "0" << true << "+";
        QTest::newRow("CANC maiuscolo") << "9 CANC" << "0,00" << "0" << false << "";
        QTest::newRow("cifra dopo un risultato lo estende") << "4 _+ 4 = 5" << "85" << "0" << false << "";
        // No entry and no result beyond what an amount column holds exactly.
        const QString quindici = QStringLiteral("1 2 3 4 5 6 7 8 9 0 1 2 3 4 5");
        QTest::newRow("sedicesima cifra intera ignorata") << quindici + QLatin1String(" 6 00") << "123456789012345" << "0,00" << false << "";
        QTest::newRow("quinto decimale ignorato") << "1 , 2 3 4 5 6 0" << "1,2345" << "0,00" << false << "";
        QTest::newRow("decimale non conservabile ignorato") << quindici + QLatin1String(" , 1") << "123456789012345," << "0,00" << false << "";
        QTest::newRow("risultato troppo grande") << quindici + QLatin1String(" _X 1 0 =") << "10" << "123456789012345" << true << "X";
        QTest::newRow("token sconosciuto") << "? Salvami" << "0,00" << "0,00" << false << "";
    }
    void sequenze() {
        QFETCH(QString, sequenza);
        const Calcolatrice::Stato s = esegui(sequenza);
        QTEST(s.valore, "valore");
        QTEST(s.conto, "conto");
        QTEST(s.contoVisibile, "contoVisibile");
        QTEST(s.operazione, "operazione");
    }

    // The same text read as a whole number (up to the comma) and as an amount; NaN: not an amount.
    void letture_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("intera");
        QTest::addColumn<double>("importo");
        const double no = qQNaN();
        QTest::newRow("decimali") << "12,50" << 12.0 << 12.5;
        QTest::newRow("zero virgola") << "0," << 0.0 << 0.0;
        QTest::newRow("vuoto") << "" << 0.0 << no;
        QTest::newRow("negativo") << "-4,25" << -4.0 << -4.25;
        QTest::newRow("punto decimale") << "2.5" << 2.5 << no;
        QTest::newRow("spazi dentro") << " 1 2" << 12.0 << no;
        QTest::newRow("spazi attorno") << "  40 " << 40.0 << 40.0;
        QTest::newRow("solo decimali") << ",5" << 0.0 << 0.5;
        QTest::newRow("lettera dopo cifra") << "1a" << 1.0 << no;
        QTest::newRow("solo meno") << "-" << 0.0 << no;
    }
    void letture() {
        QFETCH(QString, testo);
        QFETCH(double, importo);
        QTEST(Letture::letturaIntera(testo), "intera");
        try {
            const double letto = Letture::letturaImporto(testo);
            QVERIFY2(!std::isnan(importo), "a text that is not a number was read as an amount");
            QCOMPARE(letto, importo);
        } catch (const Errore& e) {
            QVERIFY2(std::isnan(importo), qPrintable(e.descrizione()));
            QCOMPARE(e.numero(), CodiceErrore::TipoNonCorrispondente);
        }
    }

    void testoRisultato_data() {
        QTest::addColumn<double>("valore");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("un decimale") << 12.5 << "12,5";
        QTest::newRow("periodico") << 10.0 / 3 << "3,33";
        QTest::newRow("pari per difetto") << 0.125 << "0,12";
        QTest::newRow("negativo") << -4.25 << "-4,25";
        QTest::newRow("rumore binario") << 0.1 + 0.2 << "0,3";
        QTest::newRow("zero negativo") << -0.001 << "0";
        QTest::newRow("centesimi fino all'intero") << 2.999 << "3";
        // Up to 10^15 the cents of a result must not overflow on the way to the text.
        QTest::newRow("310000000000000 X 3") << 310000000000000.0 * 3 << "930000000000000";
        QTest::newRow("oltre i centesimi a 64 bit") << 922337203685478.0 << "922337203685478";
        QTest::newRow("mezzo sotto 10^15") << 999999999999999.5 << "999999999999999,5";
        QTest::newRow("negativo grande") << -950000000000000.25 << "-950000000000000,25";
    }
    void testoRisultato() {
        QFETCH(double, valore);
        QTEST(Letture::testoRisultato(valore), "atteso");
    }

    // The key table on an Italian and a US keyboard, as X11 and Wayland deliver it: one key
    // of each kind the table tells apart.
    void tastiera_data() {
        QTest::addColumn<int>("scan");
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("modificatori");
        QTest::addColumn<QStringList>("token");
        const int pad = Qt::KeypadModifier;
        // The digit row's ends (0 sits after 9), and the pad's digits, its first and its last.
        tasto("us", "cifra 1", 10, Qt::Key_1, Qt::Key_Exclam, "1");
        tasto("it", "cifra 0", 19, Qt::Key_0, Qt::Key_Equal, "0");
        tasto("us", "tastierino 7", 79, Qt::Key_7, 0, "7", pad);
        tasto("us", "tastierino 0", 90, Qt::Key_0, 0, "0", pad);
        // Without Num Lock the pad's digits are arrows and the like, its full stop is Delete.
        tasto("us", "tastierino 8 senza bloc num", 80, Qt::Key_Up, 0, "", pad);
        tasto("us", "tastierino punto senza bloc num", 91, Qt::Key_Delete, 0, "CANC", pad);
        tasto("it", "tastierino punto", 91, Qt::Key_Comma, 0, ",", pad);
        tasto("it", "virgola", 59, Qt::Key_Comma, Qt::Key_Semicolon, ",");
        tasto("us", "punto", 60, Qt::Key_Period, Qt::Key_Greater, ",");
        tasto("us", "backspace", 22, Qt::Key_Backspace, Qt::Key_Backspace, "DEL");
        tasto("us", "canc", 119, Qt::Key_Delete, Qt::Key_Delete, "CANC");
        tasto("us", "spazio", 65, Qt::Key_Space, Qt::Key_Space, "=");
        tasto("us", "uguale e piu", 21, Qt::Key_Equal, Qt::Key_Plus, "= +");
        tasto("it", "piu e per", 35, Qt::Key_Plus, Qt::Key_Asterisk, "= +");
        tasto("us", "meno", 20, Qt::Key_Minus, Qt::Key_Underscore, "= -");
        tasto("it", "meno", 61, Qt::Key_Minus, Qt::Key_Underscore, "= -");
        tasto("us", "piu tastierino", 86, Qt::Key_Plus, 0, "= +", pad);
        tasto("us", "per tastierino", 63, Qt::Key_Asterisk, 0, "= X", pad);
        tasto("us", "F12", 96, Qt::Key_F12, Qt::Key_F12, "SALVA");
        // Where the other layout has its plus key, this one has another key.
        tasto("us", "parentesi quadra", 35, Qt::Key_BracketRight, Qt::Key_BraceRight, "");
        tasto("us", "invio, letto come carattere", 36, Qt::Key_Return, 0, "");
        // No scan code (another platform, or a synthesized key): Qt's key stands in. (Digits,
        // comma, the pad's plus and F12 reach the form that way in tst_ciclo's keyboard rows.)
        tasto("senza scan code", "asterisco", 0, Qt::Key_Asterisk, 0, "");
    }
    void tastiera() {
        QFETCH(int, scan);
        QFETCH(int, tasto);
        QFETCH(int, modificatori);
        QFETCH(QStringList, token);
        const QKeyEvent evento(QEvent::KeyRelease, tasto, Qt::KeyboardModifiers(modificatori), quint32(scan), 0, 0);
        const auto leggi = [&](const char* piattaforma) {
            return TastiLettura::tokenPerCodice(TastiLettura::codiceVirtuale(evento, QLatin1String(piattaforma)));
        };
        for (const char* piattaforma : {"xcb", "wayland"})
            QVERIFY2(leggi(piattaforma) == token, piattaforma);
        // Elsewhere the scan code means nothing to the form; Qt's key decides.
        if (scan == 0)
            QCOMPARE(leggi("offscreen"), token);
    }
};

QTEST_MAIN(TestCalcolatrice)
#include "tst_calcolatrice.moc"
