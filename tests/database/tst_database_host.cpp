// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The embedded host and its recordsets, on real files in a temporary folder or on a
// PostgreSQL server, as the test run chose (MotoreProva).

#include "BancoProva.h"
#include "DatabaseHost.h"
#include "DbDiretto.h"
#include "MotoreProva.h"
#include "SchemaDatabase.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"
#include "host/Valuta.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

const QDate oggi(2026, 12, 4);

// A new KaloRefill database, gone with the object; its host's user is "mrossi". Headers
// and rows go in through the fixture's sets, as the form saves them.
struct Db {
    BancoProva banco{oggi};
    QString indirizzo = banco.percorsoFile(); // file or server address
    std::shared_ptr<DatabaseHost> host = banco.host();

    RecordsetPtr apri(const QString& sql) const { return host->openrecordset(sql); }
    void esegui(const char* modello, std::initializer_list<const char*> valori) const {
        for (const char* v : valori)
            host->Execute(QString::fromUtf8(modello).arg(QLatin1StringView(v)));
    }
    // A2 and A1 listed by the form in this order, A3 out of service, A4 of another kind.
    void apparecchi() const {
        esegui("insert into apparecchi (idscheda, codiceinterno, Nomescheda, tipologiaincasso, "
               "attiva, ordineincasso) values (%1)",
               {"11, 'A1', 'Slot 7', 6, -1, 2", "12, 'A2', 'Poker', 6, -1, 1",
                "13, 'A3', null, 6, 0, 3", "14, 'A4', null, 5, -1, 4"});
    }
    qint64 testata() { return banco.aggiungiTestata(oggi, u"L01"_s); }
    // A machine row with its amount as typed.
    void riga(qint64 testa, int scheda, const QString& importo) { banco.aggiungiRiga(testa, scheda, importo, oggi); }
};

// The error a call raises; a default one when it raises none.
template <typename Chiamata> Errore erroreDi(Chiamata&& chiamata) {
    try {
        chiamata();
    } catch (const Errore& e) {
        return e;
    }
    return Errore(0, QString());
}
// Its number only; 0 when it raises none.
template <typename Chiamata> int errore(Chiamata&& chiamata) {
    return erroreDi(chiamata).numero();
}

QStringList valori(const RecordsetPtr& rs, const QString& campo) {
    QStringList trovati;
    for (; !rs->Eof(); rs->MoveNext())
        trovati.append(rs->Field(campo).toString());
    return trovati;
}

// Every field of the current row, by name.
QVariantMap riga(const RecordsetPtr& rs) {
    QVariantMap campi;
    for (const QString& nome : rs->FieldNames())
        campi.insert(nome.toLower(), rs->Field(nome));
    return campi;
}

