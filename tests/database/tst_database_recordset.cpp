#include "DatabaseDiProva.h"
#include "SqliteRecordset.h"
#include "host/Valuta.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace KaloRefill;
using namespace KaloRefill::Prova;
using namespace Qt::StringLiterals;

namespace {

QStringList codici(const RecordsetPtr& rs) {
    QStringList trovati;
    while (!rs->Eof()) {
        trovati.append(rs->Field(u"codiceinterno"_s).toString());
        rs->MoveNext();
    }
    return trovati;
}

// The engine's plan for a statement, one line per step, from a connection of the test's own.
QStringList piano(const QString& file, const QString& sql) {
    QStringList righe;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"piano"_s);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(u"EXPLAIN QUERY PLAN "_s + sql);
            while (q.next())
                righe.append(q.value(3).toString());
        }
    }
    QSqlDatabase::removeDatabase(u"piano"_s);
    return righe;
}

} // namespace

class TstDatabaseRecordset : public QObject {
    Q_OBJECT

private slots:
    void recordCount_data();
    void recordCount();
    void ordineEMovimenti();
    void movimentiOltreIEstremi();
    void campoSconosciuto();
    void nuovaRigaEIdRiletto();
    void testataTrovataConOgniMaiuscola_data();
    void testataTrovataConOgniMaiuscola();
    void testo5ConTestataNuovaNonTrovaNulla();
    void totaleGiorno_data();
    void totaleGiorno();
    void testo10CancellaTutteLeRighe();
    void conversioni_data();
    void conversioni();
    void valoriRifiutati_data();
    void valoriRifiutati();
    void sommeEsatte_data();
    void sommeEsatte();
    void modificaInPosto();
    void filtro();
    void senzaScansioneDellaStoria_data();
    void senzaScansioneDellaStoria();
    void apertoSenzaLeggere();
    void soloSelectDiUnaTabellaScrive();
    void sopravviveAlHost();
    void dueHostSulloStessoFile();
};

void TstDatabaseRecordset::recordCount_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("righe");
    QTest::newRow("tabella vuota") << SqlTesti::righeContabili() << 0;
    QTest::newRow("log id=-1") << SqlTesti::logVuoto() << 0;
    QTest::newRow("tutti gli apparecchi") << SqlTesti::tuttiApparecchi() << 4;
    QTest::newRow("attivi, tipo 6") << SqlTesti::apparecchiAttivi() << 2;
    QTest::newRow("where su testo")
        << u"select * from apparecchi where Nomescheda = 'poker'"_s << 1;
}

void TstDatabaseRecordset::recordCount() {
    QFETCH(QString, sql);
    QFETCH(int, righe);
    DatabaseDiProva db;
    db.apparecchi();
    const RecordsetPtr rs = db.host->openrecordset(sql);
    QCOMPARE(rs->RecordCount(), righe);
    QCOMPARE(rs->Eof(), righe == 0);
    QCOMPARE(rs->Bof(), righe == 0);
}

void TstDatabaseRecordset::ordineEMovimenti() {
    DatabaseDiProva db;
    db.apparecchi();
    const RecordsetPtr rs = db.host->openrecordset(SqlTesti::apparecchiAttivi());
    QCOMPARE(codici(rs), QStringList({u"A2"_s, u"A1"_s}));
    rs->MovePrevious();
    QCOMPARE(rs->Field(u"codiceinterno"_s).toString(), u"A1"_s);
    rs->MoveFirst();
    QCOMPARE(rs->Field(u"codiceinterno"_s).toString(), u"A2"_s);
    QVERIFY(!rs->Bof());
}

