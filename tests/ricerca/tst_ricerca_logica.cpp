// The list's logic without a window: value texts, headings, sort order, reading the
// recordset, operator names, totals, CSV and the printed report.
#include "ConfrontoValori.h"
#include "EsportazioneCsv.h"
#include "FiltroRighe.h"
#include "FormatoItaliano.h"
#include "ModelloRighe.h"
#include "NomiOperatori.h"
#include "RecordsetMemoria.h"
#include "ReportStampa.h"
#include "TabellaRighe.h"
#include "TabellaTesto.h"
#include "host/Errore.h"
#include "host/Valuta.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace KaloRefill;

namespace {

QStringList campiGiorno() {
    return {QStringLiteral("DataIncasso"), QStringLiteral("Descrizione"),
            QStringLiteral("RefillGestore"), QStringLiteral("IdOperatore"),
            QStringLiteral("CodCausale")};
}

QVariantList rigaGiorno(const QDate& data, const QString& descrizione, const QVariant& importo,
                        const QVariant& operatore) {
    return {data, descrizione, importo, operatore, QStringLiteral("REF")};
}

// Three refills of one day by two operators; codes as the host gives them (whole numbers).
std::shared_ptr<RecordsetMemoria> giorno() {
    const QDate d(2011, 3, 15);
    return RecordsetMemoria::crea(
        campiGiorno(), {rigaGiorno(d, QStringLiteral("C1 - Slot 1 - AAMS1"), 10.0, qint64(3)),
                        rigaGiorno(d, QStringLiteral("C2 - Slot 2 - AAMS2"), 12.5, qint64(4)),
                        rigaGiorno(d, QStringLiteral("C3 - Slot 3 - AAMS3"), 5.0, qint64(3))});
}

NomiOperatori nomiDiProva() {
    auto operatori = RecordsetMemoria::crea(
        {QStringLiteral("codice"), QStringLiteral("nome"), QStringLiteral("cognome")},
        {{qint64(3), QStringLiteral("Mario"), QStringLiteral("Rossi")},
         {QStringLiteral("4"), QStringLiteral("Anna"), QStringLiteral("Bianchi")}});
    return NomiOperatori::leggi(operatori.get());
}

QList<int> tutteLeColonne(const QAbstractItemModel& modello) {
    QList<int> colonne;
    for (int c = 0; c < modello.columnCount(); ++c)
        colonne.append(c);
    return colonne;
}

// The text of a PDF, page by page, as pdftotext reads it.
QStringList pagineDelPdf(const QString& file) {
    QProcess processo;
    processo.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!processo.waitForFinished(30000) || processo.exitCode() != 0)
        return {};
    // Compatibility form: the "fi" ligature of the fonts reads back as two letters.
    QStringList pagine = QString::fromUtf8(processo.readAllStandardOutput())
                             .normalized(QString::NormalizationForm_KC)
                             .split(QLatin1Char('\f'));
    if (!pagine.isEmpty() && pagine.last().trimmed().isEmpty())
        pagine.removeLast();
    return pagine;
}

} // namespace

class TestRicercaLogica : public QObject {
    Q_OBJECT
private slots:
    void testoDeiValori_data();
    void testoDeiValori();
    void intestazioni_data();
    void intestazioni();
    void ordine_data();
    void ordine();
    void ordineDiUnaColonnaMista();
    void letturaDelRecordset();
    void letturaDiUnRecordsetVuotoNonMuoveIlCursore();
    void colonneDegliImporti();
    void campoCercatoSenzaRiguardoAlleMaiuscole();
    void nomiDegliOperatori();
    void operatoriSenzaLeColonneDeiNomi();
    void filtro_data();
    void filtro();
    void ordinamentoNumericoNellaVista();
    void tabellaTestoSegueFiltroOrdineEColonne();
    void totaleEsattoDegliImporti();
    void csv();
    void csvSuFileConBom();
    void reportHtml();
    void pdfDiUnaPagina();
    void pdfDiPiuPagineNumerate();
    void pdfSuCartellaInesistente();
};