QByteArray contenuto(const QString& percorso) {
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TstDatabaseHost : public QObject {
    Q_OBJECT

private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase();
    void apriRifiuta_data();
    void apriRifiuta();
    void creaApriESettaggi();
    void aggiornamentoSchema_data();
    void aggiornamentoSchema();
    void istruzioniRifiutateNonToccanoNulla();
    void righe_data();
    void righe();
    void movimentiOltreIEstremiEDopoIlHost();
    void totali_data();
    void totali();
    void campi_data();
    void campi();
    void dueHostSulloStessoFile();
    void unitaPersa();
    void scrittureTrattenute();
    void valoriNeiTesti_data();
    void valoriNeiTesti();
};

// The halls' own zone, with its summer time: moments must read as the same instant
// whichever half of the year they fall in.
void TstDatabaseHost::initTestCase() {
    KALOREFILL_MOTORE_PRONTO();
    qputenv("TZ", "Europe/Rome");
    tzset();
}

void TstDatabaseHost::apriRifiuta_data() {
    QTest::addColumn<QByteArray>("scritto"); // the file's bytes; null: no file
    QTest::addColumn<bool>("creare");        // a KaloRefill database first
    QTest::addColumn<QString>("sql");        // then run on it directly
    QTest::addColumn<QString>("indirizzo");  // empty: the new database's own
    QTest::addColumn<QString>("motivo");     // part of the one-line message; empty: the address
    const auto riga = [](const char* nome, const QByteArray& scritto, bool creare,
                         const QString& sql, const char* indirizzo, const char* motivo) {
        QTest::newRow(nome) << scritto << creare << sql << QString::fromUtf8(indirizzo)
                            << QString::fromUtf8(motivo);
    };
    if (!MotoreProva::postgreSql()) {
        // Missing, empty, text and another program's files: see the program's own test.
        riga("rumore", QByteArray("SQLite format 3\0", 16) + QByteArray(4096, 'Z'), false, {}, "",
             "");
        riga("versione futura", {}, true, u"PRAGMA user_version = 99"_s, "", "");
        return;
    }
    riga("vuoto", {}, false, {}, "", "crearlo con kalorefill --crea-database");
    riga("estraneo", {}, false, u"create table noteteste (id integer)"_s, "", "manca il contrassegno");
    riga("versione futura", {}, true,
         u"update kalorefill_database set valore = '99' where chiave = 'versione_schema'"_s, "",
         "versione più recente");
    riga("server assente", {}, false, {}, "postgresql://tester@/x?host=/nonexistent&port=1",
         "Impossibile collegarsi al database postgresql://tester@/x");
}

// A database that is not a KaloRefill one is refused in one line naming it, and is left as
// it was, byte for byte.
void TstDatabaseHost::apriRifiuta() {
    QFETCH(QByteArray, scritto);
    QFETCH(bool, creare);
    QFETCH(QString, sql);
    QFETCH(QString, indirizzo);
    QFETCH(QString, motivo);
    QTemporaryDir cartella;
    const QString nuovo = MotoreProva::postgreSql() ? MotoreProva::nuovoDatabase(cartella.path())
                                                    : cartella.filePath(u"dati.kdb"_s);
    if (indirizzo.isEmpty())
        indirizzo = nuovo;
    if (motivo.isEmpty())
        motivo = nuovo;
    if (creare)
        DatabaseHost::crea(nuovo);
    if (!sql.isEmpty())
        QVERIFY2(DbDiretto(nuovo).esegui(sql), qPrintable(sql));
    if (!scritto.isNull()) {
        QFile f(nuovo);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(scritto) == scritto.size());
    }
    const QByteArray prima = contenuto(nuovo);
    const QStringList elenco = QDir(cartella.path()).entryList(QDir::AllEntries | QDir::Hidden);
    const Errore e = erroreDi([&] { DatabaseHost::apri(indirizzo); });
    QCOMPARE(e.numero(), CodiceErrore::ErroreDatabase);
    QVERIFY2(e.descrizione().contains(motivo), qPrintable(e.descrizione()));
    QVERIFY2(!e.descrizione().contains(u'\n'), qPrintable(e.descrizione()));
    QCOMPARE(contenuto(nuovo), prima);
    // Nothing created beside it either: no file, no -wal or -shm left by the look at it.
    QCOMPARE(QDir(cartella.path()).entryList(QDir::AllEntries | QDir::Hidden), elenco);
}

// A new database is never created over; settings and the day, user and folder of the host.
void TstDatabaseHost::creaApriESettaggi() {
    Db db;
    db.host->Execute(u"insert into anagraficalocali (Codlocale) values ('L01')"_s);
    const QByteArray creato = contenuto(db.indirizzo);
    QCOMPARE(errore([&] { DatabaseHost::crea(db.indirizzo); }), CodiceErrore::ErroreDatabase);
    QCOMPARE(contenuto(db.indirizzo), creato);
    QCOMPARE(db.host->leggisettaggio(u"Refill"_s, u"Salvataggio"_s, 1), qint16(1));
    db.host->salvasettaggio(u"Refill"_s, u"Salvataggio"_s, 0);
    db.host->salvasettaggio(u"Altro"_s, u"Salvataggio"_s, 7);

    const auto host = DatabaseHost::apri(db.indirizzo);
    QCOMPARE(valori(host->openrecordset(SqlTesti::locali()), u"CodLocale"_s),
             QStringList{u"L01"_s});
    QCOMPARE(host->leggisettaggio(u"Refill"_s, u"Salvataggio"_s, 1), qint16(0));
    QCOMPARE(host->leggisettaggio(u"Altro"_s, u"Salvataggio"_s, 1), qint16(7));
    QCOMPARE(host->Percorso(),
             MotoreProva::postgreSql()
                 ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/'
                 : QFileInfo(db.indirizzo).absolutePath() + u'/');
}

