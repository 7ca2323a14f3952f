// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The search-and-report component as the operator meets it: the modal list window run by
// Ricerca over in-memory recordsets, its exports and the plugin created by its name.
// PDFs are read back with pdftotext (poppler-utils, installed by the Makefile).
#include "ComponentRegistry.h"
#include "FinestraRicerca.h"
#include "ModelloRighe.h"
#include "RecordsetMemoria.h"
#include "ReportStampa.h"
#include "host/Valuta.h"
#include "search/ComponenteRicerca.h"
#include "search/DataRisposta.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

const QDate giorno1(2011, 3, 15), giorno2(2011, 3, 14), giorno3(2010, 12, 31);
// A causale as an operator may type it: the CSV and the printed page must keep it whole.
const QString causaleStrana = u"Ver; \"A&B\" <b>"_s;

// Refill headers newest first, as the module asks for them; 99 is no operator's code.
// 2.675 is 2.67499999... as a double: as an amount it is 2,675, so it shows 2,68.
std::shared_ptr<RecordsetMemoria> testate() {
    const QVariant valuta = QVariant::fromValue(Valuta::daDouble(12.5));
    return RecordsetMemoria::crea(
        {u"id"_s, u"codcausale"_s, u"DataRegistrazione"_s, u"Codlocale"_s, u"idoperatore"_s,
         u"refillnoleggiatore"_s},
        {{7, u"REF"_s, QDateTime(giorno1, QTime(0, 0)), u"SG01"_s, qint64(3), 10.0},
         {6, u"REF"_s, QDateTime(giorno2, QTime(0, 0)), u"SG02"_s, qint64(4), valuta},
         {5, causaleStrana, QDateTime(giorno3, QTime(0, 0)), u"SG01"_s, qint64(99), 2.675}});
}

// Operator codes as the host may give them: a number or its text.
RecordsetPtr operatori() {
    return RecordsetMemoria::crea(
        {u"codice"_s, u"nome"_s, u"cognome"_s},
        {{qint64(3), u"Niccolò"_s, u"Rossi"_s}, {u"4"_s, u"Anna"_s, u"Bianchi"_s}});
}

// The component as the program gets it: created by its name from its plugin.
std::shared_ptr<ComponenteRicerca> componente(RecordsetPtr righe, RecordsetPtr viste = {},
                                              const QString& utente = u"mario"_s) {
    std::shared_ptr<QObject> oggetto = ComponentRegistry::create(u"KaloviaRicerca.Ricerca"_s);
    std::shared_ptr<ComponenteRicerca> c(oggetto, qobject_cast<ComponenteRicerca*>(oggetto.get()));
    QTEST_ASSERT(c); // else the plugin is in none of the components folders
    c->setUser(utente);
    c->setModulo(u"Refill"_s);
    c->setCaption(u"Elenco Refill"_s);
    c->setRecordset(std::move(righe));
    c->setRecordsetOperatori(operatori());
    c->setRecordsetViste(std::move(viste));
    c->setCampoRicerca(u"dataregistrazione"_s);
    return c;
}

// Runs Ricerca and, once the list window shows, azione on it; then closes the window if
// still open, so a failing test never hangs on it. Says whether the window was shown.
bool ricerca(ComponenteRicerca& c, const std::function<void(QDialog&)>& azione) {
    bool vista = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (auto* f = qobject_cast<QDialog*>(QApplication::activeModalWidget()); f && !vista) {
            vista = true;
            azione(*f);
            if (f->isVisible())
                f->reject();
        }
    });
    timer.start(10);
    c.Ricerca();
    return vista;
}

const auto tabella = [](QWidget& f) { return f.findChild<QTableView*>(u"tabella"_s); };

// The list as the operator reads it: its title, headings and rows (the columns shown, or
// all of them, in their visual order), then the status bar.
QStringList mostrato(QWidget& f, bool tutte = false) {
    const QHeaderView* h = tabella(f)->horizontalHeader();
    QStringList righe{f.windowTitle()};
    for (int r = -1; r < h->model()->rowCount(); ++r) {
        QStringList celle;
        for (int i = 0; i < h->count(); ++i)
            if (tutte || !h->isSectionHidden(h->logicalIndex(i)))
                celle << (r < 0 ? h->model()->headerData(h->logicalIndex(i), Qt::Horizontal)
                                : h->model()->index(r, h->logicalIndex(i)).data())
                             .toString();
        righe << celle.join(u" | "_s);
    }
    return righe << f.findChild<QLabel*>(u"riepilogo"_s)->text();
}

