#include "SqlTokenizer.h"
#include "SqlTranslator.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {
const QDate giorno(2026, 12, 4);
const QString locale = QStringLiteral("L01");
const QString testa = QStringLiteral("42");
const QString scheda = QStringLiteral("7");

const QString totaleSqlite =
    QStringLiteral(" FROM NoteIncassi INNER JOIN NoteTeste ON NoteIncassi.IdTesta = NoteTeste.id"
                   " WHERE (NoteTeste.CodCausale = 'REF' AND NoteTeste.CodLocale = 'L01')"
                   " AND (noteincassi.dataincasso = '2026-12-04')"
                   " GROUP BY NoteIncassi.DataIncasso ORDER BY NoteIncassi.DataIncasso DESC");
} // namespace

class TstDatabaseTranslator : public QObject {
    Q_OBJECT

private slots:
    void testiDelModulo_data();
    void testiDelModulo();
    void postgresql_data();
    void postgresql();
    void casiDifficili_data();
    void casiDifficili();
    void rifiutati_data();
    void rifiutati();
    void nomiColonne();
    void condizioni_data();
    void condizioni();
    void filtroNelWhere_data();
    void filtroNelWhere();
    void cancellettoNelTestoRestaTesto();
};

void TstDatabaseTranslator::testiDelModulo_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("aggiornabile");

    const int sel = int(StatementKind::Select);
    QTest::newRow("1 locali") << SqlTesti::locali() << u"SELECT * FROM anagraficalocali"_s << sel
                              << u"anagraficalocali"_s;
    QTest::newRow("2 apparecchi attivi")
        << SqlTesti::apparecchiAttivi()
        << u"SELECT * FROM apparecchi WHERE attiva<>0 AND tipologiaincasso=6 ORDER BY ordineincasso"_s
        << sel << u"apparecchi"_s;
    QTest::newRow("3 conti") << SqlTesti::associazioneConti()
                             << u"SELECT * FROM TabAssociazioneConti"_s << sel
                             << u"TabAssociazioneConti"_s;
    QTest::newRow("4 testata")
        << SqlTesti::testataRefill(giorno)
        << u"SELECT * FROM noteteste WHERE codcausale='ref' AND dataregistrazione='2026-12-04'"_s
        << sel << u"noteteste"_s;
    QTest::newRow("5 riga apparecchio")
        << SqlTesti::rigaApparecchio(testa, scheda)
        << u"SELECT * FROM noteincassi WHERE idtesta=42 AND linkscheda=7"_s << sel
        << u"noteincassi"_s;
    QTest::newRow("6 log vuoto") << SqlTesti::logVuoto()
                                 << u"SELECT * FROM LogOperazioni WHERE id=-1"_s << sel
                                 << u"LogOperazioni"_s;
    QTest::newRow("7 tutti gli apparecchi")
        << SqlTesti::tuttiApparecchi() << u"SELECT * FROM apparecchi"_s << sel << u"apparecchi"_s;
    QTest::newRow("8 totale giorno")
        << SqlTesti::totaleGiorno(locale, giorno)
        << u"SELECT Sum(NoteIncassi.RefillGestore) AS SommaDiRefillGestore"_s + totaleSqlite << sel
        << QString();
    QTest::newRow("8 totale giorno al salvataggio")
        << SqlTesti::totaleGiornoSalvataggio(locale, giorno)
        << u"SELECT Sum(NoteIncassi.Refillgestore) AS SommaDiRefillgestore"_s + totaleSqlite << sel
        << QString();
    QTest::newRow("9 totale documento")
        << SqlTesti::totaleDocumento(testa)
        << u"SELECT sum(refillgestore) AS TotaleRefill FROM noteincassi WHERE idtesta=42"_s << sel
        << QString();
    QTest::newRow("10 cancella righe")
        << SqlTesti::cancellaRighe(testa) << u"DELETE FROM noterighe WHERE idtesta=42"_s
        << int(StatementKind::Delete) << QString();
    QTest::newRow("11 righe contabili")
        << SqlTesti::righeContabili() << u"SELECT * FROM noterighe"_s << sel << u"noterighe"_s;
    QTest::newRow("12 elenco")
        << SqlTesti::elencoRefill()
        << u"SELECT * FROM noteteste WHERE codcausale='Ref' ORDER BY dataregistrazione DESC"_s
        << sel << u"noteteste"_s;
    QTest::newRow("13 refill del giorno")
        << SqlTesti::refillDelGiorno(giorno)
        << u"SELECT NoteIncassi.DataIncasso, NoteIncassi.Descrizione, NoteIncassi.RefillGestore, "
           "NoteIncassi.IdOperatore, NoteTeste.CodCausale FROM NoteIncassi INNER JOIN NoteTeste "
           "ON NoteIncassi.IdTesta = NoteTeste.id WHERE (((NoteIncassi.DataIncasso) = "
           "'2026-12-04') AND ((NoteTeste.CodCausale) = 'Ref')) ORDER BY NoteIncassi.DataIncasso "
           "DESC"_s
        << sel << QString();
    QTest::newRow("14 operatori") << SqlTesti::operatori() << u"SELECT * FROM operatori"_s << sel
                                  << u"operatori"_s;
    QTest::newRow("15 viste") << SqlTesti::viste() << u"SELECT * FROM viste"_s << sel << u"viste"_s;
}