void TestRicercaLogica::testoDeiValori_data() {
    QTest::addColumn<QVariant>("valore");
    QTest::addColumn<bool>("importo");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("data") << QVariant(QDate(2011, 3, 5)) << false << QStringLiteral("05/03/2011");
    QTest::newRow("data come momento") << QVariant(QDateTime(QDate(2011, 3, 15), QTime(0, 0)))
                                       << false << QStringLiteral("15/03/2011");
    QTest::newRow("momento") << QVariant(QDateTime(QDate(2011, 3, 15), QTime(10, 20, 5))) << false
                             << QStringLiteral("15/03/2011 10:20:05");
    QTest::newRow("importo") << QVariant(12.5) << true << QStringLiteral("12,50");
    QTest::newRow("importo intero") << QVariant(1234.0) << true << QStringLiteral("1234,00");
    QTest::newRow("somma senza rumore") << QVariant(0.1 + 0.2) << true << QStringLiteral("0,30");
    // 2.675 is 2.67499999... as a double: read as an amount it is 2,675 and rounds up.
    QTest::newRow("mezzo centesimo") << QVariant(2.675) << true << QStringLiteral("2,68");
    QTest::newRow("negativo") << QVariant(-0.3) << true << QStringLiteral("-0,30");
    QTest::newRow("valuta") << QVariant::fromValue(Valuta::daDecimillesimi(125000)) << true
                            << QStringLiteral("12,50");
    QTest::newRow("importo in forma breve") << QVariant(12.5) << false << QStringLiteral("12,5");
    QTest::newRow("data vuota") << QVariant(QMetaType(QMetaType::QDate)) << false << QString();
    QTest::newRow("nulla") << QVariant() << true << QString();
    QTest::newRow("vero") << QVariant(true) << false << QStringLiteral("Sì");
    QTest::newRow("intero") << QVariant(qint64(42)) << false << QStringLiteral("42");
    QTest::newRow("testo") << QVariant(QStringLiteral("Slot <1>")) << false
                           << QStringLiteral("Slot <1>");
}

void TestRicercaLogica::testoDeiValori() {
    QFETCH(QVariant, valore);
    QFETCH(bool, importo);
    QFETCH(QString, atteso);
    QCOMPARE(FormatoItaliano::testo(valore, importo), atteso);
}

void TestRicercaLogica::intestazioni_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("data") << QStringLiteral("DataIncasso") << QStringLiteral("Data");
    QTest::newRow("con tabella") << QStringLiteral("NoteIncassi.RefillGestore")
                                 << QStringLiteral("Importo");
    QTest::newRow("maiuscole") << QStringLiteral("IDOPERATORE") << QStringLiteral("Operatore");
    QTest::newRow("descrizione") << QStringLiteral("Descrizione") << QStringLiteral("Apparecchio");
    QTest::newRow("causale") << QStringLiteral("codcausale") << QStringLiteral("Causale");
    QTest::newRow("sconosciuta") << QStringLiteral("CampoNuovo") << QStringLiteral("CampoNuovo");
}

void TestRicercaLogica::intestazioni() {
    QFETCH(QString, campo);
    QFETCH(QString, atteso);
    QCOMPARE(FormatoItaliano::intestazione(campo), atteso);
}

void TestRicercaLogica::ordine_data() {
    QTest::addColumn<QVariant>("a");
    QTest::addColumn<QVariant>("b");
    QTest::newRow("numeri, non testi") << QVariant(9.5) << QVariant(10.0);
    QTest::newRow("interi") << QVariant(qint64(2)) << QVariant(qint64(10));
    QTest::newRow("valuta e double")
        << QVariant::fromValue(Valuta::daDecimillesimi(95000)) << QVariant(10.0);
    QTest::newRow("date di anni diversi")
        << QVariant(QDate(2010, 12, 31)) << QVariant(QDate(2011, 1, 1));
    QTest::newRow("data e momento")
        << QVariant(QDate(2011, 1, 1)) << QVariant(QDateTime(QDate(2011, 1, 1), QTime(8, 0)));
    QTest::newRow("vuoto prima") << QVariant() << QVariant(qint64(-5));
    QTest::newRow("testo senza maiuscole")
        << QVariant(QStringLiteral("abc")) << QVariant(QStringLiteral("ABD"));
}

void TestRicercaLogica::ordine() {
    QFETCH(QVariant, a);
    QFETCH(QVariant, b);
    QVERIFY(ConfrontoValori::minore(a, b));
    QVERIFY(!ConfrontoValori::minore(b, a));
    QVERIFY(!ConfrontoValori::minore(a, a));
}

