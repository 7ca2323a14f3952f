// The component as the operator meets it: the modal list window run by Ricerca, driven
// offscreen over in-memory recordsets, and the plugin created by its name.
#include "ComponentRegistry.h"
#include "FinestraRicerca.h"
#include "KaloviaRicerca.h"
#include "RecordsetMemoria.h"
#include "host/Errore.h"
#include "search/ComponenteRicerca.h"
#include "search/DataRisposta.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>

using namespace KaloRefill;

namespace {

const QDate giorno1(2011, 3, 15);
const QDate giorno2(2011, 3, 14);
const QDate giorno3(2010, 12, 31);

QStringList campiTestate() {
    return {QStringLiteral("id"),
            QStringLiteral("codcausale"),
            QStringLiteral("DataRegistrazione"),
            QStringLiteral("Codlocale"),
            QStringLiteral("idoperatore"),
            QStringLiteral("refillnoleggiatore")};
}

// Refill headers newest first, as the module asks the host for them.
std::shared_ptr<RecordsetMemoria> testate() {
    return RecordsetMemoria::crea(
        campiTestate(), {{qint64(7), QStringLiteral("REF"), QDateTime(giorno1, QTime(0, 0)),
                          QStringLiteral("SG01"), qint64(3), 10.0},
                         {qint64(6), QStringLiteral("REF"), QDateTime(giorno2, QTime(0, 0)),
                          QStringLiteral("SG02"), qint64(4), 12.5},
                         {qint64(5), QStringLiteral("REF"), QDateTime(giorno3, QTime(0, 0)),
                          QStringLiteral("SG01"), qint64(3), 5.0}});
}

std::shared_ptr<RecordsetMemoria> operatori() {
    return RecordsetMemoria::crea(
        {QStringLiteral("codice"), QStringLiteral("nome"), QStringLiteral("cognome")},
        {{qint64(3), QStringLiteral("Mario"), QStringLiteral("Rossi")},
         {qint64(4), QStringLiteral("Anna"), QStringLiteral("Bianchi")}});
}

QStringList campiViste() {
    return {QStringLiteral("id"),      QStringLiteral("modulo"),    QStringLiteral("utente"),
            QStringLiteral("colonna"), QStringLiteral("posizione"), QStringLiteral("larghezza")};
}

std::unique_ptr<KaloviaRicerca> componente(RecordsetPtr righe, RecordsetPtr viste = {},
                                           const QString& modulo = QStringLiteral("Refill"),
                                           const QString& utente = QStringLiteral("mario")) {
    auto c = std::make_unique<KaloviaRicerca>();
    c->setUser(utente);
    c->setModulo(modulo);
    c->setCaption(QStringLiteral("Elenco Refill"));
    c->setRecordset(std::move(righe));
    c->setRecordsetOperatori(operatori());
    c->setRecordsetViste(viste ? viste : RecordsetMemoria::crea(campiViste()));
    c->setCampoRicerca(QStringLiteral("dataregistrazione"));
    c->setPercorsoPers(QStringLiteral("C:\\Kalovia\\pers\\"));
    c->setPercorso(QStringLiteral("C:\\Kalovia\\"));
    c->setStatusBar(1);
    c->setToolbar(1);
    c->setFilterBar(1);
    c->setWindowsState(1);
    return c;
}

// Runs azione on the list window once Ricerca shows it; whatever azione leaves open is
// closed afterwards, so a failing test never hangs on the modal window.
class SulLaFinestra : public QObject {
public:
    explicit SulLaFinestra(std::function<void(FinestraRicerca&)> azione)
        : m_azione(std::move(azione)) {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* finestra = qobject_cast<FinestraRicerca*>(QApplication::activeModalWidget());
            if (!finestra || !finestra->isVisible()) {
                if (++m_attese > 1000)
                    m_timer.stop();
                return;
            }
            m_timer.stop();
            vista = true;
            m_azione(*finestra);
            if (finestra->isVisible())
                finestra->reject();
        });
        m_timer.start();
    }
    bool vista = false;

private:
    std::function<void(FinestraRicerca&)> m_azione;
    QTimer m_timer;
    int m_attese = 0;
};

QTableView* tabella(FinestraRicerca& f) {
    return f.findChild<QTableView*>(QStringLiteral("tabella"));
}