void TstDatabaseRecordset::movimentiOltreIEstremi() {
    DatabaseDiProva db;
    db.apparecchi();
    const RecordsetPtr rs = db.host->openrecordset(SqlTesti::apparecchiAttivi());
    rs->MoveNext();
    rs->MoveNext();
    QVERIFY(rs->Eof());
    QCOMPARE(numeroErrore([&] { rs->MoveNext(); }), CodiceErrore::NessunRecordCorrente);
    QCOMPARE(numeroErrore([&] { rs->Field(u"codiceinterno"_s); }),
             CodiceErrore::NessunRecordCorrente);
    rs->MovePrevious();
    rs->MovePrevious();
    rs->MovePrevious();
    QVERIFY(rs->Bof());
    QVERIFY(!rs->Eof());
    QCOMPARE(numeroErrore([&] { rs->MovePrevious(); }), CodiceErrore::NessunRecordCorrente);
    rs->MoveNext();
    QCOMPARE(rs->Field(u"codiceinterno"_s).toString(), u"A2"_s);

    const RecordsetPtr vuoto = db.host->openrecordset(SqlTesti::logVuoto());
    QCOMPARE(numeroErrore([&] { vuoto->MoveFirst(); }), CodiceErrore::NessunRecordCorrente);
    QCOMPARE(numeroErrore([&] { vuoto->MoveNext(); }), CodiceErrore::NessunRecordCorrente);
    QCOMPARE(numeroErrore([&] { vuoto->MovePrevious(); }), CodiceErrore::NessunRecordCorrente);
    QCOMPARE(numeroErrore([&] { vuoto->Field(u"id"_s); }), CodiceErrore::NessunRecordCorrente);
}

void TstDatabaseRecordset::campoSconosciuto() {
    DatabaseDiProva db;
    db.apparecchi();
    const RecordsetPtr rs = db.host->openrecordset(SqlTesti::tuttiApparecchi());
    QCOMPARE(numeroErrore([&] { rs->Field(u"nonesiste"_s); }), CodiceErrore::CampoNonTrovato);
    QCOMPARE(numeroErrore([&] { rs->SetField(u"nonesiste"_s, 1); }), CodiceErrore::CampoNonTrovato);
    // Names ignore case.
    QCOMPARE(rs->Field(u"NOMESCHEDA"_s).toString(), rs->Field(u"nomescheda"_s).toString());
    QVERIFY(!rs->Field(u"NomeScheda"_s).toString().isEmpty());
}

void TstDatabaseRecordset::nuovaRigaEIdRiletto() {
    DatabaseDiProva db;
    const RecordsetPtr log = db.host->openrecordset(SqlTesti::logVuoto());
    log->AddNew();
    log->SetField(u"iddata"_s, QDateTime(giornoDiProva, QTime(10, 30)));
    log->SetField(u"idoperatore"_s, db.host->User());
    log->SetField(u"orario"_s, QTime(10, 30));
    log->SetField(u"importo1"_s, u"12,50"_s);
    log->SetField(u"operazione"_s, u"Inserimento Refill"_s);
    log->Update();
    const QVariant id = log->Field(u"id"_s);
    QVERIFY(id.toLongLong() > 0);
    QVERIFY(!log->Eof());

    log->AddNew();
    log->SetField(u"operazione"_s, u"Modifica Refill"_s);
    log->Update();
    QVERIFY(log->Field(u"id"_s).toLongLong() > id.toLongLong());
    // Rows added through the set stay in it, although "id=-1" matches none of them.
    QCOMPARE(log->RecordCount(), 2);

    const RecordsetPtr riletto =
        db.host->openrecordset(u"select * from LogOperazioni where id="_s + id.toString());
    QCOMPARE(riletto->RecordCount(), 1);
    QCOMPARE(riletto->Field(u"operazione"_s).toString(), u"Inserimento Refill"_s);
    QCOMPARE(riletto->Field(u"idoperatore"_s).toString(), u"mario"_s);
    QVERIFY(riletto->Field(u"importo1"_s).toDouble() == 12.5);
}

void TstDatabaseRecordset::testataTrovataConOgniMaiuscola_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("righe");
    const QDate altro = giornoDiProva.addDays(1);
    QTest::newRow("4 'ref'") << SqlTesti::testataRefill(giornoDiProva) << 1;
    QTest::newRow("4 altro giorno") << SqlTesti::testataRefill(altro) << 0;
    QTest::newRow("8 'REF'") << SqlTesti::totaleGiorno(u"L01"_s, giornoDiProva) << 1;
    QTest::newRow("8 locale in minuscolo") << SqlTesti::totaleGiorno(u"l01"_s, giornoDiProva) << 1;
    QTest::newRow("12 'Ref'") << SqlTesti::elencoRefill() << 1;
    QTest::newRow("13 (CodCausale) = 'Ref'") << SqlTesti::refillDelGiorno(giornoDiProva) << 1;
    QTest::newRow("13 altro giorno") << SqlTesti::refillDelGiorno(altro) << 0;
}