void TestRicercaLogica::ordineDiUnaColonnaMista() {
    QVariantList valori = {QStringLiteral("b"), QVariant(3.0),       QVariant(),
                           QDate(2011, 1, 2),   QStringLiteral("A"), QVariant(qint64(1)),
                           QDate(2010, 5, 1),   QVariant()};
    std::stable_sort(valori.begin(), valori.end(), ConfrontoValori::minore);
    const QVariantList atteso = {QVariant(),          QVariant(),         QVariant(qint64(1)),
                                 QVariant(3.0),       QDate(2010, 5, 1),  QDate(2011, 1, 2),
                                 QStringLiteral("A"), QStringLiteral("b")};
    QCOMPARE(valori, atteso);
}

void TestRicercaLogica::letturaDelRecordset() {
    auto righe = giorno();
    const TabellaRighe tabella = TabellaRighe::leggi(*righe);
    QCOMPARE(tabella.campi(), campiGiorno());
    QCOMPARE(tabella.numeroRighe(), 3);
    QCOMPARE(tabella.valore(0, 1).toString(), QStringLiteral("C1 - Slot 1 - AAMS1"));
    QCOMPARE(tabella.valore(2, 1).toString(), QStringLiteral("C3 - Slot 3 - AAMS3"));
    QCOMPARE(tabella.valore(1, 2).toDouble(), 12.5);
}

void TestRicercaLogica::letturaDiUnRecordsetVuotoNonMuoveIlCursore() {
    // MoveFirst on an empty set throws 3021: the list must ask before moving.
    auto vuoto = RecordsetMemoria::crea(campiGiorno());
    TabellaRighe tabella;
    try {
        tabella = TabellaRighe::leggi(*vuoto);
    } catch (const Errore& e) {
        QFAIL(qPrintable(QStringLiteral("read of an empty set failed: %1").arg(e.descrizione())));
    }
    QCOMPARE(tabella.numeroRighe(), 0);
    QCOMPARE(tabella.campi().size(), 5);

    auto senzaColonne = RecordsetMemoria::crea({});
    QCOMPARE(TabellaRighe::leggi(*senzaColonne).campi().size(), 0);
}

void TestRicercaLogica::colonneDegliImporti() {
    const TabellaRighe tabella({QStringLiteral("RefillGestore"), QStringLiteral("altro"),
                                QStringLiteral("misto"), QStringLiteral("intero")},
                               {{QVariant(), 1.5, 2.0, qint64(1)},
                                {QVariant(), QVariant(), QStringLiteral("x"), qint64(2)}});
    QVERIFY2(tabella.eImporto(0), "refillgestore is an amount even with no value in it");
    QVERIFY2(tabella.eImporto(1), "a column of doubles is an amount");
    QVERIFY2(!tabella.eImporto(2), "a column holding text is not");
    QVERIFY2(!tabella.eImporto(3), "whole numbers are counts, not amounts");
}

void TestRicercaLogica::campoCercatoSenzaRiguardoAlleMaiuscole() {
    const TabellaRighe tabella(
        {QStringLiteral("NoteIncassi.DataIncasso"), QStringLiteral("DataRegistrazione")}, {});
    QCOMPARE(tabella.colonna(QStringLiteral("dataincasso")), 0);
    QCOMPARE(tabella.colonna(QStringLiteral("dataregistrazione")), 1);
    QCOMPARE(tabella.colonna(QStringLiteral("noteincassi.DATAINCASSO")), 0);
    QCOMPARE(tabella.colonna(QStringLiteral("iddata")), -1);
}

void TestRicercaLogica::nomiDegliOperatori() {
    const NomiOperatori nomi = nomiDiProva();
    QCOMPARE(nomi.nome(qint64(3)), QStringLiteral("Mario Rossi"));
    QCOMPARE(nomi.nome(QStringLiteral("3")), QStringLiteral("Mario Rossi"));
    QCOMPARE(nomi.nome(qint64(4)), QStringLiteral("Anna Bianchi"));
    QCOMPARE(nomi.nome(qint64(99)), QString());

    ModelloRighe modello(TabellaRighe::leggi(*giorno()), nomi);
    QCOMPARE(modello.index(1, 3).data().toString(), QStringLiteral("Anna Bianchi"));
    // The code stays what the row holds: a pick answers with the stored value.
    QCOMPARE(modello.index(1, 3).data(ModelloRighe::RuoloValore), QVariant(qint64(4)));
}