QStringList colonna(FinestraRicerca& f, int c) {
    QStringList testi;
    QAbstractItemModel* m = tabella(f)->model();
    for (int r = 0; r < m->rowCount(); ++r)
        testi << m->index(r, c).data().toString();
    return testi;
}

void doppioClic(QTableView* t, int riga, int col) {
    const QRect rettangolo = t->visualRect(t->model()->index(riga, col));
    // As a mouse does it: the first click, then the second one seen as a double click.
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, rettangolo.center());
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, rettangolo.center());
}

} // namespace

class TestRicercaFinestra : public QObject {
    Q_OBJECT
private slots:
    void finestraDellaLista();
    void sceltaConDoppioClicDopoOrdinamento();
    void sceltaConInvioDopoFiltro();
    void campoRicercaDelReport();
    void chiusuraSenzaScelta_data();
    void chiusuraSenzaScelta();
    void recordsetVuoto();
    void colonneSconosciuteESenzaColonne();
    void nomiDegliOperatori();
    void barraDiStatoConTotaleDelleRigheMostrate();
    void barreNascoste();
    void esportazioniDiCioCheSiVede();
    void vistaSalvataERipresa();
    void vistaAggiornataNonDuplicata();
    void vistaDiAltriUtentiNonToccata();
    void visteSenzaLeColonneNecessarie();
    void erroreDelRecordsetArrivaAlChiamante();
    void pluginCreatoPerNome();
};

void TestRicercaFinestra::finestraDellaLista() {
    auto c = componente(testate());
    QString titolo;
    bool modale = false;
    QStringList intestazioni;
    QStringList azioni;
    QStringList date;
    SulLaFinestra s([&](FinestraRicerca& f) {
        titolo = f.windowTitle();
        modale = f.isModal();
        const QHeaderView* h = tabella(f)->horizontalHeader();
        for (int i = 0; i < h->count(); ++i)
            intestazioni
                << tabella(f)->model()->headerData(h->logicalIndex(i), Qt::Horizontal).toString();
        for (QAction* a : f.findChild<QToolBar*>(QStringLiteral("barraStrumenti"))->actions())
            if (!a->isSeparator())
                azioni << a->text();
        date = colonna(f, 2);
    });
    c->Ricerca();
    QVERIFY(s.vista);
    QCOMPARE(titolo, QStringLiteral("Elenco Refill"));
    QVERIFY(modale);
    QCOMPARE(intestazioni,
             (QStringList{QStringLiteral("id"), QStringLiteral("Causale"),
                          QStringLiteral("Data registrazione"), QStringLiteral("Locale"),
                          QStringLiteral("Operatore"), QStringLiteral("Totale refill")}));
    QCOMPARE(azioni,
             (QStringList{QStringLiteral("Anteprima"), QStringLiteral("Stampa"),
                          QStringLiteral("Esporta PDF"), QStringLiteral("Esporta Excel (CSV)"),
                          QStringLiteral("Chiudi")}));
    // Newest first, as the host gave them: nothing is sorted until the operator asks.
    QCOMPARE(date, (QStringList{QStringLiteral("15/03/2011"), QStringLiteral("14/03/2011"),
                                QStringLiteral("31/12/2010")}));
}

void TestRicercaFinestra::sceltaConDoppioClicDopoOrdinamento() {
    auto c = componente(testate());
    QStringList importiOrdinati;
    SulLaFinestra s([&](FinestraRicerca& f) {
        QTableView* t = tabella(f);
        // The operator sorts by the amount, highest first, then double-clicks the top row.
        t->sortByColumn(5, Qt::DescendingOrder);
        importiOrdinati = colonna(f, 5);
        doppioClic(t, 0, 1);
    });
    c->Ricerca();
    QCOMPARE(importiOrdinati, (QStringList{QStringLiteral("12,50"), QStringLiteral("10,00"),
                                           QStringLiteral("5,00")}));
    QCOMPARE(c->Risposta().toDateTime().date(), giorno2);
    QCOMPARE(DataRisposta::comeData(c->Risposta()), std::optional<QDate>(giorno2));
    // Reading the answer changes nothing.
    QCOMPARE(c->Risposta(), c->Risposta());
}