void TstDatabaseRecordset::testataTrovataConOgniMaiuscola() {
    QFETCH(QString, sql);
    QFETCH(int, righe);
    DatabaseDiProva db;
    db.rigaRefill(db.testata(), 11, u"12.50"_s);
    QCOMPARE(db.host->openrecordset(sql)->RecordCount(), righe);
}

void TstDatabaseRecordset::testo5ConTestataNuovaNonTrovaNulla() {
    DatabaseDiProva db;
    const RecordsetPtr testata = db.host->openrecordset(SqlTesti::testataRefill(giornoDiProva));
    QCOMPARE(testata->RecordCount(), 0);
    testata->AddNew();
    testata->SetField(u"codcausale"_s, u"REF"_s);
    testata->SetField(u"dataregistrazione"_s, giornoDiProva);
    testata->Update();
    const QString id = testata->Field(u"id"_s).toString();
    QVERIFY(id.toLongLong() > 0);

    const RecordsetPtr riga = db.host->openrecordset(SqlTesti::rigaApparecchio(id, u"11"_s));
    QCOMPARE(riga->RecordCount(), 0);
    riga->AddNew();
    riga->SetField(u"idtesta"_s, testata->Field(u"id"_s));
    riga->SetField(u"linkscheda"_s, u"11"_s);
    riga->Update();
    QCOMPARE(db.host->openrecordset(SqlTesti::rigaApparecchio(id, u"11"_s))->RecordCount(), 1);
    QCOMPARE(db.host->openrecordset(SqlTesti::rigaApparecchio(id, u"12"_s))->RecordCount(), 0);
}

void TstDatabaseRecordset::totaleGiorno_data() {
    QTest::addColumn<QString>("importi"); // amounts of the day, venue L01
    QTest::addColumn<QString>("altri");   // amounts of the day, venue L02
    QTest::addColumn<QString>("ieri");    // amounts of the day before, venue L01
    QTest::addColumn<int>("righe");
    QTest::addColumn<double>("somma");
    QTest::newRow("giorno senza refill") << QString() << QString() << u"5"_s << 0 << 0.0;
    QTest::newRow("solo un altro locale") << QString() << u"5"_s << QString() << 0 << 0.0;
    QTest::newRow("un refill") << u"10,00"_s << QString() << QString() << 1 << 10.0;
    QTest::newRow("più refill, altri esclusi")
        << u"0.1 0.2 12.5"_s << u"100"_s << u"7"_s << 1 << 12.8;
}

void TstDatabaseRecordset::totaleGiorno() {
    QFETCH(QString, importi);
    QFETCH(QString, altri);
    QFETCH(QString, ieri);
    QFETCH(int, righe);
    QFETCH(double, somma);
    DatabaseDiProva db;
    const QDate giornoPrima = giornoDiProva.addDays(-1);
    const auto scrivi = [&](const QString& elenco, const QDate& data, const QString& locale) {
        const QStringList valori = elenco.split(u' ', Qt::SkipEmptyParts);
        if (valori.isEmpty())
            return;
        // One header per date and venue, written the way another program of the suite might.
        db.host->Execute(u"insert into noteteste (codcausale, dataregistrazione, Codlocale) values "
                         "('REF', #"_s +
                         SqlTesti::dataTrattini(data) + u"#, '"_s + locale + u"')"_s);
        const RecordsetPtr t =
            db.host->openrecordset(u"select * from noteteste order by id desc"_s);
        for (int i = 0; i < valori.size(); ++i)
            db.rigaRefill(t->Field(u"id"_s).toLongLong(), 11 + i, valori.at(i), data);
    };
    scrivi(importi, giornoDiProva, u"L01"_s);
    scrivi(altri, giornoDiProva, u"L02"_s);
    scrivi(ieri, giornoPrima, u"L01"_s);

    for (const QString& sql : {SqlTesti::totaleGiorno(u"L01"_s, giornoDiProva),
                               SqlTesti::totaleGiornoSalvataggio(u"L01"_s, giornoDiProva)}) {
        const RecordsetPtr rs = db.host->openrecordset(sql);
        QCOMPARE(rs->RecordCount(), righe);
        if (righe > 0)
            QVERIFY2(rs->Field(u"SommaDiRefillGestore"_s).toDouble() == somma,
                     qPrintable(rs->Field(u"SommaDiRefillGestore"_s).toString()));
    }
}