void TestRicercaLogica::operatoriSenzaLeColonneDeiNomi() {
    auto operatori = RecordsetMemoria::crea({QStringLiteral("id"), QStringLiteral("login")},
                                            {{qint64(3), QStringLiteral("mrossi")}});
    QVERIFY(NomiOperatori::leggi(operatori.get()).vuoto());
    QVERIFY(NomiOperatori::leggi(nullptr).vuoto());
    ModelloRighe modello(TabellaRighe::leggi(*giorno()), NomiOperatori::leggi(operatori.get()));
    QCOMPARE(modello.index(0, 3).data().toString(), QStringLiteral("3"));
}

void TestRicercaLogica::filtro_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QStringList>("descrizioni");
    const QString s1 = QStringLiteral("C1 - Slot 1 - AAMS1");
    const QString s2 = QStringLiteral("C2 - Slot 2 - AAMS2");
    const QString s3 = QStringLiteral("C3 - Slot 3 - AAMS3");
    QTest::newRow("niente") << QString() << QStringList{s1, s2, s3};
    QTest::newRow("solo spazi") << QStringLiteral("   ") << QStringList{s1, s2, s3};
    QTest::newRow("minuscole") << QStringLiteral("slot 2") << QStringList{s2};
    QTest::newRow("nome dell'operatore") << QStringLiteral("rossi") << QStringList{s1, s3};
    QTest::newRow("importo come si vede") << QStringLiteral("12,50") << QStringList{s2};
    QTest::newRow("data come si vede") << QStringLiteral("15/03/2011") << QStringList{s1, s2, s3};
    QTest::newRow("frase intera") << QStringLiteral(" c3 - SLOT ") << QStringList{s3};
    QTest::newRow("parole di colonne diverse") << QStringLiteral("mario aams3") << QStringList{};
    QTest::newRow("nessuna") << QStringLiteral("zzz") << QStringList{};
}

void TestRicercaLogica::filtro() {
    QFETCH(QString, testo);
    QFETCH(QStringList, descrizioni);
    ModelloRighe modello(TabellaRighe::leggi(*giorno()), nomiDiProva());
    FiltroRighe filtro;
    filtro.setSourceModel(&modello);
    filtro.setTesto(testo);
    QStringList viste;
    for (int r = 0; r < filtro.rowCount(); ++r)
        viste << filtro.index(r, 1).data().toString();
    QCOMPARE(viste, descrizioni);
}

void TestRicercaLogica::ordinamentoNumericoNellaVista() {
    auto righe = RecordsetMemoria::crea(
        campiGiorno(), {rigaGiorno(QDate(2011, 3, 15), QStringLiteral("a"), 9.0, 1),
                        rigaGiorno(QDate(2011, 3, 15), QStringLiteral("b"), 100.0, 1),
                        rigaGiorno(QDate(2011, 3, 15), QStringLiteral("c"), 20.0, 1)});
    ModelloRighe modello(TabellaRighe::leggi(*righe), NomiOperatori());
    FiltroRighe filtro;
    filtro.setSourceModel(&modello);
    filtro.sort(2, Qt::AscendingOrder);
    QStringList ordine;
    for (int r = 0; r < filtro.rowCount(); ++r)
        ordine << filtro.index(r, 2).data().toString();
    QCOMPARE(ordine, (QStringList{QStringLiteral("9,00"), QStringLiteral("20,00"),
                                  QStringLiteral("100,00")}));
}

