#include "DatabaseDiProva.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace KaloRefill;
using namespace KaloRefill::Prova;
using namespace Qt::StringLiterals;

namespace {

void scriviFile(const QString& percorso, const QByteArray& contenuto) {
    QFile file(percorso);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contenuto);
}

QByteArray contenuto(const QString& percorso) {
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs statements on a file through a connection of the test's own.
void sqlDiretto(const QString& percorso, const QStringList& istruzioni) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"diretto"_s);
        db.setDatabaseName(percorso);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString& sql : istruzioni)
            QVERIFY2(q.exec(sql), qPrintable(sql));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"diretto"_s);
}

} // namespace

class TstDatabaseHost : public QObject {
    Q_OBJECT

private slots:
    void apriRifiuta_data();
    void apriRifiuta();
    void creaEApri();
    void testiDelModuloSuUnDatabaseNuovo_data();
    void testiDelModuloSuUnDatabaseNuovo();
    void settaggi();
    void dataUtentePercorso();
    void executeRifiutaDueIstruzioni();
};

void TstDatabaseHost::apriRifiuta_data() {
    QTest::addColumn<QString>("caso");
    QTest::newRow("file mancante") << u"mancante"_s;
    QTest::newRow("file di testo") << u"testo"_s;
    QTest::newRow("file vuoto") << u"vuoto"_s;
    QTest::newRow("database SQLite estraneo") << u"estraneo"_s;
    QTest::newRow("intestazione SQLite e poi rumore") << u"danneggiato"_s;
    QTest::newRow("schema di una versione futura") << u"futuro"_s;
    QTest::newRow("database KaloRefill troncato") << u"troncato"_s;
    QTest::newRow("una cartella") << u"cartella"_s;
}

void TstDatabaseHost::apriRifiuta() {
    QFETCH(QString, caso);
    QTemporaryDir cartella;
    const QString file = cartella.filePath(u"dati.kdb"_s);
    if (caso == u"testo")
        scriviFile(file, "Questo non e' un database.\nSELECT * FROM noteteste;\n");
    else if (caso == u"vuoto")
        scriviFile(file, QByteArray());
    else if (caso == u"estraneo")
        sqlDiretto(file, {u"create table noteteste (id integer primary key, codcausale text)"_s,
                          u"insert into noteteste (codcausale) values ('REF')"_s});
    else if (caso == u"danneggiato")
        scriviFile(file, QByteArray("SQLite format 3\0", 16) + QByteArray(4096, '\x5a'));
    else if (caso == u"futuro") {
        DatabaseHost::crea(file);
        sqlDiretto(file, {u"PRAGMA user_version = 99"_s});
    } else if (caso == u"troncato") {
        DatabaseHost::crea(file)->Execute(u"insert into operatori (codice) values ('mario')"_s);
        const QByteArray intero = contenuto(file);
        scriviFile(file, intero.left(intero.size() / 2));
    } else if (caso == u"cartella")
        QVERIFY(QDir(cartella.path()).mkdir(u"dati.kdb"_s));
    if (QTest::currentTestFailed())
        return;

    const bool esisteva = QFileInfo::exists(file);
    const QByteArray prima = contenuto(file);
    const QStringList cartellaPrima =
        QDir(cartella.path()).entryList(QDir::AllEntries | QDir::Hidden);
    try {
        DatabaseHost::apri(file);
        QFAIL("apri accepted the file");
    } catch (const Errore& e) {
        QCOMPARE(e.numero(), CodiceErrore::ErroreDatabase);
        QVERIFY2(e.descrizione().contains(file), qPrintable(e.descrizione()));
    }
    QCOMPARE(QFileInfo::exists(file), esisteva);
    QCOMPARE(contenuto(file), prima);
    // Nothing beside it either: no -wal or -shm left by the look at the file.
    QCOMPARE(QDir(cartella.path()).entryList(QDir::AllEntries | QDir::Hidden), cartellaPrima);
}

void TstDatabaseHost::creaEApri() {
    QTemporaryDir cartella;
    const QString file = cartella.filePath(u"sala.kdb"_s);
    {
        const auto host = DatabaseHost::crea(file);
        host->Execute(
            u"insert into anagraficalocali (Codlocale, ragionesociale) values ('L01', 'Sala')"_s);
    }
    const QByteArray creato = contenuto(file);
    QCOMPARE(numeroErrore([&] { DatabaseHost::crea(file); }), CodiceErrore::ErroreDatabase);
    QCOMPARE(contenuto(file), creato);
    QCOMPARE(numeroErrore([&] { DatabaseHost::crea(cartella.filePath(u"manca/sala.kdb"_s)); }),
             CodiceErrore::ErroreDatabase);
    QVERIFY(!QFileInfo::exists(cartella.filePath(u"manca"_s)));

    const auto host = DatabaseHost::apri(file);
    QCOMPARE(host->percorsoFile(), QFileInfo(file).absoluteFilePath());
    const RecordsetPtr locali = host->openrecordset(SqlTesti::locali());
    QCOMPARE(locali->RecordCount(), 1);
    QCOMPARE(locali->Field(u"CodLocale"_s).toString(), u"L01"_s);
}