void TstDatabaseHost::aggiornamentoSchema_data() {
    QTest::addColumn<QString>("guasto"); // run on the old database first; empty: none
    QTest::newRow("da 1") << QString();
    // The suite had put a column of that name there itself: the step fails, and with it
    // the whole upgrade.
    QTest::newRow("passo fallito") << u"alter table operatori add column ruolo integer"_s;
}

// A database of the first version, made by the first version's own statements, opens:
// it gains the new columns with their starting values, keeps its rows, and ends up with
// the same columns as a database made now. A failed step leaves it as it was.
void TstDatabaseHost::aggiornamentoSchema() {
    QFETCH(QString, guasto);
    QTemporaryDir cartella;
    const QString vecchio = MotoreProva::nuovoDatabase(cartella.path());
    QStringList sql = SchemaDatabase::istruzioni(
        MotoreProva::postgreSql() ? MotoreSql::PostgreSql : MotoreSql::Sqlite, 1);
    sql << u"insert into operatori (codice, nome) values ('OP1', 'Mario')"_s
        << u"insert into anagraficalocali (Codlocale, ragionesociale) values ('SG01', 'Sala Srl')"_s;
    if (!guasto.isEmpty())
        sql << guasto;
    QVERIFY(DbDiretto(vecchio).esegui(sql));
    if (!guasto.isEmpty()) {
        const Errore e = erroreDi([&] { DatabaseHost::apri(vecchio); });
        QVERIFY2(e.descrizione().contains(u"dalla versione 1 alla"), qPrintable(e.descrizione()));
        QVERIFY(!DbDiretto(vecchio).esegui(u"select attivo from operatori"_s));
        return;
    }
    const auto host = DatabaseHost::apri(vecchio);
    const RecordsetPtr operatori = host->openrecordset(u"select * from operatori"_s);
    QCOMPARE(operatori->RecordCount(), 1);
    QCOMPARE(riga(operatori).value(u"codice"_s).toString(), u"OP1"_s);
    QCOMPARE(riga(operatori).value(u"ruolo"_s).toString(), u"operatore"_s);
    QVERIFY(riga(operatori).value(u"attivo"_s).toInt() != 0);
    QCOMPARE(valori(host->openrecordset(u"select * from anagraficalocali"_s), u"ragionesociale"_s),
             QStringList{u"Sala Srl"_s});
    QCOMPARE(valori(host->openrecordset(u"select * from kalorefill_database where "
                                        u"chiave = 'versione_schema'"_s),
                    u"valore"_s),
             QStringList{QString::number(SchemaDatabase::versione)});
    Db nuovo;
    for (const char* tabella : {"operatori", "anagraficalocali", "apparecchi", "noteteste"}) {
        const QString tutto = u"select * from "_s + QLatin1StringView(tabella);
        QCOMPARE(host->openrecordset(tutto)->FieldNames(), nuovo.apri(tutto)->FieldNames());
    }
    if (!MotoreProva::postgreSql())
        QCOMPARE(DbDiretto(vecchio).valore(u"PRAGMA user_version"_s).toInt(), SchemaDatabase::versione);
}