void TestRicercaLogica::tabellaTestoSegueFiltroOrdineEColonne() {
    ModelloRighe modello(TabellaRighe::leggi(*giorno()), nomiDiProva());
    FiltroRighe filtro;
    filtro.setSourceModel(&modello);
    filtro.setTesto(QStringLiteral("rossi"));
    filtro.sort(2, Qt::DescendingOrder);
    const TabellaTesto t = TabellaTesto::daModello(filtro, {2, 1, 3}, QStringLiteral("Titolo"));
    QCOMPARE(t.titolo, QStringLiteral("Titolo"));
    QCOMPARE(t.intestazioni, (QStringList{QStringLiteral("Importo"), QStringLiteral("Apparecchio"),
                                          QStringLiteral("Operatore")}));
    QCOMPARE(t.importi, (QList<bool>{true, false, false}));
    QCOMPARE(t.righe.size(), 2);
    QCOMPARE(t.righe.at(0),
             (QStringList{QStringLiteral("10,00"), QStringLiteral("C1 - Slot 1 - AAMS1"),
                          QStringLiteral("Mario Rossi")}));
    QCOMPARE(t.righe.at(1),
             (QStringList{QStringLiteral("5,00"), QStringLiteral("C3 - Slot 3 - AAMS3"),
                          QStringLiteral("Mario Rossi")}));
    // Only the rows shown are totalled; the label goes in the first column that is not an amount.
    QCOMPARE(t.totale, (QStringList{QStringLiteral("15,00"), QStringLiteral("Totale"), QString()}));
}

void TestRicercaLogica::totaleEsattoDegliImporti() {
    QList<QVariantList> righe;
    for (int i = 0; i < 10; ++i)
        righe.append(rigaGiorno(QDate(2011, 3, 15), QStringLiteral("x"), 0.1, 1));
    righe.append(rigaGiorno(QDate(2011, 3, 15), QStringLiteral("x"), QVariant(), 1));
    auto rs = RecordsetMemoria::crea(campiGiorno(), righe);
    ModelloRighe modello(TabellaRighe::leggi(*rs), NomiOperatori());
    const TabellaTesto t = TabellaTesto::daModello(modello, tutteLeColonne(modello), QString());
    // Ten times 0.1 in doubles is 0.9999999999999999; the list shows the exact sum.
    QCOMPARE(t.totale.at(2), QStringLiteral("1,00"));
    QCOMPARE(t.totale.at(0), QStringLiteral("Totale"));
}

void TestRicercaLogica::csv() {
    TabellaTesto t;
    t.intestazioni = {QStringLiteral("Data"), QStringLiteral("Apparecchio"),
                      QStringLiteral("Importo")};
    t.importi = {false, false, true};
    t.righe = {
        {QStringLiteral("15/03/2011"), QStringLiteral("Slot; \"Grande\""), QStringLiteral("12,50")},
        {QStringLiteral("15/03/2011"), QStringLiteral("Riga\nnuova"), QStringLiteral("5,00")}};
    t.totale = {QStringLiteral("Totale"), QString(), QStringLiteral("17,50")};
    QCOMPARE(EsportazioneCsv::testo(t),
             QStringLiteral("Data;Apparecchio;Importo\r\n"
                            "15/03/2011;\"Slot; \"\"Grande\"\"\";12,50\r\n"
                            "15/03/2011;\"Riga\nnuova\";5,00\r\n"));
}

void TestRicercaLogica::csvSuFileConBom() {
    QTemporaryDir cartella;
    QVERIFY(cartella.isValid());
    TabellaTesto t;
    t.intestazioni = {QStringLiteral("Operatore")};
    t.importi = {false};
    t.righe = {{QStringLiteral("Niccolò")}};
    const QString percorso = cartella.filePath(QStringLiteral("elenco.csv"));
    QVERIFY(EsportazioneCsv::scrivi(percorso, t));
    QFile file(percorso);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFOperatore\r\nNiccol\xC3\xB2\r\n"));

    QString errore;
    QVERIFY(!EsportazioneCsv::scrivi(cartella.filePath(QStringLiteral("manca/elenco.csv")), t,
                                     &errore));
    QVERIFY(!errore.isEmpty());
}

void TestRicercaLogica::reportHtml() {
    TabellaTesto t;
    t.titolo = QStringLiteral("Totale Refill del 15/03/2011 -> €  27,5");
    t.intestazioni = {QStringLiteral("Apparecchio"), QStringLiteral("Importo")};
    t.importi = {false, true};
    t.righe = {{QStringLiteral("Slot <b>&1"), QStringLiteral("12,50")}};
    t.totale = {QStringLiteral("Totale"), QStringLiteral("12,50")};
    const QString html = ReportStampa::html(t);
    QVERIFY(html.contains(QStringLiteral("<h2>Totale Refill del 15/03/2011 -&gt; €  27,5</h2>")));
    QVERIFY(html.contains(QStringLiteral("<thead>")));
    QVERIFY(html.contains(QStringLiteral("Slot &lt;b&gt;&amp;1")));
    QVERIFY(!html.contains(QStringLiteral("<b>&1")));
    QVERIFY(html.contains(QStringLiteral("<td align=\"right\">12,50</td>")));
    QVERIFY(html.contains(QStringLiteral("<td align=\"right\"><b>12,50</b></td>")));
    QVERIFY(html.contains(QStringLiteral("Righe: 1")));
    QCOMPARE(ReportStampa::piePagina(2, 7), QStringLiteral("Pagina 2 di 7"));
}