void TstDatabaseHost::testiDelModuloSuUnDatabaseNuovo_data() {
    QTest::addColumn<QString>("sql");
    const QDate d = giornoDiProva;
    QTest::newRow("1") << SqlTesti::locali();
    QTest::newRow("2") << SqlTesti::apparecchiAttivi();
    QTest::newRow("3") << SqlTesti::associazioneConti();
    QTest::newRow("4") << SqlTesti::testataRefill(d);
    QTest::newRow("5") << SqlTesti::rigaApparecchio(u"1"_s, u"11"_s);
    QTest::newRow("6") << SqlTesti::logVuoto();
    QTest::newRow("7") << SqlTesti::tuttiApparecchi();
    QTest::newRow("8") << SqlTesti::totaleGiorno(u"L01"_s, d);
    QTest::newRow("8 al salvataggio") << SqlTesti::totaleGiornoSalvataggio(u"L01"_s, d);
    QTest::newRow("9") << SqlTesti::totaleDocumento(u"1"_s);
    QTest::newRow("10") << SqlTesti::cancellaRighe(u"1"_s);
    QTest::newRow("11") << SqlTesti::righeContabili();
    QTest::newRow("12") << SqlTesti::elencoRefill();
    QTest::newRow("13") << SqlTesti::refillDelGiorno(d);
    QTest::newRow("14") << SqlTesti::operatori();
    QTest::newRow("15 preferenze") << SqlTesti::viste();
}

void TstDatabaseHost::testiDelModuloSuUnDatabaseNuovo() {
    QFETCH(QString, sql);
    DatabaseDiProva db;
    if (sql == SqlTesti::cancellaRighe(u"1"_s)) {
        db.host->Execute(sql);
        return;
    }
    const RecordsetPtr rs = sql == SqlTesti::viste() ? db.host->OpenRecordSetPreferenze(sql)
                                                     : db.host->openrecordset(sql);
    // A sum over no rows still gives one row, with nothing in it.
    const int attese = sql == SqlTesti::totaleDocumento(u"1"_s) ? 1 : 0;
    QCOMPARE(rs->RecordCount(), attese);
    QVERIFY(!rs->FieldNames().isEmpty());
}

void TstDatabaseHost::settaggi() {
    DatabaseDiProva db;
    QCOMPARE(db.host->leggisettaggio(u"Refill"_s, u"Salvataggio"_s, 1), qint16(1));
    QCOMPARE(db.host->leggisettaggio(u"Refill"_s, u"Salvataggio"_s, 0), qint16(0));
    db.host->salvasettaggio(u"Refill"_s, u"Salvataggio"_s, 0);
    QCOMPARE(db.host->leggisettaggio(u"Refill"_s, u"Salvataggio"_s, 1), qint16(0));
    db.host->salvasettaggio(u"Refill"_s, u"Salvataggio"_s, -32768);
    db.host->salvasettaggio(u"Altro"_s, u"Salvataggio"_s, 7);

    const auto altro = DatabaseHost::apri(db.file());
    QCOMPARE(altro->leggisettaggio(u"Refill"_s, u"Salvataggio"_s, 1), qint16(-32768));
    QCOMPARE(altro->leggisettaggio(u"Altro"_s, u"Salvataggio"_s, 1), qint16(7));
    QCOMPARE(
        altro->openrecordset(u"select * from impostazioni where sezione='refill'"_s)->RecordCount(),
        1);
}

void TstDatabaseHost::dataUtentePercorso() {
    QTemporaryDir cartella;
    const QString file = cartella.filePath(u"sala.kdb"_s);
    {
        const auto host = DatabaseHost::crea(file);
        QCOMPARE(host->Data(), QDate::currentDate());
        QString login = qEnvironmentVariable("USER");
        if (login.isEmpty())
            login = qEnvironmentVariable("USERNAME");
        QCOMPARE(host->User().toString(), login);
        QCOMPARE(host->Percorso(), QFileInfo(file).absolutePath() + u'/');
        host->setData(QDate(2025, 1, 31));
        host->setUser(u"anna"_s);
        QCOMPARE(host->Data(), QDate(2025, 1, 31));
        QCOMPARE(host->User().toString(), u"anna"_s);
        // Whatever the host is told, the module stores unchanged.
        host->setUser(qint64(7));
        QCOMPARE(host->User(), QVariant(qint64(7)));
    }
    const auto host =
        DatabaseHost::apri(file, OpzioniHost{QDate(2024, 2, 29), u"operatore7"_s, u"/srv/kalo"_s});
    QCOMPARE(host->Data(), QDate(2024, 2, 29));
    QCOMPARE(host->User().toString(), u"operatore7"_s);
    QCOMPARE(host->Percorso(), u"/srv/kalo/"_s);
}

void TstDatabaseHost::executeRifiutaDueIstruzioni() {
    DatabaseDiProva db;
    db.apparecchi();
    QCOMPARE(numeroErrore([&] { db.host->Execute(u"select 1; delete from apparecchi"_s); }),
             CodiceErrore::ErroreDatabase);
    QCOMPARE(numeroErrore(
                 [&] { db.host->Execute(u"delete * from apparecchi; drop table noteteste"_s); }),
             CodiceErrore::ErroreDatabase);
    QCOMPARE(numeroErrore([&] { db.host->Execute(u"drop table noteteste"_s); }),
             CodiceErrore::ErroreDatabase);
    QCOMPARE(db.host->openrecordset(SqlTesti::tuttiApparecchi())->RecordCount(), 4);
    QCOMPARE(db.host->openrecordset(SqlTesti::elencoRefill())->RecordCount(), 0);
}

QTEST_GUILESS_MAIN(TstDatabaseHost)
#include "tst_database_host.moc"