// Refused statements and filters change nothing.
void TstDatabaseHost::istruzioniRifiutateNonToccanoNulla() {
    Db db;
    db.apparecchi();
    for (const QString& sql : {u"select 1; delete from apparecchi"_s,
                               u"delete * from apparecchi; drop table noteteste"_s})
        QCOMPARE(errore([&] { db.host->Execute(sql); }), CodiceErrore::ErroreDatabase);
    const RecordsetPtr rs = db.apri(SqlTesti::tuttiApparecchi());
    for (const QString& filtro : {u"nonesiste = 1"_s, u"1=1; delete from apparecchi"_s})
        QCOMPARE(errore([&] { rs->SetFilter(filtro); }), CodiceErrore::ErroreDatabase);
    QCOMPARE(db.apri(SqlTesti::tuttiApparecchi())->RecordCount(), 4);
    QCOMPARE(db.apri(SqlTesti::elencoRefill())->RecordCount(), 0);
}
void TstDatabaseHost::righe_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("filtro");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QStringList>("attesi");
    const auto riga = [](const char* nome, const QString& sql, const QString& filtro,
                         const char* campo, const QStringList& attesi) {
        QTest::newRow(nome) << sql << filtro << QString::fromLatin1(campo) << attesi;
    };
    const QString tutti = SqlTesti::tuttiApparecchi(), attivi = SqlTesti::apparecchiAttivi();
    const char* codice = "codiceinterno";
    riga("2 in ordine", attivi, {}, codice, {u"A2"_s, u"A1"_s});
    // The save stores "REF"; every text finds it however it spells it.
    riga("4 'ref'", SqlTesti::testataRefill(oggi), {}, "codcausale", {u"REF"_s});
    riga("4 altro giorno", SqlTesti::testataRefill(oggi.addDays(1)), {}, "codcausale", {});
    riga("8 locale in minuscolo", SqlTesti::totaleGiorno(u"l01"_s, oggi), {},
         "SommaDiRefillGestore", {u"7"_s});
    riga("filtro", tutti, u"idscheda = 12"_s, codice, {u"A2"_s});
    riga("filtro e testo", attivi, u"idscheda = 13"_s, codice, {});
    riga("filtro con or e ;", tutti, u"Nomescheda = 'x;y' or codiceinterno = 'A1'"_s, codice,
         {u"A1"_s});
}

void TstDatabaseHost::righe() {
    QFETCH(QString, sql);
    QFETCH(QString, filtro);
    QFETCH(QString, campo);
    QFETCH(QStringList, attesi);
    Db db;
    db.apparecchi();
    const qint64 testa = db.testata();
    db.riga(testa, 11, u"3"_s);
    db.riga(testa, 12, u"4"_s);
    const RecordsetPtr rs = db.apri(sql);
    rs->SetFilter(filtro);
    QCOMPARE(rs->RecordCount(), attesi.size());
    QCOMPARE(valori(rs, campo), attesi);
    rs->SetFilter(QString()); // the whole set again
    QCOMPARE(rs->RecordCount(), db.apri(sql)->RecordCount());
}

// Past the last row there is none to read; a set outlives the host that opened it.
void TstDatabaseHost::movimentiOltreIEstremiEDopoIlHost() {
    Db db;
    db.apparecchi();
    auto proprio = DatabaseHost::apri(db.indirizzo);
    const RecordsetPtr rs = proprio->openrecordset(SqlTesti::apparecchiAttivi());
    rs->MoveNext();
    rs->MoveNext();
    QCOMPARE(errore([&] { rs->Field(u"codiceinterno"_s); }), CodiceErrore::NessunRecordCorrente);
    proprio.reset();
    rs->MoveFirst();
    QCOMPARE(valori(rs, u"codiceinterno"_s), QStringList({u"A2"_s, u"A1"_s}));
}

void TstDatabaseHost::totali_data() {
    QTest::addColumn<QStringList>("importi");
    QTest::addColumn<QString>("somma"); // the shortest text of the double read back
    QTest::newRow("giorno senza refill") << QStringList() << QString();
    QTest::newRow("0,1 + 0,2") << QStringList{u"0,1"_s, u"0.2"_s} << u"0.3"_s;
    QTest::newRow("dieci volte 0.1") << QStringList(10, u"0.1"_s) << u"1"_s;
    QTest::newRow("centesimi") << QStringList{u"19,99"_s, u"0,01"_s, u"33,33"_s} << u"53.33"_s;
}