void TestRicercaFinestra::sceltaConInvioDopoFiltro() {
    auto c = componente(testate());
    int righeFiltrate = -1;
    SulLaFinestra s([&](FinestraRicerca& f) {
        auto* filtro = f.findChild<QLineEdit*>(QStringLiteral("filtro"));
        QTest::keyClicks(filtro, QStringLiteral("bianchi"));
        righeFiltrate = tabella(f)->model()->rowCount();
        // Enter in the filter bar goes to the rows; Enter there picks.
        QTest::keyClick(filtro, Qt::Key_Return);
        QVERIFY(f.isVisible());
        QTest::keyClick(tabella(f), Qt::Key_Return);
    });
    c->Ricerca();
    QCOMPARE(righeFiltrate, 1);
    QCOMPARE(DataRisposta::comeData(c->Risposta()), std::optional<QDate>(giorno2));
}

void TestRicercaFinestra::campoRicercaDelReport() {
    // The day's report: joined columns named with their table, CampoRicerca in lower case.
    auto righe = RecordsetMemoria::crea({QStringLiteral("NoteIncassi.DataIncasso"),
                                         QStringLiteral("NoteIncassi.Descrizione"),
                                         QStringLiteral("NoteIncassi.RefillGestore")},
                                        {{QDate(2011, 3, 5), QStringLiteral("Slot 1"), 10.0},
                                         {QDate(2011, 3, 5), QStringLiteral("Slot 2"), 2.0}});
    auto c = componente(righe, {}, QStringLiteral("RefillGiorno"));
    c->setCampoRicerca(QStringLiteral("dataincasso"));
    SulLaFinestra s([&](FinestraRicerca& f) { doppioClic(tabella(f), 1, 1); });
    c->Ricerca();
    QCOMPARE(c->Risposta(), QVariant(QDate(2011, 3, 5)));
}

void TestRicercaFinestra::chiusuraSenzaScelta_data() {
    QTest::addColumn<QString>("modo");
    QTest::newRow("Esc") << QStringLiteral("esc");
    QTest::newRow("Chiudi") << QStringLiteral("chiudi");
    QTest::newRow("finestra chiusa") << QStringLiteral("close");
}

void TestRicercaFinestra::chiusuraSenzaScelta() {
    QFETCH(QString, modo);
    auto c = componente(testate());
    // An earlier pick must not linger into the next run.
    SulLaFinestra prima([&](FinestraRicerca& f) { doppioClic(tabella(f), 0, 0); });
    c->Ricerca();
    QVERIFY(DataRisposta::comeData(c->Risposta()).has_value());

    SulLaFinestra s([&](FinestraRicerca& f) {
        if (modo == QLatin1String("esc"))
            QTest::keyClick(tabella(f), Qt::Key_Escape);
        else if (modo == QLatin1String("chiudi"))
            f.findChild<QAction*>(QStringLiteral("azioneChiudi"))->trigger();
        else
            f.close();
    });
    c->Ricerca();
    QVERIFY(s.vista);
    QVERIFY(!c->Risposta().isValid());
    QVERIFY(!DataRisposta::comeData(c->Risposta()).has_value());
}

void TestRicercaFinestra::recordsetVuoto() {
    auto c = componente(RecordsetMemoria::crea(campiTestate()));
    int righe = -1;
    int colonne = -1;
    QString riepilogo;
    SulLaFinestra s([&](FinestraRicerca& f) {
        righe = tabella(f)->model()->rowCount();
        colonne = tabella(f)->model()->columnCount();
        riepilogo = f.riepilogo();
        QTest::keyClick(tabella(f), Qt::Key_Return); // nothing to pick
        QTest::keyClicks(f.findChild<QLineEdit*>(QStringLiteral("filtro")), QStringLiteral("x"));
    });
    c->Ricerca();
    QVERIFY(s.vista);
    QCOMPARE(righe, 0);
    QCOMPARE(colonne, 6);
    // With no values nothing says the headers' total is an amount.
    QCOMPARE(riepilogo, QStringLiteral("Righe: 0"));
    QVERIFY(!DataRisposta::comeData(c->Risposta()).has_value());

    // The day's report of a day without refills still shows its amount column's total.
    auto report = componente(RecordsetMemoria::crea({QStringLiteral("NoteIncassi.DataIncasso"),
                                                     QStringLiteral("NoteIncassi.RefillGestore")}),
                             {}, QStringLiteral("RefillGiorno"));
    SulLaFinestra s2([&](FinestraRicerca& f) { riepilogo = f.riepilogo(); });
    report->Ricerca();
    QCOMPARE(riepilogo, QStringLiteral("Righe: 0    Importo: 0,00"));
}