void TstDatabaseTranslator::testiDelModulo() {
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QFETCH(int, tipo);
    QFETCH(QString, aggiornabile);
    const TranslatedStatement t = SqlTranslator(MotoreSql::Sqlite).translate(testo);
    QCOMPARE(t.sql, atteso);
    QCOMPARE(int(t.kind), tipo);
    QCOMPARE(t.updatableTable, aggiornabile);
}

void TstDatabaseTranslator::postgresql_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("4 testata")
        << SqlTesti::testataRefill(giorno)
        << u"SELECT * FROM noteteste WHERE codcausale='ref' AND dataregistrazione=DATE '2026-12-04'"_s;
    QTest::newRow("8 totale giorno")
        << SqlTesti::totaleGiorno(locale, giorno)
        << u"SELECT Sum(NoteIncassi.RefillGestore) AS SommaDiRefillGestore FROM NoteIncassi INNER "
           "JOIN NoteTeste ON NoteIncassi.IdTesta = NoteTeste.id WHERE (NoteTeste.CodCausale = "
           "'REF' AND NoteTeste.CodLocale = 'L01') AND (noteincassi.dataincasso = DATE "
           "'2026-12-04') GROUP BY NoteIncassi.DataIncasso ORDER BY NoteIncassi.DataIncasso DESC"_s;
    QTest::newRow("con ora")
        << u"select * from t where iddata >= #12/04/2026 10:30:00#"_s
        << u"SELECT * FROM t WHERE iddata >= TIMESTAMP '2026-12-04 10:30:00'"_s;
    QTest::newRow("nome tra quadre")
        << u"select [Nome Scheda] from t"_s << u"SELECT \"nome scheda\" FROM t"_s;
}

void TstDatabaseTranslator::postgresql() {
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(SqlTranslator(MotoreSql::PostgreSql).translate(testo).sql, atteso);
}