// Exact sums of the amounts typed, for the header (text 9) and the day (texts 8), leaving
// out the refills of another venue and of the day before.
void TstDatabaseHost::totali() {
    QFETCH(QStringList, importi);
    QFETCH(QString, somma);
    Db db;
    const qint64 testa = db.testata();
    for (int i = 0; i < importi.size(); ++i)
        db.riga(testa, 11 + i, importi.at(i));
    for (const char* altro : {"'L02', #12-04-2026#", "'L01', #12-03-2026#"}) {
        db.host->Execute(u"insert into noteteste (Codlocale, dataregistrazione, codcausale) "
                         "values (%1, 'REF')"_s.arg(QLatin1StringView(altro)));
        db.host->Execute(u"insert into noteincassi (idtesta, dataincasso, refillgestore) "
                         "select id, dataregistrazione, 100 from noteteste "
                         "where id = (select max(id) from noteteste)"_s);
    }
    QCOMPARE(valori(db.apri(SqlTesti::totaleDocumento(QString::number(testa))), u"TotaleRefill"_s),
             QStringList{somma});
    for (const QString& sql : {SqlTesti::totaleGiorno(u"L01"_s, oggi),
                               SqlTesti::totaleGiornoSalvataggio(u"L01"_s, oggi)})
        QCOMPARE(valori(db.apri(sql), u"SommaDiRefillGestore"_s),
                 somma.isEmpty() ? QStringList() : QStringList{somma});
    // Summed up by the database on the day's set, the other header's 100s filtered out.
    const RecordsetPtr giorno = db.apri(SqlTesti::refillDelGiorno(oggi));
    giorno->SetFilter(u"RefillGestore < 100"_s);
    const auto riepilogo = giorno->Riepilogo({u"refillgestore"_s});
    QCOMPARE(riepilogo->value(0), QVariant(qint64(importi.size())));
    QCOMPARE(riepilogo->value(1).toString(), somma);
    QCOMPARE(riepilogo->value(1).isNull(), somma.isEmpty());
}

void TstDatabaseHost::campi_data() {
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valore");
    QTest::addColumn<QVariant>("letto"); // an int: the number of the error refusing the value
    const auto riga = [](const char* nome, const char* tabella, const char* campo,
                         const QVariant& valore, const QVariant& letto) {
        QTest::newRow(nome) << QString::fromUtf8(tabella) << QString::fromUtf8(campo) << valore
                            << letto;
    };
    const QDateTime momento(oggi, QTime(10, 30, 15, 500));
    const QVariant tipo = CodiceErrore::TipoNonCorrispondente;
    riga("importo col punto", "noteincassi", "refillgestore", u"12.50"_s, 12.5);
    riga("importo con la virgola", "LogOperazioni", "importo1", u"12,50"_s, 12.5);
    riga("importo negativo", "noterighe", "dare", u"-3,25"_s, -3.25);
    riga("importo da valuta", "noterighe", "avere", QVariant::fromValue(Valuta::daDecimillesimi(3)),
         0.0003);
    riga("codice di cifre resta testo", "noteteste", "idoperatore", u"007"_s, u"007"_s);
    riga("importo arrotondato", "noteincassi", "refillgestore", 1.23456, 1.2346);
    riga("booleano vero da 1", "noteteste", "chiuso", 1, qint64(-1));
    riga("data", "noteteste", "dataregistrazione", oggi, oggi);
    riga("data da testo", "noteteste", "dataregistrazione", u"04/12/2026"_s, oggi);
    riga("momento al secondo", "noteteste", "iddata", momento, momento.addMSecs(-500));
    // Kept as text on a file: read as the same instant in this computer's zone, in summer
    // too; a midnight one is kept as the date alone.
    riga("momento d'estate", "noteteste", "iddata", QDateTime(QDate(2026, 7, 15), QTime(2, 30)),
         QDateTime(QDate(2026, 7, 15), QTime(2, 30)));
    riga("momento a mezzanotte", "noteteste", "iddata", QDateTime(oggi, QTime(0, 0)), QDateTime(oggi, QTime(0, 0)));
    riga("ora da momento", "LogOperazioni", "orario", momento, QTime(10, 30, 15));
    riga("null", "noteincassi", "refillgestore", QVariant(), QVariant());
    riga("abc in un importo", "noteincassi", "refillgestore", u"abc"_s, tipo);
    riga("testo vuoto in un importo", "noteincassi", "refillgestore", u""_s, tipo);
    riga("virgola e punto", "LogOperazioni", "importo1", u"1.234,50"_s, tipo);
}