void TestRicercaFinestra::colonneSconosciuteESenzaColonne() {
    auto strane = RecordsetMemoria::crea({QStringLiteral("Qualcosa"), QStringLiteral("Altro")},
                                         {{QStringLiteral("a"), QVariant()}});
    auto c = componente(strane);
    QStringList intestazioni;
    SulLaFinestra s([&](FinestraRicerca& f) {
        for (int i = 0; i < 2; ++i)
            intestazioni << tabella(f)->model()->headerData(i, Qt::Horizontal).toString();
        doppioClic(tabella(f), 0, 0);
    });
    c->Ricerca();
    QCOMPARE(intestazioni, (QStringList{QStringLiteral("Qualcosa"), QStringLiteral("Altro")}));
    // The field asked for is not in the list: the pick cannot be a date.
    QVERIFY(!DataRisposta::comeData(c->Risposta()).has_value());

    auto nulla = componente(RecordsetMemoria::crea({}));
    SulLaFinestra s2([&](FinestraRicerca&) {});
    nulla->Ricerca();
    QVERIFY(s2.vista);

    auto senzaRecordset = componente({});
    SulLaFinestra s3([&](FinestraRicerca&) {});
    senzaRecordset->Ricerca();
    QVERIFY(s3.vista);
}

void TestRicercaFinestra::nomiDegliOperatori() {
    auto righe = testate();
    righe->AddNew();
    righe->SetField(QStringLiteral("idoperatore"), qint64(99));
    righe->SetField(QStringLiteral("DataRegistrazione"), QDate(2010, 1, 1));
    righe->Update();
    righe->MoveFirst();
    auto c = componente(righe);
    QStringList nomi;
    SulLaFinestra s([&](FinestraRicerca& f) { nomi = colonna(f, 4); });
    c->Ricerca();
    QCOMPARE(nomi, (QStringList{QStringLiteral("Mario Rossi"), QStringLiteral("Anna Bianchi"),
                                QStringLiteral("Mario Rossi"), QStringLiteral("99")}));
}

void TestRicercaFinestra::barraDiStatoConTotaleDelleRigheMostrate() {
    auto c = componente(testate());
    QString tutte;
    QString filtrate;
    QString etichetta;
    SulLaFinestra s([&](FinestraRicerca& f) {
        tutte = f.riepilogo();
        QTest::keyClicks(f.findChild<QLineEdit*>(QStringLiteral("filtro")), QStringLiteral("SG01"));
        filtrate = f.riepilogo();
        etichetta = f.findChild<QLabel*>(QStringLiteral("riepilogo"))->text();
    });
    c->Ricerca();
    QCOMPARE(tutte, QStringLiteral("Righe: 3    Totale refill: 27,50"));
    QCOMPARE(filtrate, QStringLiteral("Righe: 2 di 3    Totale refill: 15,00"));
    QCOMPARE(etichetta, filtrate);
}

void TestRicercaFinestra::barreNascoste() {
    auto c = componente(testate());
    c->setStatusBar(0);
    c->setToolbar(0);
    c->setFilterBar(0);
    bool stato = true, strumenti = true, filtro = true;
    SulLaFinestra s([&](FinestraRicerca& f) {
        stato = f.findChild<QStatusBar*>(QStringLiteral("barraStato"))->isVisible();
        strumenti = f.findChild<QToolBar*>(QStringLiteral("barraStrumenti"))->isVisible();
        filtro = f.findChild<QWidget*>(QStringLiteral("barraFiltro"))->isVisible();
    });
    c->Ricerca();
    QVERIFY(!stato);
    QVERIFY(!strumenti);
    QVERIFY(!filtro);
}