void TstDatabaseRecordset::testo10CancellaTutteLeRighe() {
    DatabaseDiProva db;
    const qint64 id = db.testata();
    const RecordsetPtr righe = db.host->openrecordset(SqlTesti::righeContabili());
    for (int riga = 1; riga <= 2; ++riga) {
        righe->AddNew();
        righe->SetField(u"idtesta"_s, id);
        righe->SetField(u"riga"_s, qint16(riga));
        righe->Update();
    }
    // Entries of the same header written by another program, and one of another header.
    db.host->Execute(u"insert into noterighe (idtesta, riga, Descrizione) values ("_s +
                     QString::number(id) + u", 3, 'altro programma')"_s);
    db.host->Execute(u"insert into noterighe (idtesta, riga) values ("_s + QString::number(id + 1) +
                     u", 1)"_s);

    db.host->Execute(SqlTesti::cancellaRighe(QString::number(id)));
    QCOMPARE(
        db.host->openrecordset(u"select * from noterighe where idtesta="_s + QString::number(id))
            ->RecordCount(),
        0);
    QCOMPARE(db.host->openrecordset(SqlTesti::righeContabili())->RecordCount(), 1);
}

void TstDatabaseRecordset::conversioni_data() {
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valore");
    QTest::addColumn<QVariant>("letto");

    const auto riga = [](const char* nome, const char* tabella, const char* campo, QVariant valore,
                         QVariant letto) {
        QTest::newRow(nome) << QString::fromUtf8(tabella) << QString::fromUtf8(campo) << valore
                            << letto;
    };
    riga("importo testo col punto", "noteincassi", "refillgestore", u"12.50"_s, 12.5);
    riga("importo testo con la virgola", "LogOperazioni", "importo1", u"12,50"_s, 12.5);
    riga("importo testo intero con spazi", "noteincassi", "refillgestore", u" 7 "_s, 7.0);
    riga("importo negativo", "noterighe", "dare", u"-3,25"_s, -3.25);
    riga("importo da valuta", "noterighe", "avere", QVariant::fromValue(Valuta::daDecimillesimi(3)),
         0.0003);
    riga("importo da 16 bit", "noterighe", "dare", QVariant::fromValue(qint16(0)), 0.0);
    riga("importo da double arrotondato", "noteincassi", "refillgestore", 1.23456, 1.2346);
    riga("intero da testo", "noteincassi", "linkscheda", u"7"_s, qint64(7));
    riga("intero da valuta", "noteincassi", "tipoincasso",
         QVariant::fromValue(Valuta::daDecimillesimi(60000)), qint64(6));
    riga("16 bit", "noteincassi", "riga", QVariant::fromValue(qint16(2)), qint64(2));
    riga("booleano vero da -1", "noteteste", "chiuso", QVariant::fromValue(qint16(-1)), qint64(-1));
    riga("booleano vero da 1", "noteteste", "chiuso", 1, qint64(-1));
    riga("booleano falso", "noteteste", "chiuso", QVariant::fromValue(qint16(0)), qint64(0));
    riga("booleano da bool", "noteteste", "chiuso", true, qint64(-1));
    riga("data", "noteteste", "dataregistrazione", giornoDiProva, giornoDiProva);
    riga("data da testo italiano", "noteteste", "dataregistrazione", u"04/12/2026"_s,
         giornoDiProva);
    riga("momento al secondo", "noteteste", "iddata",
         QDateTime(giornoDiProva, QTime(10, 30, 15, 500)),
         QDateTime(giornoDiProva, QTime(10, 30, 15)));
    riga("ora", "LogOperazioni", "orario", QTime(9, 5, 7), QTime(9, 5, 7));
    riga("ora da momento", "LogOperazioni", "orario", QDateTime(giornoDiProva, QTime(23, 59, 58)),
         QTime(23, 59, 58));
    riga("testo", "noteincassi", "catapparecchio", u"AWP"_s, u"AWP"_s);
    riga("numero in un testo", "noteincassi", "Descrizione", qint64(5), u"5"_s);
    riga("valuta in un testo", "LogOperazioni", "notevarie",
         QVariant::fromValue(Valuta::daDecimillesimi(125000)), u"12,5"_s);
    riga("null", "noteincassi", "refillgestore", QVariant(), QVariant());
}