void TestRicercaLogica::pdfDiUnaPagina() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir cartella;
    ModelloRighe modello(TabellaRighe::leggi(*giorno()), nomiDiProva());
    const TabellaTesto t = TabellaTesto::daModello(modello, tutteLeColonne(modello),
                                                   QStringLiteral("Totale Refill del 15/03/2011"));
    const QString file = cartella.filePath(QStringLiteral("giorno.pdf"));
    QCOMPARE(ReportStampa::esportaPdf(file, t), 1);
    const QStringList pagine = pagineDelPdf(file);
    QCOMPARE(pagine.size(), 1);
    const QString testo = pagine.first();
    for (const QString& atteso :
         {QStringLiteral("Totale Refill del 15/03/2011"), QStringLiteral("Apparecchio"),
          QStringLiteral("C1 - Slot 1 - AAMS1"), QStringLiteral("C2 - Slot 2 - AAMS2"),
          QStringLiteral("C3 - Slot 3 - AAMS3"), QStringLiteral("Anna Bianchi"),
          QStringLiteral("12,50"), QStringLiteral("27,50"), QStringLiteral("Pagina 1 di 1")})
        QVERIFY2(testo.contains(atteso),
                 qPrintable(atteso + QStringLiteral(" missing from:\n") + testo));
}

void TestRicercaLogica::pdfDiPiuPagineNumerate() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QList<QVariantList> righe;
    for (int i = 1; i <= 150; ++i)
        righe.append(
            rigaGiorno(QDate(2011, 3, 15), QStringLiteral("Apparecchio numero %1").arg(i), 1.0, 3));
    auto rs = RecordsetMemoria::crea(campiGiorno(), righe);
    ModelloRighe modello(TabellaRighe::leggi(*rs), nomiDiProva());
    const TabellaTesto t =
        TabellaTesto::daModello(modello, tutteLeColonne(modello), QStringLiteral("Lungo"));
    QTemporaryDir cartella;
    const QString file = cartella.filePath(QStringLiteral("lungo.pdf"));
    const int pagine = ReportStampa::esportaPdf(file, t);
    QVERIFY2(pagine > 1, "150 rows do not fit on one page");
    const QStringList testi = pagineDelPdf(file);
    QCOMPARE(testi.size(), pagine);
    for (int p = 0; p < pagine; ++p) {
        const QString piede = QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(pagine);
        QVERIFY2(testi.at(p).contains(piede), qPrintable(piede));
        // The headings repeat on every page.
        QVERIFY2(testi.at(p).contains(QStringLiteral("Apparecchio ")),
                 qPrintable(testi.at(p).left(300)));
    }
    // Every row is printed once, in order; the total comes last.
    const QString tutto = testi.join(QString());
    qsizetype da = 0;
    for (int i = 1; i <= 150; ++i) {
        const QRegularExpression riga(QStringLiteral("Apparecchio numero %1\\b").arg(i));
        const QRegularExpressionMatch trovata = riga.match(tutto, da);
        QVERIFY2(trovata.hasMatch(), qPrintable(QStringLiteral("row %1").arg(i)));
        da = trovata.capturedEnd();
    }
    QVERIFY(testi.last().contains(QStringLiteral("150,00")));
}

void TestRicercaLogica::pdfSuCartellaInesistente() {
    QTemporaryDir cartella;
    TabellaTesto t;
    t.titolo = QStringLiteral("x");
    QCOMPARE(ReportStampa::esportaPdf(cartella.filePath(QStringLiteral("manca/x.pdf")), t), 0);
}

QTEST_MAIN(TestRicercaLogica)
#include "tst_ricerca_logica.moc"