void doppioClic(QTableView* t) {
    const QPoint punto = t->visualRect(t->model()->index(0, 1)).center();
    // As a mouse does it: a click, then the second one seen as a double click.
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, punto);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, punto);
}

// The pages of a PDF as pdftotext reads them (the "fi" ligature back as two letters).
QStringList pagineDelPdf(const QString& file) {
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, file, u"-"_s});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC)
        .split(u'\f', Qt::SkipEmptyParts);
}

// The day's report of n rows and its total, printed: for each page that holds some of its
// rows, whether its headings are there, and the rows.
struct PaginaTabella {
    bool intestazioni = false;
    QStringList righe;
};
QList<PaginaTabella> tabellaSuCarta(int n) {
    QTemporaryDir cartella;
    const QString pdf = cartella.filePath(u"t.pdf"_s);
    TabellaTesto t;
    t.titolo = u"Refill del giorno 04/12/2026"_s;
    t.intestazioni = {u"Apparecchio"_s, u"Mobile"_s, u"Importo (€)"_s};
    t.importi = {false, false, true};
    for (int i = 1; i <= n; ++i)
        t.righe.append({u"Apparecchio numero %1"_s.arg(i), u"M%1"_s.arg(i), u"1,00"_s});
    t.totale = {u"Totale"_s, QString(), u"%1,00"_s.arg(n)};
    ReportStampa::esportaPdf(pdf, t);
    const QRegularExpression riga(u"^ *(Apparecchio numero \\d+|Totale) +"_s);
    const QRegularExpression intestazioni(u"Apparecchio +Mobile +Importo"_s);
    QList<PaginaTabella> pagine;
    for (const QString& testo : pagineDelPdf(pdf)) {
        PaginaTabella p{testo.contains(intestazioni), {}};
        for (const QString& linea : testo.split(u'\n'))
            if (riga.match(linea.trimmed().prepend(u' ')).hasMatch())
                p.righe << linea.simplified();
        if (!p.righe.isEmpty())
            pagine << p;
    }
    return pagine;
}

// The operator types the filter and sorts by a column (if any), sees the list (headings,
// rows and status bar) and picks: the date the answer holds.
struct Scelta {
    QString filtro = {};
    int colonna = -1;
    QStringList vista = {};
    QDate data = {};
    RecordsetPtr righe = testate();
    QString campo = u"dataregistrazione"_s;
};

// Headers as the module keeps them: flags as 0 and -1, an id, a note.
std::shared_ptr<RecordsetMemoria> testateComplete() {
    return RecordsetMemoria::crea({u"id"_s, u"codcausale"_s, u"dataregistrazione"_s, u"chiuso"_s,
                                   u"import"_s, u"note"_s, u"refillnoleggiatore"_s, u"iddata"_s},
                                  {{qint64(7), u"REF"_s, giorno1, qint64(-1), qint64(0),
                                    u"Cassa vuota"_s, 10.0, QDateTime(giorno1, QTime(10, 20, 5))},
                                   {qint64(6), u"REF"_s, giorno2, qint64(0), qint64(-1), QVariant(),
                                    2.5, QDateTime(giorno2, QTime(9, 0))}});
}

} // namespace