void TstDatabaseRecordset::conversioni() {
    QFETCH(QString, tabella);
    QFETCH(QString, campo);
    QFETCH(QVariant, valore);
    QFETCH(QVariant, letto);
    DatabaseDiProva db;
    const RecordsetPtr rs =
        db.host->openrecordset(u"select * from "_s + tabella + u" where id=-1"_s);
    rs->AddNew();
    rs->SetField(campo, valore);
    rs->Update();

    // What the same set shows, and what a new set reads from the file.
    const RecordsetPtr riletto = db.host->openrecordset(
        u"select * from "_s + tabella + u" where id="_s + rs->Field(u"id"_s).toString());
    for (const QVariant& v : {rs->Field(campo), riletto->Field(campo)}) {
        QCOMPARE(v.metaType(), letto.metaType());
        if (letto.metaType().id() == QMetaType::Double)
            QVERIFY2(v.toDouble() == letto.toDouble(),
                     qPrintable(QString::number(v.toDouble(), 'g', 17)));
        else
            QCOMPARE(v, letto);
    }
}

void TstDatabaseRecordset::valoriRifiutati_data() {
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valore");
    QTest::addColumn<int>("errore");
    const int tipo = CodiceErrore::TipoNonCorrispondente;
    QTest::newRow("abc in un importo")
        << u"noteincassi"_s << u"refillgestore"_s << QVariant(u"abc"_s) << tipo;
    QTest::newRow("testo vuoto in un importo")
        << u"noteincassi"_s << u"refillgestore"_s << QVariant(u""_s) << tipo;
    QTest::newRow("due separatori")
        << u"noteincassi"_s << u"refillgestore"_s << QVariant(u"1.2.3"_s) << tipo;
    QTest::newRow("virgola e punto")
        << u"LogOperazioni"_s << u"importo1"_s << QVariant(u"1.234,50"_s) << tipo;
    QTest::newRow("spazio in mezzo")
        << u"LogOperazioni"_s << u"importo1"_s << QVariant(u"12 50"_s) << tipo;
    QTest::newRow("data in un importo")
        << u"noterighe"_s << u"dare"_s << QVariant(giornoDiProva) << tipo;
    QTest::newRow("lettere in un intero")
        << u"noteincassi"_s << u"linkscheda"_s << QVariant(u"x7"_s) << tipo;
    QTest::newRow("16 bit superati")
        << u"noteincassi"_s << u"riga"_s << QVariant(40000) << CodiceErrore::Overflow;
    QTest::newRow("data non data")
        << u"noteteste"_s << u"dataregistrazione"_s << QVariant(u"abc"_s) << tipo;
    QTest::newRow("numero in una data")
        << u"noteteste"_s << u"dataregistrazione"_s << QVariant(5) << tipo;
    QTest::newRow("ora impossibile")
        << u"LogOperazioni"_s << u"orario"_s << QVariant(u"25:00"_s) << tipo;
    QTest::newRow("booleano a parole")
        << u"noteteste"_s << u"chiuso"_s << QVariant(u"forse"_s) << tipo;
}