void TestRicercaFinestra::esportazioniDiCioCheSiVede() {
    QTemporaryDir cartella;
    const QString csv = cartella.filePath(QStringLiteral("elenco.csv"));
    const QString pdf = cartella.filePath(QStringLiteral("elenco.pdf"));
    auto c = componente(testate());
    bool scrittoCsv = false, scrittoPdf = false;
    SulLaFinestra s([&](FinestraRicerca& f) {
        QTest::keyClicks(f.findChild<QLineEdit*>(QStringLiteral("filtro")), QStringLiteral("sg01"));
        QHeaderView* h = tabella(f)->horizontalHeader();
        // The amount first: the exports follow the columns as the operator arranged them.
        h->moveSection(h->visualIndex(5), 0);
        h->hideSection(0);
        scrittoCsv = f.esportaCsv(csv);
        scrittoPdf = f.esportaPdf(pdf);
    });
    c->Ricerca();
    QVERIFY(scrittoCsv);
    QVERIFY(scrittoPdf);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray contenuto = file.readAll();
    QVERIFY(contenuto.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(contenuto.mid(3)),
             QStringLiteral("Totale refill;Causale;Data registrazione;Locale;Operatore\r\n"
                            "10,00;REF;15/03/2011;SG01;Mario Rossi\r\n"
                            "5,00;REF;31/12/2010;SG01;Mario Rossi\r\n"));
    QVERIFY(QFile::exists(pdf));
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed: PDF text not checked");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(30000));
    const QString testo =
        QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    QVERIFY2(testo.contains(QStringLiteral("Elenco Refill")), qPrintable(testo));
    QVERIFY2(testo.contains(QStringLiteral("31/12/2010")), qPrintable(testo));
    QVERIFY2(!testo.contains(QStringLiteral("14/03/2011")),
             "a row left out by the filter was printed");
    QVERIFY2(testo.contains(QStringLiteral("15,00")), qPrintable(testo));
    QVERIFY2(testo.contains(QStringLiteral("Pagina 1 di 1")), qPrintable(testo));
}

void TestRicercaFinestra::vistaSalvataERipresa() {
    auto viste = RecordsetMemoria::crea(campiViste());
    {
        auto c = componente(testate(), viste, QStringLiteral("RefillGiorno"));
        SulLaFinestra s([&](FinestraRicerca& f) {
            QHeaderView* h = tabella(f)->horizontalHeader();
            h->moveSection(h->visualIndex(2), 0); // the date first
            h->resizeSection(3, 171);
        });
        c->Ricerca();
    }
    QCOMPARE(viste->righe().size(), 6);
    QHash<QString, QPair<int, int>> salvate;
    for (int r = 0; r < viste->righe().size(); ++r) {
        QCOMPARE(viste->valore(r, QStringLiteral("modulo")).toString(),
                 QStringLiteral("RefillGiorno"));
        QCOMPARE(viste->valore(r, QStringLiteral("utente")).toString(), QStringLiteral("mario"));
        salvate.insert(viste->valore(r, QStringLiteral("colonna")).toString(),
                       {viste->valore(r, QStringLiteral("posizione")).toInt(),
                        viste->valore(r, QStringLiteral("larghezza")).toInt()});
    }
    QCOMPARE(salvate.value(QStringLiteral("DataRegistrazione")).first, 0);
    QCOMPARE(salvate.value(QStringLiteral("id")).first, 1);
    QCOMPARE(salvate.value(QStringLiteral("Codlocale")), qMakePair(3, 171));

    // The next time, for the same operator and list, the columns come back as left.
    auto c = componente(testate(), viste, QStringLiteral("RefillGiorno"));
    QList<int> ordine;
    int larghezza = 0;
    SulLaFinestra s([&](FinestraRicerca& f) {
        const QHeaderView* h = tabella(f)->horizontalHeader();
        for (int i = 0; i < h->count(); ++i)
            ordine << h->logicalIndex(i);
        larghezza = h->sectionSize(3);
    });
    c->Ricerca();
    QCOMPARE(ordine, (QList<int>{2, 0, 1, 3, 4, 5}));
    QCOMPARE(larghezza, 171);
}

void TestRicercaFinestra::vistaAggiornataNonDuplicata() {
    auto viste = RecordsetMemoria::crea(campiViste());
    for (int volta = 0; volta < 2; ++volta) {
        auto c = componente(testate(), viste);
        SulLaFinestra s([&](FinestraRicerca& f) {
            tabella(f)->horizontalHeader()->resizeSection(1, 90 + volta);
        });
        c->Ricerca();
    }
    QCOMPARE(viste->righe().size(), 6);
    int trovate = 0;
    for (int r = 0; r < viste->righe().size(); ++r) {
        if (viste->valore(r, QStringLiteral("colonna")).toString() == QLatin1String("codcausale")) {
            ++trovate;
            QCOMPARE(viste->valore(r, QStringLiteral("larghezza")).toInt(), 91);
        }
    }
    QCOMPARE(trovate, 1);
    // A third run that changes nothing writes nothing.
    const int aggiornamenti = viste->aggiornamenti;
    auto c = componente(testate(), viste);
    SulLaFinestra s([&](FinestraRicerca&) {});
    c->Ricerca();
    QCOMPARE(viste->aggiornamenti, aggiornamenti);
}