// What a field shows once set, in the same set and in a new one reading the file; a refused
// value leaves what was there, on a new row and on a stored one.
void TstDatabaseHost::campi() {
    QFETCH(QString, tabella);
    QFETCH(QString, campo);
    QFETCH(QVariant, valore);
    QFETCH(QVariant, letto);
    const int codice = letto.metaType().id() == QMetaType::Int ? letto.toInt() : 0;
    Db db;
    const QString sql = u"select * from "_s + tabella;
    const RecordsetPtr rs = db.apri(sql);
    rs->AddNew();
    QCOMPARE(errore([&] { rs->SetField(campo, valore); }), codice);
    rs->Update();
    const RecordsetPtr riletto = db.apri(sql);
    QCOMPARE(riletto->RecordCount(), 1);
    // The set shows at once the whole row the file has: its key, the defaults not written.
    QCOMPARE(riga(rs), riga(riletto));
    if (codice) {                                // the refused values are all amounts
        QVERIFY(riletto->Field(campo).isNull()); // nothing stored
        riletto->SetField(campo, u"1"_s);        // an amount already there, then mistyped
        QCOMPARE(errore([&] { riletto->SetField(campo, valore); }), codice);
        riletto->Update();
        QVERIFY(db.apri(sql)->Field(campo).toDouble() == 1.0);
        QCOMPARE(riga(riletto), riga(db.apri(sql)));
        return;
    }
    for (const QVariant& v : {rs->Field(campo), riletto->Field(campo)}) {
        QCOMPARE(v.metaType(), letto.metaType());
        QCOMPARE(v, letto);
        QVERIFY2(v.toDouble() == letto.toDouble(),
                 qPrintable(QString::number(v.toDouble(), 'g', 17)));
    }
}

// The second host writes while the first one holds a set it has read, then the first one
// writes: each sees what the other stored; and so does a set read again after another
// program changed a table.
void TstDatabaseHost::dueHostSulloStessoFile() {
    Db db;
    db.apparecchi();
    const auto secondo = DatabaseHost::apri(db.indirizzo, OpzioniHost{oggi, u"luigi"_s, {}});
    const RecordsetPtr pigro = db.apri(SqlTesti::righeContabili()); // opened, not read yet
    const RecordsetPtr lettura = db.apri(SqlTesti::apparecchiAttivi());
    QCOMPARE(lettura->RecordCount(), 2);
    // The second host writes while the first one holds a set it has read.
    secondo->Execute(u"insert into noterighe (idtesta, riga) values (1, 1)"_s);
    const RecordsetPtr log = secondo->openrecordset(SqlTesti::logVuoto());
    QList<qint64> id;
    for (const QString& operazione : {u"Inserimento Refill"_s, u"Modifica Refill"_s}) {
        log->AddNew();
        log->SetField(u"idoperatore"_s, secondo->User());
        log->SetField(u"operazione"_s, operazione);
        log->Update();
        id.append(log->Field(u"id"_s).toLongLong());
    }
    // Rows added through the set stay in it, although "id=-1" matches none of them.
    QCOMPARE(log->RecordCount(), 2);
    // Then the first one writes, and each sees what the other stored.
    db.riga(db.testata(), 11, u"1"_s);
    lettura->MoveNext();
    QCOMPARE(lettura->Field(u"codiceinterno"_s).toString(), u"A1"_s);
    QCOMPARE(valori(db.apri(u"select idoperatore & ' ' & operazione as r from LogOperazioni where id=%1"_s
                                .arg(id.at(0))), u"r"_s),
             QStringList{u"luigi Inserimento Refill"_s});
    QCOMPARE(valori(secondo->openrecordset(u"select * from noteincassi"_s), u"refillgestore"_s),
             QStringList{u"1"_s});
    // The set opened before the other host wrote had not read its rows: it sees that one too.
    pigro->AddNew();
    pigro->SetField(u"riga"_s, qint16(2));
    pigro->Update();
    QCOMPARE(pigro->RecordCount(), 2);
    QCOMPARE(pigro->Field(u"riga"_s).toLongLong(), 2); // the added row is still the current one
    // Another program of the suite adds a column and a row: the same text opened again reads
    // the database as it is now.
    QVERIFY(DbDiretto(db.indirizzo).esegui({u"alter table apparecchi add column sala text"_s,
                                            u"update apparecchi set sala = codiceinterno || 's'"_s}));
    QCOMPARE(valori(db.apri(SqlTesti::apparecchiAttivi()), u"sala"_s), (QStringList{u"A2s"_s, u"A1s"_s}));
}
// Inside a unit a refused statement undoes only itself and the unit goes on; a unit let go
// without Conferma keeps nothing. The server connection dies, or the file gives a damaged
// page half-way through a unit (as a failing disk leaves it): that call and every later
// call of the unit say the unit is lost, nothing of it is kept, not even what came before,
// and the next unit works again.
void TstDatabaseHost::unitaPersa() {
    const bool server = MotoreProva::postgreSql();
    Db db;
    {
        const auto unita = db.host->IniziaUnita();
        QVERIFY(unita);
        db.host->Execute(u"insert into noterighe (idtesta, riga) values (5, 1)"_s);
        QCOMPARE(
            errore([&] { db.host->Execute(u"insert into noterighe (nonesiste) values (1)"_s); }),
            CodiceErrore::ErroreDatabase);
        QCOMPARE(errore([&] { db.apri(u"select * from nonesiste"_s); }),
                 CodiceErrore::ErroreDatabase);
        const RecordsetPtr rs = db.apri(SqlTesti::righeContabili());
        rs->AddNew();
        rs->SetField(u"idtesta"_s, 5);
        rs->SetField(u"riga"_s, 2);
        rs->Update();
        unita->Conferma();
    }
    {
        const auto lasciata = db.host->IniziaUnita();
        db.host->Execute(u"insert into noterighe (idtesta, riga) values (5, 3)"_s);
    }
    DbDiretto diretto(db.indirizzo);
    QVERIFY(diretto.esegui({u"create table grande (x integer)"_s, u"insert into grande (x) values (1)"_s}));
    const auto pid = server ? db.apri(u"select pg_backend_pid() as pid"_s)->Field(u"pid"_s).toLongLong() : 0;
    if (!server) {
        // The table's only page, overwritten on the disk beneath the engine.
        const qint64 pagina = diretto.valore(u"PRAGMA page_size"_s).toLongLong();
        const qint64 radice =
            diretto.valore(u"select rootpage from sqlite_master where name = 'grande'"_s).toLongLong();
        QVERIFY(diretto.esegui(u"PRAGMA wal_checkpoint(TRUNCATE)"_s));
        QFile file(db.indirizzo);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek((radice - 1) * pagina));
        QCOMPARE(file.write(QByteArray(pagina, '\xff')), pagina);
    }
    {
        const auto unita = db.host->IniziaUnita();
        db.host->Execute(u"insert into noterighe (idtesta, riga) values (7, 1)"_s);
        if (server)
            QVERIFY(diretto.esegui(u"select pg_terminate_backend(%1, 5000)"_s.arg(pid)));
        const Errore e = erroreDi([&] { db.apri(u"select * from grande"_s)->RecordCount(); });
        QCOMPARE(e.numero(), CodiceErrore::UnitaNonRiuscita);
        QVERIFY2(!e.descrizione().contains(u'\n'), qPrintable(e.descrizione()));
        QCOMPARE(errore([&] { db.host->Execute(u"insert into noterighe (idtesta, riga) values (7, 2)"_s); }),
                 CodiceErrore::UnitaNonRiuscita);
        QCOMPARE(errore([&] { unita->Conferma(); }), CodiceErrore::UnitaNonRiuscita);
    }
    const auto nuova = db.host->IniziaUnita();
    db.host->Execute(u"insert into noterighe (idtesta, riga) values (7, 3)"_s);
    nuova->Conferma();
    QCOMPARE(valori(db.apri(u"select idtesta & '/' & riga as r from noterighe order by idtesta, riga"_s), u"r"_s),
             (QStringList{u"5/1"_s, u"5/2"_s, u"7/3"_s}));
}