void TstDatabaseRecordset::valoriRifiutati() {
    QFETCH(QString, tabella);
    QFETCH(QString, campo);
    QFETCH(QVariant, valore);
    QFETCH(int, errore);
    DatabaseDiProva db;
    const RecordsetPtr rs = db.host->openrecordset(u"select * from "_s + tabella);
    rs->AddNew();
    QCOMPARE(numeroErrore([&] { rs->SetField(campo, valore); }), errore);
    QVERIFY(rs->Field(campo).isNull());
    rs->Update();

    // On a stored row too, a refused value leaves what was there.
    const RecordsetPtr riletto = db.host->openrecordset(u"select * from "_s + tabella);
    QCOMPARE(riletto->RecordCount(), 1);
    const QVariant salvato = riletto->Field(campo);
    QCOMPARE(numeroErrore([&] { riletto->SetField(campo, valore); }), errore);
    QCOMPARE(riletto->Field(campo), salvato);
    riletto->Update();
    QCOMPARE(db.host->openrecordset(u"select * from "_s + tabella)->Field(campo), salvato);
}

void TstDatabaseRecordset::sommeEsatte_data() {
    QTest::addColumn<QStringList>("importi");
    QTest::addColumn<double>("totale");
    QTest::newRow("0,1 + 0,2") << QStringList({u"0,1"_s, u"0,2"_s}) << 0.3;
    QTest::newRow("dieci volte 0.1") << QStringList(10, u"0.1"_s) << 1.0;
    QTest::newRow("centesimi") << QStringList({u"19,99"_s, u"0,01"_s, u"33,33"_s}) << 53.33;
}

void TstDatabaseRecordset::sommeEsatte() {
    QFETCH(QStringList, importi);
    QFETCH(double, totale);
    DatabaseDiProva db;
    const qint64 id = db.testata();
    for (int i = 0; i < importi.size(); ++i)
        db.rigaRefill(id, 11 + i, importi.at(i));

    const QVariant documento =
        db.host->openrecordset(SqlTesti::totaleDocumento(QString::number(id)))
            ->Field(u"TotaleRefill"_s);
    QVERIFY2(documento.toDouble() == totale,
             qPrintable(QString::number(documento.toDouble(), 'g', 17)));
    QCOMPARE(Valuta::daVariant(documento), Valuta::daDouble(totale));
    const QVariant giorno = db.host->openrecordset(SqlTesti::totaleGiorno(u"L01"_s, giornoDiProva))
                                ->Field(u"SommaDiRefillGestore"_s);
    QVERIFY2(giorno.toDouble() == totale, qPrintable(QString::number(giorno.toDouble(), 'g', 17)));
}

void TstDatabaseRecordset::modificaInPosto() {
    DatabaseDiProva db;
    const qint64 id = db.testata();
    db.host->Execute(u"update noteteste set chiuso=True"_s);
    const RecordsetPtr rs = db.host->openrecordset(SqlTesti::testataRefill(giornoDiProva));
    QCOMPARE(rs->Field(u"chiuso"_s).toLongLong(), -1);
    rs->SetField(u"chiuso"_s, qint16(0));
    rs->SetField(u"refillnoleggiatore"_s, 15.5);
    rs->Update();
    QCOMPARE(rs->Field(u"id"_s).toLongLong(), id);
    QCOMPARE(rs->RecordCount(), 1);

    const RecordsetPtr tutte = db.host->openrecordset(SqlTesti::elencoRefill());
    QCOMPARE(tutte->RecordCount(), 1);
    QCOMPARE(tutte->Field(u"id"_s).toLongLong(), id);
    QCOMPARE(tutte->Field(u"chiuso"_s).toLongLong(), 0);
    QVERIFY(tutte->Field(u"refillnoleggiatore"_s).toDouble() == 15.5);
    QCOMPARE(tutte->Field(u"codcausale"_s).toString(), u"REF"_s);
}

