// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Money as the hall's books keep it: four decimals, exact, rounded to the even neighbour,
// read with a comma or a point, refused with the runtime's error numbers when it cannot be
// an amount, never wrapped round when it leaves the 64-bit count.
#include "host/Errore.h"
#include "host/Valuta.h"

#include <QTest>

#include <functional>
#include <limits>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

class TstValuta : public QObject {
    Q_OBJECT

private slots:
    void daVariant_data() {
        QTest::addColumn<QVariant>("valore");
        QTest::addColumn<qint64>("decimillesimi");
        QTest::addColumn<int>("errore"); // 0: none
        QTest::newRow("virgola") << QVariant(u"12,50"_s) << 125000LL << 0;
        QTest::newRow("punto") << QVariant(u"12.50"_s) << 125000LL << 0;
        QTest::newRow("spazi") << QVariant(u" 7 "_s) << 70000LL << 0;
        // Halves of a ten-thousandth go to the even neighbour, as the accounting did.
        QTest::newRow("metà verso zero") << QVariant(u"0,00005"_s) << 0LL << 0;
        QTest::newRow("metà verso il pari") << QVariant(u"0,00025"_s) << 2LL << 0;
        QTest::newRow("metà in su") << QVariant(u"0,00035"_s) << 4LL << 0;
        QTest::newRow("metà negativa") << QVariant(u"-0,00025"_s) << -2LL << 0;
        QTest::newRow("somma di double") << QVariant(0.1 + 0.2) << 3000LL << 0;
        QTest::newRow("intero") << QVariant(15) << 150000LL << 0;
        QTest::newRow("oltre 2^53 esatto") << QVariant(900000000000.0001) << 9000000000000001LL << 0;
        QTest::newRow("testo") << QVariant(u"abc"_s) << 0LL << 13;
        QTest::newRow("coda") << QVariant(u"12,5x"_s) << 0LL << 13;
        QTest::newRow("nullo") << QVariant() << 0LL << 94;
        QTest::newRow("troppo grande") << QVariant(1e16) << 0LL << 6;
        QTest::newRow("infinito") << QVariant(std::numeric_limits<double>::infinity()) << 0LL << 6;
    }

    void daVariant() {
        QFETCH(QVariant, valore);
        QFETCH(qint64, decimillesimi);
        QFETCH(int, errore);
        try {
            QCOMPARE(Valuta::daVariant(valore).decimillesimi(), decimillesimi);
            QCOMPARE(errore, 0);
        } catch (const Errore& e) {
            QCOMPARE(e.numero(), errore);
        }
    }

    // What the keypad may hand to an amount column: 15 whole digits, 4 decimals.
    void testoEsatto_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<qint64>("decimillesimi"); // -1: refused
        QTest::newRow("virgola") << u"12,5"_s << 125000LL;
        QTest::newRow("quattro decimali") << u"1,2345"_s << 12345LL;
        QTest::newRow("cinque decimali") << u"1,23456"_s << -1LL;
        QTest::newRow("quindici cifre") << u"123456789012345"_s << 1234567890123450000LL;
        QTest::newRow("sedici cifre") << u"1234567890123456"_s << -1LL;
        QTest::newRow("zeri davanti") << u"0000000000000001"_s << 10000LL;
        QTest::newRow("negativo") << u"-0,3"_s << -3000LL;
        QTest::newRow("vuoto") << QString() << -1LL;
        QTest::newRow("solo il segno") << u"-"_s << -1LL;
        QTest::newRow("due virgole") << u"1,2,3"_s << -1LL;
        QTest::newRow("zero e lettere") << u"0x"_s << -1LL;
    }

    void testoEsatto() {
        QFETCH(QString, testo);
        QFETCH(qint64, decimillesimi);
        const std::optional<Valuta> v = Valuta::daTestoEsatto(testo);
        QCOMPARE(v ? v->decimillesimi() : -1LL, decimillesimi);
    }

    void aritmetica() {
        const Valuta massimo = Valuta::daDecimillesimi(std::numeric_limits<qint64>::max());
        const Valuta minimo = Valuta::daDecimillesimi(std::numeric_limits<qint64>::min());
        const Valuta unCent = Valuta::daDecimillesimi(100);
        QCOMPARE((Valuta::daDecimillesimi(1000) + Valuta::daDecimillesimi(2000)).testo(), u"0,3"_s);
        QCOMPARE((unCent - Valuta::daDecimillesimi(400)).testo(), u"-0,03"_s);
        QCOMPARE(minimo.testo(), u"-922337203685477,5808"_s);
        for (const auto& conto : {std::function<Valuta()>([&] { return massimo + unCent; }),
                                  std::function<Valuta()>([&] { return minimo - unCent; })}) {
            try {
                conto();
                QFAIL("il conto ha superato i limiti senza errore");
            } catch (const Errore& e) {
                QCOMPARE(e.numero(), 6);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TstValuta)
#include "tst_valuta.moc"