// A save's writes may wait for its next read and travel with it: the one the database
// refuses is the only one lost; those before and after it are kept and committed.
void TstDatabaseHost::scrittureTrattenute() {
    Db db;
    const auto unita = db.host->IniziaUnita();
    unita->RitardaScritture(true);
    int rifiutate = 0;
    for (const QString& sql : {u"insert into noterighe (idtesta, riga) values (5, 1)"_s,
                               u"insert into noterighe (idtesta, nonesiste) values (5, 2)"_s,
                               u"insert into noterighe (idtesta, riga) values (5, 3)"_s})
        rifiutate += errore([&] { db.host->Execute(sql); }) == CodiceErrore::ErroreDatabase;
    QCOMPARE(db.apri(SqlTesti::righeContabili())->RecordCount(), 2);
    rifiutate += int(unita->ScrittureFallite().size());
    QCOMPARE(rifiutate, 1);
    unita->Conferma();
    QCOMPARE(valori(db.apri(u"select riga from noterighe order by riga"_s), u"riga"_s),
             (QStringList{u"1"_s, u"3"_s}));
}

void TstDatabaseHost::valoriNeiTesti_data() {
    QTest::addColumn<QStringList>("testi");   // run one after the other on the same host
    QTest::addColumn<QString>("campo");       // read from the rows of each text
    QTest::addColumn<QStringList>("trovati"); // the rows of each text, joined
    const auto riga = [](const char* nome, const char* tabella, const char* campo,
                         std::initializer_list<const char*> condizioni,
                         const QStringList& trovati) {
        QStringList testi;
        for (const char* c : condizioni)
            testi << u"select * from %1 where %2 order by 1"_s.arg(QLatin1StringView(tabella),
                                                                   QString::fromUtf8(c));
        QTest::newRow(nome) << testi << QString::fromLatin1(campo) << trovati;
    };
    const char* codice = "codiceinterno";
    riga("stessa forma, valori diversi", "apparecchi", codice,
         {"idscheda=11", "idscheda=12", "idscheda=11", "codiceinterno='a2'", "codiceinterno='A1'"},
         {u"A1"_s, u"A2"_s, u"A1"_s, u"A2"_s, u"A1"_s});
    riga("apici, punto interrogativo, negativo e decimale", "apparecchi", codice,
         {"Nomescheda = 'it''s'", "Nomescheda='Poker?'", "Nomescheda = 'Slot 7'", "idscheda = -1",
          "ordineincasso = 1.0", "ordineincasso = 1.5"},
         {QString(), QString(), u"A1"_s, QString(), u"A2"_s, QString()});
    riga("giorni e documenti", "noteteste", "note",
         {"dataregistrazione = #12/01/2026#", "dataregistrazione = #12/02/2026#",
          "dataregistrazione = #12/01/2026# and id = 2", "dataregistrazione = #12/02/2026# and id = 2"},
         {u"uno,due"_s, u"tre"_s, u"due"_s, QString()});
    riga("date ISO, intervalli, testi e valori fuori da un confronto", "noteteste", "note",
         {"dataregistrazione >= #2026-12-02# and dataregistrazione < #12/03/2026#", "note = '#12/01/2026#'",
          "note = 'id = 2'", "dataregistrazione between #12/01/2026# and #12/01/2026#", "id in (1, 3)"},
         {u"tre"_s, u"#12/01/2026#"_s, u"id = 2"_s, u"uno,due"_s, u"uno,tre"_s});
    // An empty text is a text, not a missing value.
    riga("testo vuoto", "noteteste", "id", {"note = ''", "note = 'uno'", "note = ''"},
         {u"6"_s, u"1"_s, u"6"_s});
}