class TestRicerca : public QObject {
    Q_OBJECT
private slots:
    void lista_data() {
        QTest::addColumn<Scelta>("s");
        // Operators by name, amounts and dates in Italian, the total of the rows shown.
        // The id is there for the program, not for the operator: hidden.
        const QString t = u"Causale | Data registrazione | Locale | Operatore | Totale refill (€)"_s;
        const QString r7 = u"REF | 15/03/2011 | SG01 | Niccolò Rossi | 10,00"_s;
        const QString r6 = u"REF | 14/03/2011 | SG02 | Anna Bianchi | 12,50"_s;
        const QString r5 = causaleStrana + u" | 31/12/2010 | SG01 | 99 | 2,68"_s;
        const QString tutte = u"Righe: 3    Totale refill: € 25,18"_s;
        const QString solo6 = u"Righe: 1 di 3    Totale refill: € 12,50"_s;
        QTest::newRow("nell'ordine dell'host") << Scelta{{}, -1, {t, r7, r6, r5, tutte}, giorno1};
        QTest::newRow("importo, non testo") << Scelta{{}, 5, {t, r5, r7, r6, tutte}, giorno3};
        QTest::newRow("nome dell'operatore") << Scelta{u" anna B"_s, -1, {t, r6, solo6}, giorno2};
        QTest::newRow("parole di colonne diverse")
            << Scelta{u"anna sg02"_s, -1, {t, u"Righe: 0 di 3    Totale refill: € 0,00"_s}};
        // The day's report: columns named with their table, CampoRicerca in lower case.
        const QDate giorno(2011, 3, 5);
        const auto report = RecordsetMemoria::crea(
            {u"NoteIncassi.DataIncasso"_s, u"NoteIncassi.RefillGestore"_s}, {{giorno, 10.0}});
        const QStringList vista{u"Data | Importo (€)"_s, u"05/03/2011 | 10,00"_s,
                                u"Righe: 1    Importo: € 10,00"_s};
        QTest::newRow("report del giorno") << Scelta{{}, -1, vista, giorno, report, u"dataincasso"_s};
        QTest::newRow("giorno senza refill")
            << Scelta{.vista = {u"Data | Importo (€)"_s, u"Righe: 0    Importo: € 0,00"_s},
                      .righe = RecordsetMemoria::crea({u"DataIncasso"_s, u"RefillGestore"_s})};
        // CampoRicerca is not among them: the pick cannot answer with a date.
        QTest::newRow("colonne sconosciute")
            << Scelta{.vista = {u"Qualcosa | Altro"_s, u"a | "_s, u"Righe: 1"_s},
                      .righe = RecordsetMemoria::crea({u"Qualcosa"_s, u"Altro"_s}, {{u"a"_s, {}}})};
        QTest::newRow("senza recordset") << Scelta{.vista = {{}, u"Righe: 0"_s}, .righe = nullptr};
    }

    void lista() {
        QFETCH(Scelta, s);
        // A views table without the columns it needs does not stand in the way.
        auto c = componente(s.righe, RecordsetMemoria::crea({u"id"_s}, {{1}}));
        c->setCampoRicerca(s.campo);
        QStringList visto;
        // The top row is picked with a double click or, right after typing the filter, with
        // Enter (to the rows) and Enter again on the highlighted one.
        ricerca(*c, [&](QDialog& f) {
            auto* campo = f.findChild<QLineEdit*>(u"filtro"_s);
            QTest::keyClicks(campo, s.filtro);
            if (s.colonna >= 0)
                tabella(f)->sortByColumn(s.colonna, Qt::AscendingOrder);
            visto = mostrato(f);
            if (s.filtro.isEmpty() || s.colonna >= 0)
                return doppioClic(tabella(f));
            QTest::keyClick(campo, Qt::Key_Return);
            QVERIFY2(f.isVisible(), "Enter in the filter picked a row");
            QTest::keyClick(tabella(f), Qt::Key_Return);
        });
        QCOMPARE(visto, QStringList{u"Elenco Refill"_s} + s.vista);
        QCOMPARE(DataRisposta::comeData(c->Risposta()).value_or(QDate()), s.data);
    }

    // Ways out of the list: closing it without a pick answers nothing (an earlier pick must
    // not linger into the next run); a set that fails while it is read reaches the caller.
    void uscite() {
        auto righe = testate();
        auto c = componente(righe);
        ricerca(*c, [](QDialog& f) { doppioClic(tabella(f)); });
        QVERIFY(DataRisposta::comeData(c->Risposta()).has_value());
        QVERIFY(ricerca(*c, [](QDialog& f) { f.findChild<QAction*>(u"azioneChiudi"_s)->trigger(); }));
        QVERIFY(!DataRisposta::comeData(c->Risposta()).has_value());
        righe->guasto = Errore(CodiceErrore::ErroreDatabase, u"Connessione persa"_s);
        try {
            ricerca(*c, [](QDialog&) { QFAIL("a list without its rows was shown"); });
            QFAIL("the failure of the set was swallowed");
        } catch (const Errore& e) {
            QCOMPARE(e.numero(), CodiceErrore::ErroreDatabase);
            QCOMPARE(e.descrizione(), u"Connessione persa"_s);
        }
    }