void TstDatabaseRecordset::filtro() {
    DatabaseDiProva db;
    db.apparecchi();
    const RecordsetPtr rs = db.host->openrecordset(SqlTesti::tuttiApparecchi());
    rs->SetFilter(u"idscheda = 12"_s);
    QCOMPARE(rs->RecordCount(), 1);
    QCOMPARE(rs->Field(u"codiceinterno"_s).toString(), u"A2"_s);
    QCOMPARE(rs->Field(u"Idapparecchio"_s).toString(), u"AP12"_s);
    QVERIFY(rs->Field(u"nomemobile"_s).isNull());

    rs->SetFilter(u"idscheda = 99"_s);
    QVERIFY(rs->Eof());
    QVERIFY(rs->Bof());
    QCOMPARE(rs->RecordCount(), 0);

    rs->SetFilter(QString());
    QCOMPARE(rs->RecordCount(), 4);

    // A filter on a set with its own condition keeps both.
    const RecordsetPtr attivi = db.host->openrecordset(SqlTesti::apparecchiAttivi());
    attivi->SetFilter(u"idscheda = 13"_s);
    QCOMPARE(attivi->RecordCount(), 0);
    attivi->SetFilter(u"idscheda = 11"_s);
    QCOMPARE(codici(attivi), QStringList{u"A1"_s});

    // On a join the filter speaks of the columns of the result.
    db.rigaRefill(db.testata(), 11, u"3"_s);
    const RecordsetPtr giorno = db.host->openrecordset(SqlTesti::refillDelGiorno(giornoDiProva));
    giorno->SetFilter(u"IdOperatore = 'MARIO'"_s);
    QCOMPARE(giorno->RecordCount(), 1);
    QCOMPARE(giorno->FieldNames(),
             QStringList({u"DataIncasso"_s, u"Descrizione"_s, u"RefillGestore"_s, u"IdOperatore"_s,
                          u"CodCausale"_s}));
    QCOMPARE(giorno->Field(u"DataIncasso"_s), QVariant(giornoDiProva));
    giorno->SetFilter(u"IdOperatore = 'luigi'"_s);
    QCOMPARE(giorno->RecordCount(), 0);

    QCOMPARE(numeroErrore([&] { rs->SetFilter(u"nonesiste = 1"_s); }),
             CodiceErrore::ErroreDatabase);
    QCOMPARE(numeroErrore([&] { rs->SetFilter(u"1=1; delete from apparecchi"_s); }),
             CodiceErrore::ErroreDatabase);
    QCOMPARE(db.host->openrecordset(SqlTesti::tuttiApparecchi())->RecordCount(), 4);
}

void TstDatabaseRecordset::senzaScansioneDellaStoria_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("filtro");
    QTest::newRow("4 testata") << SqlTesti::testataRefill(giornoDiProva) << QString();
    QTest::newRow("5 riga") << SqlTesti::rigaApparecchio(u"1"_s, u"11"_s) << QString();
    QTest::newRow("8 totale giorno")
        << SqlTesti::totaleGiorno(u"L01"_s, giornoDiProva) << QString();
    QTest::newRow("9 totale documento") << SqlTesti::totaleDocumento(u"1"_s) << QString();
    QTest::newRow("13 refill del giorno") << SqlTesti::refillDelGiorno(giornoDiProva) << QString();
    QTest::newRow("7 filtrato") << SqlTesti::tuttiApparecchi() << u"idscheda = 12"_s;
    QTest::newRow("11 filtrato per testata") << SqlTesti::righeContabili() << u"idtesta = 5"_s;
}

// The statements of a save and of a page load look rows up through indexes: their cost
// does not grow with the years of history in the file.
void TstDatabaseRecordset::senzaScansioneDellaStoria() {
    QFETCH(QString, sql);
    QFETCH(QString, filtro);
    DatabaseDiProva db;
    const RecordsetPtr rs = db.host->openrecordset(sql);
    rs->SetFilter(filtro);
    auto* sqlite = dynamic_cast<SqliteRecordset*>(rs.get());
    QVERIFY(sqlite != nullptr);
    const QStringList passi = piano(db.file(), sqlite->testoLettura());
    QVERIFY(!passi.isEmpty());
    for (const QString& passo : passi)
        QVERIFY2(!passo.startsWith(u"SCAN "_s), qPrintable(passi.join(u" | "_s)));
}