void TstDatabaseTranslator::casiDifficili_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("data con ora")
        << u"select * from LogOperazioni where iddata = #12/04/2026 10:30:00#"_s
        << u"SELECT * FROM LogOperazioni WHERE iddata = '2026-12-04 10:30:00'"_s;
    QTest::newRow("ora pomeridiana") << u"select * from t where d = #12-04-2026 1:05 PM#"_s
                                     << u"SELECT * FROM t WHERE d = '2026-12-04 13:05:00'"_s;
    QTest::newRow("mezzanotte vale la data sola")
        << u"select * from t where d = #12/04/2026 00:00:00#"_s
        << u"SELECT * FROM t WHERE d = '2026-12-04'"_s;
    QTest::newRow("ora sola") << u"select * from t where orario < #10:30#"_s
                              << u"SELECT * FROM t WHERE orario < '10:30:00'"_s;
    QTest::newRow("anno a due cifre")
        << u"select * from t where d=#1/2/26#"_s << u"SELECT * FROM t WHERE d='2026-01-02'"_s;
    QTest::newRow("maiuscole e minuscole")
        << u"sElEcT * FrOm NoteTeste WhErE CodCausale = 'Ref' oRdEr By DataRegistrazione DeSc"_s
        << u"SELECT * FROM NoteTeste WHERE CodCausale = 'Ref' ORDER BY DataRegistrazione DESC"_s;
    QTest::newRow("punto e virgola finale")
        << u"select * from viste;  "_s << u"SELECT * FROM viste"_s;
    QTest::newRow("spazi e a capo")
        << u"select *\n\tfrom   viste\r\n where id = 3"_s << u"SELECT * FROM viste WHERE id = 3"_s;
    QTest::newRow("apice raddoppiato") << u"select * from t where a = 'l''uno; e #1/1/2000#'"_s
                                       << u"SELECT * FROM t WHERE a = 'l''uno; e #1/1/2000#'"_s;
    QTest::newRow("virgolette doppie come testo")
        << u"select * from t where a = \"it's\""_s << u"SELECT * FROM t WHERE a = 'it''s'"_s;
    QTest::newRow("nome tra quadre") << u"select [Nome Scheda] from [Tab Prova]"_s
                                     << u"SELECT \"Nome Scheda\" FROM \"Tab Prova\""_s;
    QTest::newRow("concatenazione")
        << u"select a & ' - ' & b as c from t"_s << u"SELECT a || ' - ' || b AS c FROM t"_s;
    QTest::newRow("True e False") << u"select * from t where chiuso = True or attiva=False"_s
                                  << u"SELECT * FROM t WHERE chiuso = -1 OR attiva=0"_s;
    // Joined without a blank, "-" and "-1" would start a comment and cut the statement.
    QTest::newRow("meno davanti a True")
        << u"select * from t where a=-True and b=1"_s << u"SELECT * FROM t WHERE a=- -1 AND b=1"_s;
    QTest::newRow("delete tabella.*") << u"DELETE noterighe.* FROM noterighe WHERE idtesta=3"_s
                                      << u"DELETE FROM noterighe WHERE idtesta=3"_s;
    QTest::newRow("having con somma resta having")
        << u"select linkscheda, sum(refillgestore) as s from noteincassi group by linkscheda "
           "having sum(refillgestore) > 10"_s
        << u"SELECT linkscheda, sum(refillgestore) AS s FROM noteincassi GROUP BY linkscheda "
           "HAVING sum(refillgestore) > 10"_s;
    QTest::newRow("having senza where")
        << u"select dataincasso, count(*) from noteincassi group by dataincasso having "
           "dataincasso = #12/04/2026#"_s
        << u"SELECT dataincasso, count(*) FROM noteincassi WHERE dataincasso = '2026-12-04' GROUP "
           "BY dataincasso"_s;
    QTest::newRow("sottoquery resta intera")
        << u"select * from t where id in (select idtesta from noteincassi where a=1) order by id"_s
        << u"SELECT * FROM t WHERE id IN (SELECT idtesta FROM noteincassi WHERE a=1) ORDER BY id"_s;
    QTest::newRow("insert")
        << u"insert into apparecchi (idscheda, Nomescheda) values (12, 'Slot')"_s
        << u"INSERT INTO apparecchi (idscheda, Nomescheda) VALUES (12, 'Slot')"_s;
    QTest::newRow("update con data")
        << u"update noteteste set chiuso=true where dataregistrazione=#12-04-2026#"_s
        << u"UPDATE noteteste SET chiuso=-1 WHERE dataregistrazione='2026-12-04'"_s;
}

void TstDatabaseTranslator::casiDifficili() {
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(SqlTranslator().translate(testo).sql, atteso);
}

void TstDatabaseTranslator::rifiutati_data() {
    QTest::addColumn<QString>("testo");
    QTest::newRow("due istruzioni") << u"select 1; delete from x"_s;
    QTest::newRow("due istruzioni dopo testo") << u"select * from t where a='x'; drop table t"_s;
    QTest::newRow("vuota") << u"   ;"_s;
    QTest::newRow("drop") << u"drop table noteteste"_s;
    QTest::newRow("pragma") << u"pragma writable_schema = 1"_s;
    QTest::newRow("testo aperto") << u"select * from t where a = 'abc"_s;
    QTest::newRow("data aperta") << u"select * from t where d = #12/04/2026"_s;
    QTest::newRow("data impossibile") << u"select * from t where d = #13/45/2026#"_s;
    QTest::newRow("data non data") << u"select * from t where d = #oggi#"_s;
    QTest::newRow("quadra aperta") << u"select [nome from t"_s;
    QTest::newRow("parentesi") << u"select * from t where (a = 1"_s;
    QTest::newRow("carattere ignoto") << u"select * from t where a = ?"_s;
    QTest::newRow("delete senza tabella") << u"delete * from"_s;
}

void TstDatabaseTranslator::rifiutati() {
    QFETCH(QString, testo);
    try {
        const TranslatedStatement t = SqlTranslator().translate(testo);
        QFAIL(qPrintable(u"accepted as: "_s + t.sql));
    } catch (const Errore& e) {
        QCOMPARE(e.numero(), CodiceErrore::ErroreDatabase);
        QVERIFY(!e.descrizione().isEmpty());
    }
}