    void esportazioniDiCioCheSiVede() {
        // What the component hands its window, the exports tried on the window itself.
        ImpostazioniRicerca impostazioni;
        impostazioni.caption = u"Elenco Refill"_s;
        impostazioni.recordset = testate();
        impostazioni.operatori = operatori();
        FinestraRicerca f(impostazioni);
        f.findChild<QLineEdit*>(u"filtro"_s)->setText(u"sg01"_s);
        // The exports follow the rows and the columns as the operator arranged them.
        tabella(f)->sortByColumn(5, Qt::AscendingOrder);
        QHeaderView* h = tabella(f)->horizontalHeader();
        h->moveSection(h->visualIndex(5), 0);
        h->showSection(0); // the id, hidden at first, shown by the operator
        h->hideSection(3);
        QTemporaryDir cartella;
        const QString csv = cartella.filePath(u"e.csv"_s), pdf = cartella.filePath(u"e.pdf"_s);
        QVERIFY(f.esportaCsv(csv) && f.esportaPdf(pdf));
        QVERIFY(!f.esportaCsv(cartella.filePath(u"manca/e.csv"_s)));
        QVERIFY(!f.esportaPdf(cartella.filePath(u"manca/e.pdf"_s)));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // UTF-8 with its mark, so that Excel reads the accents.
        QCOMPARE(file.readAll(), u"\uFEFFTotale refill (€);N°;Causale;Data registrazione;Operatore\r\n"
                                 "2,68;5;\"Ver; \"\"A&B\"\" <b>\";31/12/2010;99\r\n"
                                 "10,00;7;REF;15/03/2011;Niccolò Rossi\r\n"_s.toUtf8());
        // The printed page has the same rows (the CSV's), the operator's causale whole, and the total.
        const QString testo = pagineDelPdf(pdf).join(u'\f');
        QVERIFY2(testo.contains(causaleStrana) && testo.contains(u"12,68"_s), qPrintable(testo));
    }

    // An operator with no view of his own: ids and the import flag stay out of sight; every
    // value reads as written, in the set's order: flags as Sì and No, never 0 and -1.
    void colonneNascosteEValori() {
        QVERIFY(ricerca(*componente(testateComplete()), [&](QDialog& f) {
            QCOMPARE(mostrato(f).at(1), u"Causale | Data registrazione | Chiuso | Note | Totale refill (€) | Ultimo salvataggio"_s);
            QCOMPARE(
                mostrato(f, true).mid(1, 3),
                (QStringList{u"N° | Causale | Data registrazione | Chiuso | Importato | Note | "
                             "Totale refill (€) | Ultimo salvataggio"_s,
                             u"7 | REF | 15/03/2011 | Sì | No | Cassa vuota | 10,00 | "
                             "15/03/2011 10:20:05"_s,
                             u"6 | REF | 14/03/2011 | No | Sì |  | 2,50 | 14/03/2011 09:00:00"_s}));
        }));
    }

    void vuoto_data() {
        QTest::addColumn<QString>("modulo");
        QTest::addColumn<QString>("sorgente");
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("riga");
        // Month first in the statement: 03-05 is the 5th of March.
        const QString giorno = u"select * from t where d = #03-05-2011#"_s;
        QTest::newRow("report del giorno")
            << u"RefillGiorno"_s << giorno << QString() << u"Nessun refill registrato il 05/03/2011"_s;
        QTest::newRow("elenco") << u"Refill"_s << giorno << QString() << u"Nessuna registrazione"_s;
        QTest::newRow("filtro senza righe")
            << u"Refill"_s << QString() << u"zzz"_s << u"Nessuna riga contiene \"zzz\""_s;
    }

