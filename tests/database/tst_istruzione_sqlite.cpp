// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Statements run with SQLite's own calls store, read and refuse exactly what Qt's SQLite
// driver stores, reads and refuses, on the same file.

#include "DbDiretto.h"
#include "IstruzioneSqlite.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

// One file with the driver's connection and the engine's handle under it.
struct File {
    QTemporaryDir cartella;
    QSqlDatabase db;
    sqlite3* maniglia = nullptr;

    File() {
        db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"istruzioni"_s);
        db.setDatabaseName(cartella.filePath(u"prova.db"_s));
        if (!db.open())
            return;
        const QVariant h = db.driver()->handle();
        if (qstrcmp(h.typeName(), "sqlite3*") == 0)
            maniglia = *static_cast<sqlite3* const*>(h.constData());
        esegui(u"create table t (n integer primary key, v)"_s);
        esegui(u"create table u (k text not null unique)"_s);
    }
    ~File() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"istruzioni"_s);
    }
    bool esegui(const QString& sql, const QVariantList& valori = {}) const {
        QSqlQuery q(db);
        if (!q.prepare(sql))
            return false;
        for (const QVariant& v : valori)
            q.addBindValue(v);
        return q.exec();
    }
    // Every row of a statement, as the driver reads it (on a connection of its own).
    QList<QVariantList> righe(const QString& sql) const { return DbDiretto(db.databaseName()).righe(sql); }
};

// Each value as its type, nullness and text: values equal as QVariants but of another
// type, or null against empty, differ.
QStringList descritte(const QList<QVariantList>& righe) {
    QStringList d;
    for (const QVariantList& riga : righe)
        for (const QVariant& v : riga)
            d << u"%1 %2 %3"_s.arg(QLatin1StringView(v.typeName()), v.isNull() ? u"null"_s : u"-"_s,
                                   v.toString());
    return d;
}

} // namespace

class TstIstruzioneSqlite : public QObject {
    Q_OBJECT

private slots:
    void legatiELetti_data();
    void legatiELetti();
    void rifiuti_data();
    void rifiuti();
};

void TstIstruzioneSqlite::legatiELetti_data() {
    QTest::addColumn<QVariant>("valore");
    // One value for each way a value is bound, a null of each kind that tells it apart.
    const QDateTime momento(QDate(2026, 12, 4), QTime(10, 30, 15, 250));
    QTest::newRow("testo non latino") << QVariant(u"però € 五"_s);
    QTest::newRow("testo vuoto") << QVariant(u""_s);
    QTest::newRow("testo nullo") << QVariant(QString());
    QTest::newRow("int") << QVariant(42);
    QTest::newRow("intero a 64 bit") << QVariant(qint64(9007199254740993));
    QTest::newRow("senza segno") << QVariant(7u);
    QTest::newRow("reale con decimali lunghi") << QVariant(0.1 + 0.2);
    QTest::newRow("momento") << QVariant(momento);
    QTest::newRow("momento nullo") << QVariant(QDateTime());
    QTest::newRow("ora") << QVariant(QTime(10, 30, 15, 250));
    QTest::newRow("data") << QVariant(QDate(2026, 12, 4));
    QTest::newRow("data nulla") << QVariant(QDate());
    QTest::newRow("byte") << QVariant(QByteArray("\x00\x01\xff", 3));
    QTest::newRow("byte nulli") << QVariant(QByteArray());
    QTest::newRow("nessun valore") << QVariant();
}

// Bound by the driver into one row and by the engine's calls into the next: both rows hold
// the same type and the same value, and read back the same either way, with the same
// column names and tables, also when run again.
void TstIstruzioneSqlite::legatiELetti() {
    QFETCH(QVariant, valore);
    File f;
    QVERIFY(f.maniglia);
    QVERIFY(f.esegui(u"insert into t (n, v) values (1, ?)"_s, {valore}));
    QSqlError errore;
    const auto inserisci = IstruzioneSqlite::compila(f.maniglia, u"insert into t (n, v) values (2, ?)"_s, errore);
    QVERIFY2(inserisci, qPrintable(errore.text()));
    QVERIFY2(inserisci->esegui({valore}, nullptr, errore), qPrintable(errore.text()));
    const QList<QVariantList> righe = f.righe(u"select typeof(v), quote(v) from t order by n"_s);
    QCOMPARE(righe.size(), 2);
    QCOMPARE(righe.at(1), righe.at(0));

    const QString sql = u"select v as \"Valore\", n, length(v) as \"quanti\" from t order by n"_s;
    const auto leggi = IstruzioneSqlite::compila(f.maniglia, sql, errore);
    QVERIFY(leggi);
    for (int volta = 0; volta < 2; ++volta) {
        QList<QVariantList> lette;
        QVERIFY(leggi->esegui({}, &lette, errore));
        QCOMPARE(descritte(lette), descritte(f.righe(sql)));
    }
    // As the driver's record names them: a computed column belongs to no table.
    QCOMPARE(leggi->nomi(), (QStringList{u"Valore"_s, u"n"_s, u"quanti"_s}));
    QCOMPARE(leggi->tabelle(), (QStringList{u"t"_s, u"t"_s, QString()}));
}

void TstIstruzioneSqlite::rifiuti_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("valori");
    QTest::addColumn<bool>("compilata"); // refused when run rather than when compiled
    // The reason given; empty where it is the driver's. For two statements the driver
    // passes on the engine's "not an error".
    QTest::addColumn<QString>("motivo");
    const QString insert = u"insert into u (k) values (?)"_s;
    QTest::newRow("tabella mancante")
        << u"select * from manca"_s << QVariantList() << false << QString();
    QTest::newRow("due istruzioni") << u"select 1; select 2"_s << QVariantList() << false
                                    << u"Only one statement can be executed at a time"_s;
    QTest::newRow("chiave doppia") << insert << QVariantList{u"a"_s} << true << QString();
    QTest::newRow("valori mancanti") << insert << QVariantList() << true << QString();
}

// Refused by both, with the engine's own words; the statement stays usable after a refusal.
void TstIstruzioneSqlite::rifiuti() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, valori);
    QFETCH(bool, compilata);
    QFETCH(QString, motivo);
    File f;
    QVERIFY(f.maniglia);
    QVERIFY(f.esegui(u"insert into u (k) values ('a')"_s));
    QSqlQuery q(f.db);
    const bool preparata = q.prepare(sql);
    QCOMPARE(preparata, compilata);
    if (preparata) {
        for (const QVariant& v : valori)
            q.addBindValue(v);
        QVERIFY(!q.exec());
    }
    QSqlError errore;
    const auto istruzione = IstruzioneSqlite::compila(f.maniglia, sql, errore);
    QCOMPARE(bool(istruzione), compilata);
    if (istruzione)
        QVERIFY(!istruzione->esegui(valori, nullptr, errore));
    QVERIFY(errore.isValid());
    if (motivo.isEmpty())
        QCOMPARE(errore.databaseText(), q.lastError().databaseText());
    else
        QCOMPARE(errore.databaseText(), motivo);
    QVERIFY(!errore.text().isEmpty());
    if (istruzione) {
        QVERIFY2(istruzione->esegui({u"b"_s}, nullptr, errore), qPrintable(errore.text()));
        QCOMPARE(f.righe(u"select k from u order by k"_s),
                 (QList<QVariantList>{{u"a"_s}, {u"b"_s}}));
    }
}

QTEST_GUILESS_MAIN(TstIstruzioneSqlite)
#include "tst_istruzione_sqlite.moc"
