// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "IsoDateText.h"
#include "SqlTranslator.h"
#include "host/Errore.h"

#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {
bool server = false; // the engine of the rows being added
// An empty expected text: the statement is refused.
void riga(const char* nome, const QString& testo, const QString& atteso) {
    QTest::addRow("%s %s", server ? "PostgreSQL" : "SQLite", nome) << server << testo << atteso;
}

} // namespace

class TstDatabaseTranslator : public QObject {
    Q_OBJECT

private slots:
    void traduce_data();
    void traduce();
    void testiIso_data();
    void testiIso();
};

void TstDatabaseTranslator::traduce_data() {
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    server = false;
    riga("date e ore",
         u"select * from t where a = #12/04/2026 10:30:00# or b = #12-04-2026 1:05 PM# or "
         "c = #12/04/2026 00:00:00# or d=#1/2/26#"_s,
         u"SELECT * FROM t WHERE a = '2026-12-04 10:30:00' OR b = '2026-12-04 13:05:00' OR "
         "c = '2026-12-04' OR d='2026-01-02'"_s);
    // Two-digit years as the hall's old documents wrote them: up to 29 this century.
    riga("anni di due cifre", u"select * from t where a = #1/2/29# or b = #1/2/30#"_s,
         u"SELECT * FROM t WHERE a = '2029-01-02' OR b = '1930-01-02'"_s);
    // A HAVING that speaks of the grouping column filters before grouping; one with a sum
    // can only filter the groups.
    riga("having sul raggruppamento", u"select a, sum(b) as s from t group by a having a = 1"_s,
         u"SELECT a, sum(b) AS s FROM t WHERE a = 1 GROUP BY a"_s);
    riga("having su una somma", u"select a, sum(b) as s from t group by a having sum(b) > 10"_s,
         u"SELECT a, sum(b) AS s FROM t GROUP BY a HAVING sum(b) > 10"_s);
    riga("testi intatti", u"select * from t where a = 'l''uno; e #1/1/2000#' or b = \"it's\""_s,
         u"SELECT * FROM t WHERE a = 'l''uno; e #1/1/2000#' OR b = 'it''s'"_s);
    riga("nomi tra quadre e concatenazione", u"select [Nome Scheda] & ' - ' & b from [Tab Prova]"_s,
         u"SELECT \"Nome Scheda\" || ' - ' || b FROM \"Tab Prova\""_s);
    // Joined without a blank, "-" and "-1" would start a comment and cut the statement.
    riga("True e False", u"select * from t where chiuso = True or attiva=False or a=-True"_s,
         u"SELECT * FROM t WHERE chiuso = -1 OR attiva=0 OR a=- -1"_s);

    // Refused, with no text at all.
    riga("due istruzioni", u"select * from t where a='x'; drop table t"_s, {});
    riga("vuota", u"   ;"_s, {});
    riga("pragma", u"pragma writable_schema = 1"_s, {});
    riga("testo aperto", u"select * from t where a = 'abc"_s, {});
    riga("data aperta", u"select * from t where d = #12/04/2026"_s, {});
    riga("data impossibile", u"select * from t where d = #13/45/2026#"_s, {});
    riga("parentesi", u"select * from t where (a = 1"_s, {});
    riga("carattere ignoto", u"select * from t where a = ?"_s, {});

    // The same texts for a server: typed date literals, names that fold to lower case, LIKE
    // made to ignore case without the column's collation. The rest is shared with SQLite.
    server = true;
    riga("date e ore", u"select * from t where a = #12/04/2026 10:30:00# or b = #10:30#"_s,
         u"SELECT * FROM t WHERE a = TIMESTAMP '2026-12-04 10:30:00' OR b = TIME '10:30:00'"_s);
    riga("# e ; dentro un testo", u"select * from t where a = 'l''uno; e #1/1/2000#';"_s,
         u"SELECT * FROM t WHERE a = 'l''uno; e #1/1/2000#'"_s);
    // The server folds unquoted names to lower case: a bracketed name must meet them.
    riga("nomi tra quadre", u"select [Nome \"Scheda\"], [CodLocale] from [LogOperazioni]"_s,
         u"SELECT \"nome \"\"scheda\"\"\", \"codlocale\" FROM \"logoperazioni\""_s);
    riga("like e not like", u"select * from t where a like 'r%' and not b not like 'x'"_s,
         u"SELECT * FROM t WHERE a COLLATE \"C\" ILIKE 'r%' AND NOT b COLLATE \"C\" NOT ILIKE "
         "'x'"_s);
    riga("due istruzioni dopo un testo", u"select 'a;b' from t;;select 1"_s, {});
}

void TstDatabaseTranslator::traduce() {
    QFETCH(bool, server);
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    try {
        QCOMPARE(
            SqlTranslator(server ? MotoreSql::PostgreSql : MotoreSql::Sqlite).translate(testo).sql,
            atteso);
        QVERIFY2(!atteso.isEmpty(), "accepted a statement to refuse");
    } catch (const Errore& e) {
        QVERIFY2(atteso.isEmpty(), qPrintable(e.descrizione()));
        QCOMPARE(e.numero(), CodiceErrore::ErroreDatabase);
        QVERIFY(!e.descrizione().isEmpty());
    }
}

void TstDatabaseTranslator::testiIso_data() {
    QTest::addColumn<QDate>("data");
    QTest::addColumn<QTime>("ora");
    QTest::addColumn<QString>("soloOra");
    QTest::addColumn<QString>("momento"); // its first ten characters: the date alone
    const auto riga = [](const char* nome, QDate data, QTime ora, const char* soloOra, const char* momento) {
        QTest::newRow(nome) << data << ora << QString::fromLatin1(soloOra) << QString::fromLatin1(momento);
    };
    riga("giorno e ora", QDate(2026, 12, 4), QTime(9, 5, 7), "09:05:07", "2026-12-04 09:05:07");
    riga("mezzanotte: solo il giorno", QDate(2024, 2, 29), QTime(0, 0, 0, 400), "00:00:00", "2024-02-29");
    riga("anni di meno cifre", QDate(7, 3, 9), QTime(1, 2, 3), "01:02:03", "0007-03-09 01:02:03");
    riga("nulli", QDate(), QTime(), nullptr, nullptr);
}

// Dates and times as the file keeps them: ISO, fixed width, to the second.
void TstDatabaseTranslator::testiIso() {
    QFETCH(QDate, data);
    QFETCH(QTime, ora);
    QFETCH(QString, soloOra);
    QFETCH(QString, momento);
    QCOMPARE(IsoDateText::data(data), momento.left(10));
    QCOMPARE(IsoDateText::ora(ora), soloOra);
    QCOMPARE(IsoDateText::momento(data, ora), momento);
}

QTEST_APPLESS_MAIN(TstDatabaseTranslator)
#include "tst_database_translator.moc"