    void vuoto() {
        QFETCH(QString, modulo);
        QFETCH(QString, sorgente);
        QFETCH(QString, filtro);
        QFETCH(QString, riga);
        ImpostazioniRicerca impostazioni;
        impostazioni.modulo = modulo;
        impostazioni.caption = u"Riepilogo Refill Odierni  -> Nessun refill caricato"_s;
        auto righe = filtro.isEmpty() ? RecordsetMemoria::crea({u"DataIncasso"_s, u"RefillGestore"_s})
                                      : testate();
        righe->sorgente = sorgente;
        impostazioni.recordset = righe;
        FinestraRicerca f(impostazioni);
        f.show();
        f.findChild<QLineEdit*>(u"filtro"_s)->setText(filtro);
        const QLabel* scritta = f.findChild<QLabel*>(u"statoVuoto"_s);
        QVERIFY(scritta->isVisible());
        QCOMPARE(scritta->text(), riga);
        // Printing and the exports are off while the list is empty: no box to answer.
        const char* const azioni[] = {"azioneStampa", "azioneAnteprima", "azionePdf", "azioneCsv"};
        for (const char* nome : azioni)
            QVERIFY2(!f.findChild<QAction*>(QLatin1StringView(nome))->isEnabled(), nome);
        // With rows again the line goes and they are back.
        f.findChild<QLineEdit*>(u"filtro"_s)->clear();
        QCOMPARE(scritta->isVisible(), righe->righe.size() == 0);
        for (const char* nome : azioni)
            QCOMPARE(f.findChild<QAction*>(QLatin1StringView(nome))->isEnabled(), righe->righe.size() > 0);
    }

    void listaLungaAPagine() {
        // A long history read a page at a time: opening shows one page and the whole summary.
        QList<QVariantList> righe;
        for (int i = 1; i <= 1000; ++i)
            righe.append({qint64(i), giorno3.addDays(-i), i / 100.0});
        auto lunga =
            RecordsetMemoria::crea({u"id"_s, u"dataregistrazione"_s, u"refillnoleggiatore"_s}, righe);
        lunga->aPagine = true;
        ImpostazioniRicerca impostazioni;
        impostazioni.recordset = lunga;
        impostazioni.campoRicerca = u"dataregistrazione"_s;
        FinestraRicerca f(impostazioni);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QAbstractItemModel* m = tabella(f)->model();
        QCOMPARE(m->rowCount(), ModelloRighe::righePerPagina);
        QCOMPARE(f.riepilogo(), u"Righe: 1000    Totale refill: € 5005,00"_s);
        // Scrolling to the end of what is read brings the next page in.
        tabella(f)->scrollToBottom();
        QTRY_COMPARE(m->rowCount(), 2 * ModelloRighe::righePerPagina);
        // Sorting needs every row: the largest amount is the last row of the set.
        tabella(f)->sortByColumn(2, Qt::DescendingOrder);
        QCOMPARE(m->rowCount(), 1000);
        QCOMPARE(m->index(0, 2).data().toString(), u"10,00"_s);
        f.findChild<QLineEdit*>(u"filtro"_s)->setText(u"9,99"_s);
        QCOMPARE(f.riepilogo(), u"Righe: 1 di 1000    Totale refill: € 9,99"_s);
        // The pick of a row read late answers with its own date.
        f.scegli(m->index(0, 1));
        QCOMPARE(f.risposta().toDate(), giorno3.addDays(-999));
    }

    void tabelleAPagine_data() {
        QTest::addColumn<int>("oltre"); // rows beyond those the table's first page holds
        for (const int oltre : {-2, -1, 0, 1, 2})
            QTest::addRow("%+d", oltre) << oltre;
    }

    void tabelleAPagine() {
        QFETCH(int, oltre);
        // How many rows the table's first page holds, read from a long table.
        static const qsizetype capienza = tabellaSuCarta(150).value(0).righe.size();
        const int n = static_cast<int>(capienza) + oltre;
        QVERIFY(n > 10);
        const QList<PaginaTabella> pagine = tabellaSuCarta(n);
        // Its rows and total, each once and in order, on as few pages as they need; every
        // page has the headings and at least 3 of them.
        QStringList righe;
        for (const PaginaTabella& p : pagine) {
            QVERIFY(p.intestazioni);
            QVERIFY2(p.righe.size() >= 3, qPrintable(p.righe.join(u'\n')));
            righe << p.righe;
        }
        QCOMPARE(righe.size(), n + 1);
        for (int i = 0; i <= n; ++i) {
            const QString attesa = i == n ? u"Totale "_s : u"Apparecchio numero %1 "_s.arg(i + 1);
            QVERIFY2(righe.at(i).startsWith(attesa), qPrintable(righe.at(i)));
        }
        QCOMPARE(pagine.size(), n + 1 <= capienza ? 1 : 2);
    }
};

QTEST_MAIN(TestRicerca)
#include "tst_ricerca.moc"