void TstDatabaseRecordset::apertoSenzaLeggere() {
    DatabaseDiProva db;
    const RecordsetPtr righe = db.host->openrecordset(SqlTesti::righeContabili());
    // Written by another program after the set was opened: the set has not read its rows
    // yet, so it will see this one too.
    const auto altro = DatabaseHost::apri(db.file());
    altro->Execute(u"insert into noterighe (idtesta, riga) values (1, 1)"_s);

    righe->AddNew();
    righe->SetField(u"idtesta"_s, 1);
    righe->SetField(u"riga"_s, qint16(2));
    righe->Update();
    QCOMPARE(righe->Field(u"riga"_s).toLongLong(), 2);
    QCOMPARE(righe->RecordCount(), 2);
    QCOMPARE(righe->Field(u"riga"_s).toLongLong(), 2); // the added row is still the current one

    // A statement the engine refuses fails where it is opened.
    QCOMPARE(numeroErrore([&] { db.host->openrecordset(u"select * from nonesiste"_s); }),
             CodiceErrore::ErroreDatabase);
    QCOMPARE(numeroErrore([&] { db.host->openrecordset(u"select nonesiste from noterighe"_s); }),
             CodiceErrore::ErroreDatabase);
}

void TstDatabaseRecordset::soloSelectDiUnaTabellaScrive() {
    DatabaseDiProva db;
    db.rigaRefill(db.testata(), 11, u"1"_s);
    const RecordsetPtr totale =
        db.host->openrecordset(SqlTesti::totaleGiorno(u"L01"_s, giornoDiProva));
    QCOMPARE(numeroErrore([&] { totale->AddNew(); }), 3251);
    QCOMPARE(numeroErrore([&] { totale->SetField(u"SommaDiRefillGestore"_s, 1); }), 3251);
    const RecordsetPtr colonne = db.host->openrecordset(u"select id, chiuso from noteteste"_s);
    QCOMPARE(numeroErrore([&] { colonne->SetField(u"chiuso"_s, 0); }), 3251);
    QCOMPARE(numeroErrore([&] { db.host->openrecordset(SqlTesti::cancellaRighe(u"1"_s)); }),
             CodiceErrore::ErroreDatabase);
}

void TstDatabaseRecordset::sopravviveAlHost() {
    auto db = std::make_unique<DatabaseDiProva>();
    db->apparecchi();
    const RecordsetPtr rs = db->host->openrecordset(SqlTesti::apparecchiAttivi());
    db->host.reset();
    QCOMPARE(codici(rs), QStringList({u"A2"_s, u"A1"_s}));
}

void TstDatabaseRecordset::dueHostSulloStessoFile() {
    DatabaseDiProva db;
    db.apparecchi();
    const auto secondo = DatabaseHost::apri(db.file(), OpzioniHost{giornoDiProva, u"luigi"_s, {}});

    const RecordsetPtr lettura = db.host->openrecordset(SqlTesti::apparecchiAttivi());
    QCOMPARE(lettura->RecordCount(), 2);

    // The second host writes while the first one holds a set it has read.
    const RecordsetPtr testata = secondo->openrecordset(SqlTesti::testataRefill(giornoDiProva));
    testata->AddNew();
    testata->SetField(u"codcausale"_s, u"REF"_s);
    testata->SetField(u"dataregistrazione"_s, giornoDiProva);
    testata->SetField(u"idoperatore"_s, secondo->User());
    testata->Update();
    secondo->Execute(SqlTesti::cancellaRighe(testata->Field(u"id"_s).toString()));

    // Then the first one writes, and each sees what the other stored.
    const RecordsetPtr log = db.host->openrecordset(SqlTesti::logVuoto());
    log->AddNew();
    log->SetField(u"importo1"_s, u"1,00"_s);
    log->SetField(u"idoperatore"_s, db.host->User());
    log->Update();
    lettura->MoveNext();
    QCOMPARE(lettura->Field(u"codiceinterno"_s).toString(), u"A1"_s);

    const RecordsetPtr testataVista =
        db.host->openrecordset(SqlTesti::testataRefill(giornoDiProva));
    QCOMPARE(testataVista->RecordCount(), 1);
    QCOMPARE(testataVista->Field(u"idoperatore"_s).toString(), u"luigi"_s);
    const RecordsetPtr logVisto = secondo->openrecordset(u"select * from LogOperazioni"_s);
    QCOMPARE(logVisto->RecordCount(), 1);
    QCOMPARE(logVisto->Field(u"idoperatore"_s).toString(), u"mario"_s);
}

QTEST_GUILESS_MAIN(TstDatabaseRecordset)
#include "tst_database_recordset.moc"