void TstDatabaseTranslator::nomiColonne() {
    const SqlTranslator traduttore;
    QCOMPARE(traduttore.translate(SqlTesti::refillDelGiorno(giorno)).columnNames,
             QStringList({u"DataIncasso"_s, u"Descrizione"_s, u"RefillGestore"_s, u"IdOperatore"_s,
                          u"CodCausale"_s}));
    QCOMPARE(traduttore.translate(SqlTesti::totaleGiorno(locale, giorno)).columnNames,
             QStringList{u"SommaDiRefillGestore"_s});
    QCOMPARE(traduttore.translate(u"select count(*), [a b] from t"_s).columnNames,
             QStringList({QString(), u"a b"_s}));
    QVERIFY(traduttore.translate(SqlTesti::tuttiApparecchi()).columnNames.isEmpty());
    QCOMPARE(traduttore.translate(SqlTesti::refillDelGiorno(giorno)).tables,
             QStringList({u"NoteIncassi"_s, u"NoteTeste"_s}));
}

void TstDatabaseTranslator::condizioni_data() {
    QTest::addColumn<QString>("condizione");
    QTest::addColumn<QString>("attesa");
    QTest::addColumn<bool>("accettata");
    QTest::newRow("filtro del salvataggio") << u"idscheda = 12"_s << u"idscheda = 12"_s << true;
    QTest::newRow("vuota") << QString() << QString() << true;
    QTest::newRow("data") << u"DataIncasso = #12/04/2026#"_s << u"DataIncasso = '2026-12-04'"_s
                          << true;
    QTest::newRow("testo e or") << u"a='x' or b = 'y;z'"_s << u"a='x' OR b = 'y;z'"_s << true;
    QTest::newRow("seconda istruzione") << u"1=1; delete from apparecchi"_s << QString() << false;
    QTest::newRow("sottoquery") << u"id in (select id from apparecchi)"_s << QString() << false;
    QTest::newRow("parentesi") << u"(a = 1"_s << QString() << false;
}

void TstDatabaseTranslator::condizioni() {
    QFETCH(QString, condizione);
    QFETCH(QString, attesa);
    QFETCH(bool, accettata);
    try {
        QCOMPARE(SqlTranslator().translateCondition(condizione), attesa);
        QVERIFY(accettata);
    } catch (const Errore&) {
        QVERIFY(!accettata);
    }
}

void TstDatabaseTranslator::filtroNelWhere_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("senza where") << SqlTesti::tuttiApparecchi()
                                 << u"SELECT * FROM apparecchi WHERE idscheda = 12"_s;
    QTest::newRow("con where e order by")
        << SqlTesti::apparecchiAttivi()
        << u"SELECT * FROM apparecchi WHERE (attiva<>0 AND tipologiaincasso=6) AND (idscheda = "
           "12) ORDER BY ordineincasso"_s;
    QTest::newRow("join: sulle colonne del risultato")
        << u"select a.x, b.y from a inner join b on a.id = b.id"_s
        << u"SELECT * FROM (SELECT a.x, b.y FROM a INNER JOIN b ON a.id = b.id) AS filtrato WHERE "
           "idscheda = 12"_s;
}

void TstDatabaseTranslator::filtroNelWhere() {
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    const SqlTranslator traduttore;
    QCOMPARE(
        traduttore.translate(testo).withFilter(traduttore.translateCondition(u"idscheda = 12"_s)),
        atteso);
}

void TstDatabaseTranslator::cancellettoNelTestoRestaTesto() {
    const QList<SqlToken> tokens =
        SqlTokenizer::tokenize(u"select '#12/04/2026#' from t where d=#12/04/2026#"_s);
    QList<SqlTokenKind> tipi;
    for (const SqlToken& t : tokens)
        if (t.kind != SqlTokenKind::Whitespace)
            tipi.append(t.kind);
    const QList<SqlTokenKind> attesi{
        SqlTokenKind::Word, SqlTokenKind::String, SqlTokenKind::Word,     SqlTokenKind::Word,
        SqlTokenKind::Word, SqlTokenKind::Word,   SqlTokenKind::Operator, SqlTokenKind::Date};
    QCOMPARE(tipi, attesi);
    QCOMPARE(SqlTranslator().translate(u"select '#12/04/2026#' from t where d=#12/04/2026#"_s).sql,
             u"SELECT '#12/04/2026#' FROM t WHERE d='2026-12-04'"_s);
}

QTEST_APPLESS_MAIN(TstDatabaseTranslator)
#include "tst_database_translator.moc"