void TestRicercaFinestra::vistaDiAltriUtentiNonToccata() {
    auto viste = RecordsetMemoria::crea(
        campiViste(), {{qint64(1), QStringLiteral("Refill"), QStringLiteral("anna"),
                        QStringLiteral("DataRegistrazione"), 0, 150},
                       {qint64(2), QStringLiteral("RefillGiorno"), QStringLiteral("mario"),
                        QStringLiteral("DataRegistrazione"), 0, 150}});
    auto c = componente(testate(), viste, QStringLiteral("Refill"), QStringLiteral("MARIO"));
    QList<int> ordine;
    SulLaFinestra s([&](FinestraRicerca& f) {
        const QHeaderView* h = tabella(f)->horizontalHeader();
        for (int i = 0; i < h->count(); ++i)
            ordine << h->logicalIndex(i);
    });
    c->Ricerca();
    QCOMPARE(ordine, (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(viste->valore(0, QStringLiteral("larghezza")).toInt(), 150);
    QCOMPARE(viste->valore(1, QStringLiteral("larghezza")).toInt(), 150);
    QCOMPARE(viste->righe().size(), 2 + 6);
}

void TestRicercaFinestra::visteSenzaLeColonneNecessarie() {
    auto viste = RecordsetMemoria::crea({QStringLiteral("id"), QStringLiteral("nome")},
                                        {{qint64(1), QStringLiteral("x")}});
    auto c = componente(testate(), viste);
    SulLaFinestra s([&](FinestraRicerca& f) { doppioClic(tabella(f), 0, 0); });
    c->Ricerca();
    QVERIFY(s.vista);
    QCOMPARE(viste->aggiornamenti, 0);
    QCOMPARE(viste->righe().size(), 1);
    QCOMPARE(DataRisposta::comeData(c->Risposta()), std::optional<QDate>(giorno1));
}

void TestRicercaFinestra::erroreDelRecordsetArrivaAlChiamante() {
    // A set that loses its connection while the list reads it.
    class Guasto final : public Recordset {
    public:
        int RecordCount() override { return 2; }
        bool Bof() override { return false; }
        bool Eof() override { return false; }
        void MoveFirst() override {}
        void MoveNext() override { throw Errore(-2147467259, QStringLiteral("Connessione persa")); }
        void MovePrevious() override {}
        QVariant Field(const QString&) override { return 1; }
        void SetField(const QString&, const QVariant&) override {}
        void AddNew() override {}
        void Update() override {}
        void SetFilter(const QString&) override {}
        QStringList FieldNames() override { return {QStringLiteral("a")}; }
    };
    auto c = componente(std::make_shared<Guasto>());
    SulLaFinestra s([&](FinestraRicerca&) {});
    try {
        c->Ricerca();
        QFAIL("the failure of the set was swallowed");
    } catch (const Errore& e) {
        QCOMPARE(e.numero(), -2147467259);
        QCOMPARE(e.descrizione(), QStringLiteral("Connessione persa"));
    }
    QVERIFY(!s.vista);
}

void TestRicercaFinestra::pluginCreatoPerNome() {
    std::unique_ptr<QObject> primo =
        ComponentRegistry::create(QStringLiteral("KaloviaRicerca.Ricerca"));
    QVERIFY2(primo, qPrintable(ComponentRegistry::searchFolders().join(QLatin1Char(';'))));

    auto* ricerca = qobject_cast<ComponenteRicerca*>(primo.get());
    QVERIFY(ricerca);
    ricerca->setCaption(QStringLiteral("Dal plugin"));
    ricerca->setRecordset(testate());
    ricerca->setCampoRicerca(QStringLiteral("DATAREGISTRAZIONE"));
    QString titolo;
    // The plugin has its own copy of the window class: find it as a plain widget.
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        timer.stop();
        titolo = w->windowTitle();
        auto* t = w->findChild<QTableView*>(QStringLiteral("tabella"));
        if (t)
            doppioClic(t, 2, 0);
        if (w->isVisible())
            w->close();
    });
    timer.start();
    ricerca->Ricerca();
    QCOMPARE(titolo, QStringLiteral("Dal plugin"));
    QCOMPARE(DataRisposta::comeData(ricerca->Risposta()), std::optional<QDate>(giorno3));
}

QTEST_MAIN(TestRicercaFinestra)
#include "tst_ricerca_finestra.moc"