// Texts that differ only in a value, a date or an id, as a new day brings them, each find
// their own rows however many times the same shape has run before: a value inside a text
// is part of the text, not a value to bind.
void TstDatabaseHost::valoriNeiTesti() {
    QFETCH(QStringList, testi);
    QFETCH(QString, campo);
    QFETCH(QStringList, trovati);
    Db db;
    db.apparecchi();
    // Ids 1 to 6, in this order.
    db.esegui("insert into noteteste (dataregistrazione, note) values (%1)",
              {"#12/01/2026#, 'uno'", "#12/01/2026#, 'due'", "#12/02/2026#, 'tre'",
               "#12/05/2026#, '#12/01/2026#'", "#12/05/2026#, 'id = 2'", "#12/06/2026#, ''"});
    QStringList righe;
    for (const QString& sql : testi)
        righe << valori(db.apri(sql), campo).join(u',');
    QCOMPARE(righe, trovati);
    // A filter on a set whose text shares its form with another's.
    const QString delGiorno = u"select * from noteteste where dataregistrazione = %1 order by id"_s;
    const RecordsetPtr primo = db.apri(delGiorno.arg(u"#12/01/2026#"_s));
    const RecordsetPtr secondo = db.apri(delGiorno.arg(u"#12/02/2026#"_s));
    secondo->SetFilter(u"note = 'tre'"_s);
    QCOMPARE(valori(secondo, u"note"_s), QStringList{u"tre"_s});
    primo->SetFilter(u"id = 2"_s);
    QCOMPARE(valori(primo, u"note"_s), QStringList{u"due"_s});
}

QTEST_GUILESS_MAIN(TstDatabaseHost)
#include "tst_database_host.moc"
