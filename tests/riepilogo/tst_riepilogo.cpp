// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "BancoProva.h"
#include "CalcoloRiepilogo.h"
#include "FormatoItaliano.h"
#include "FinestraRiepilogo.h"
#include "MotoreProva.h"
#include "Supporto.h"
#include "PeriodoRiepilogo.h"
#include "RegolaAllarme.h"
#include "ReportRiepilogo.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QProcess>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

const QString locale = u"SG01"_s;

// One 'REF' header per date and venue, as the form keeps them, and the log row of the
// save that wrote the machine's amount, made on that day.
class Registrazioni {
public:
    explicit Registrazioni(BancoProva& banco) : m_banco(banco) {}

    void refill(int apparecchio, const QDate& data, double importo, const QString& codLocale = locale,
                const QString& causale = u"REF"_s) {
        const QString chiave = codLocale + causale + data.toString(Qt::ISODate);
        if (!m_testate.contains(chiave))
            m_testate.insert(chiave, m_banco.aggiungiTestata(data, codLocale, false, causale));
        m_banco.aggiungiRiga(m_testate.value(chiave), 1000 + apparecchio, importo, data, codLocale);
        if (causale == u"REF"_s && codLocale == locale)
            registro(apparecchio, data, QLocale().toString(importo), u"Inserimento Refill"_s);
    }

    // A later save of the same day, as the log keeps it: new amount and the one before.
    void registro(int apparecchio, const QDate& data, const QString& importo, const QString& operazione,
                  const QString& nota = {}) {
        const RecordsetPtr log = m_banco.host()->openrecordset(u"select * from LogOperazioni where id=-1"_s);
        log->AddNew();
        log->SetField(u"iddata"_s, QDateTime(data, QTime(10, 0)));
        log->SetField(u"importo1"_s, importo);
        log->SetField(u"Descrizione"_s, u"C%1 - Slot %1 - Mobile %1 - AAMS%1"_s.arg(apparecchio));
        if (!nota.isEmpty())
            log->SetField(u"notevarie"_s, nota);
        log->SetField(u"operazione"_s, operazione);
        log->Update();
    }

private:
    BancoProva& m_banco;
    QHash<QString, qint64> m_testate;
};

// The alert hall: the period ends on 30/11/2026, its last week starts on 24/11.
//  1: one refill a week for 12 weeks, then 3 in the last week -> flagged (3 > 2 x 1)
//  2: two a week (one of them on 23/11, the day before the last week), then 4 -> exactly
//     twice, not flagged
//  3: no history, then 5 -> not flagged
//  5: refills in 5 of the 12 weeks (median 0), then 2 -> fewer than 3, not flagged
//  4 and 6: no refill at all
const QDate fine(2026, 11, 30);
const QDate inizioUltima(2026, 11, 24);

std::unique_ptr<BancoProva> salaAllarmi() {
    auto banco = BancoProva::salaPronta(6, fine);
    Registrazioni r(*banco);
    for (int settimana = 1; settimana <= 12; ++settimana) {
        const QDate lunedi = inizioUltima.addDays(-7 * settimana);
        r.refill(1, lunedi, 50);
        r.refill(2, lunedi.addDays(6), 20);
        r.refill(2, lunedi.addDays(2), 20);
        if (settimana % 2 == 0 && settimana <= 10)
            r.refill(5, lunedi.addDays(1), 10);
    }
    // The last week: machine 1 three times, 2 four times, 3 five times, one a day.
    for (const auto& [macchina, volte, importo] : {std::tuple{1, 3, 100.0}, {2, 4, 30.0}, {3, 5, 40.0}})
        for (int giorno = 0; giorno < volte; ++giorno)
            r.refill(macchina, inizioUltima.addDays(giorno), importo);
    r.refill(5, inizioUltima, 10);
    r.refill(5, inizioUltima.addDays(3), 10);
    return banco;
}

// Three machines, a month with known amounts: for the exports. Rows of another venue and
// of another kind of document, on the same machines and days, must not count.
std::unique_ptr<BancoProva> salaPiccola() {
    auto banco = BancoProva::salaPronta(3, fine);
    Registrazioni r(*banco);
    r.refill(1, QDate(2026, 11, 2), 10);
    r.refill(1, QDate(2026, 11, 3), 5.5);
    r.refill(3, QDate(2026, 11, 3), 20);
    r.refill(2, QDate(2026, 11, 3), 0); // saved as 0,00: a correction, not a refill
    r.refill(1, QDate(2026, 11, 3), 999, u"SG02"_s);
    r.refill(3, QDate(2026, 11, 2), 888, locale, u"INC"_s);
    return banco;
}

const RiepilogoApparecchio* apparecchio(const Riepilogo& r, const QString& codice) {
    for (const auto& a : r.apparecchi)
        if (a.codice == codice)
            return &a;
    return nullptr;
}

} // namespace

class TestRiepilogo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        // Runs on the engine the test run chose; see MotoreProva.
        KALOREFILL_MOTORE_PRONTO();
    }

    void regola_data() {
        QTest::addColumn<int>("ultima");
        QTest::addColumn<QList<int>>("storico");
        QTest::addColumn<int>("soglia");
        QTest::addColumn<bool>("allarme");
        // The halls below decide the plain cases (twice, fewer than 3, no history).
        const QList<int> unoEMezzo = QList<int>(6, 1) + QList<int>(6, 2);
        const QList<int> rari = QList<int>(7, 0) + QList<int>(5, 1);
        QTest::newRow("mediana di mezzo: esattamente il doppio") << 3 << unoEMezzo << 2 << false;
        QTest::newRow("mediana di mezzo: oltre") << 4 << unoEMezzo << 2 << true;
        QTest::newRow("3 contro mediana zero") << 3 << rari << 2 << true;
        QTest::newRow("soglia tre: esattamente il triplo") << 6 << QList<int>(12, 2) << 3 << false;
    }

    void regola() {
        QFETCH(int, ultima);
        QFETCH(QList<int>, storico);
        QFETCH(int, soglia);
        const RegolaAllarme::Esito esito = RegolaAllarme::valuta(ultima, storico, soglia);
        QTEST(esito.allarme, "allarme");
        QCOMPARE(esito.motivo.isEmpty(), !esito.allarme);
    }

    // The period and its totals, the machines (machine 2 saved at 0,00: in the money, not a
    // refill) and the days, each table with its totals. (The file it goes into is written as
    // the list's CSV, whose bytes tst_ricerca checks.)
    void csvDelPeriodo() {
        auto banco = salaPiccola();
        const Riepilogo r = CalcoloRiepilogo(*banco->host()).calcola(QDate(2026, 11, 1), fine, 2);
        QCOMPARE(ReportRiepilogo::csv(r), u"Riepilogo Refill dal 01/11/2026 al 30/11/2026 - Locale SG01\r\n"
                                          "\"Totale del periodo: € 35,50 in 3 refill su 3 apparecchi; "
                                          "nessun apparecchio segnalato.\"\r\n\r\n"
                                          "Refill per apparecchio\r\n"
                                          "Codice;Nome;Codice AAMS;Categoria;N. "
                                          "refill;Totale;Media;Massimo;Ultimo refill;Allarme\r\n"
                                          "C1;Slot 1;AAMS1;AWP;2;15,50;7,75;10,00;03/11/2026;\r\n"
                                          "C2;Slot 2;AAMS2;AWP;0;0,00;0,00;0,00;;\r\n"
                                          "C3;Slot 3;AAMS3;AWP;1;20,00;20,00;20,00;03/11/2026;\r\n"
                                          "Totale;;;;3;35,50;11,83;20,00;03/11/2026;\r\n\r\n"
                                          "Refill per giorno\r\n"
                                          "Data;N. refill;Totale\r\n"
                                          "02/11/2026;1;10,00\r\n"
                                          "03/11/2026;2;25,50\r\n"
                                          "Totale;3;35,50\r\n"_s);
    }

    // Opens on the month of the working date, with the threshold of 2 times the median: a
    // stored 0 is no threshold.
    void finestra() {
        auto banco = salaAllarmi();
        banco->host()->salvasettaggio(u"Refill"_s, u"SogliaFrequenza"_s, 0);
        FinestraRiepilogo finestra(banco->host());
        finestra.show();
        auto* tabella = finestra.findChild<QTableView*>(u"TabApparecchi"_s);
        QAbstractItemModel* modello = tabella->model();
        // The machines and, under them, the totals.
        QCOMPARE(modello->rowCount(), finestra.riepilogo().apparecchi.size() + 1);

        // Sorting by total puts the largest on top, by amount, not by text.
        tabella->sortByColumn(5, Qt::DescendingOrder);
        QCOMPARE(modello->index(0, 0).data().toString(), u"C1"_s);
        QCOMPARE(modello->index(0, 5).data().toString(), u"450,00"_s);
        QVERIFY(modello->index(0, 1).data(Qt::ToolTipRole).toString().contains(u"mediana di 1"_s));
        QCOMPARE(modello->index(0, 9).data().toString(), u"! Sì"_s);
        const int ultima = modello->rowCount() - 1;
        QCOMPARE(modello->index(ultima, 0).data().toString(), u"Totale"_s);
        QCOMPARE(modello->index(ultima, 5).data().toString(),
                 FormatoItaliano::importo(finestra.riepilogo().totale()));
        // Why, without a pointer over it.
        const QLabel* allarmi = finestra.findChild<QLabel*>(u"LabAllarmi"_s);
        QVERIFY(allarmi->isVisible());
        QVERIFY2(allarmi->text().startsWith(u"! C1 - Slot 1: 3 refill negli ultimi 7 giorni"_s),
                 qPrintable(allarmi->text()));
        // Only machine 1; machine 5 passes twice its median of 0, but with fewer than 3.
        const auto& elenco = finestra.riepilogo().apparecchi;
        QCOMPARE(std::count_if(elenco.begin(), elenco.end(), [](const auto& a) { return a.allarme; }), 1);

        // The printed summary: the period, its totals, both tables and why machine 1 is flagged.
        QTemporaryDir cartella;
        QVERIFY(finestra.salvaPdf(cartella.filePath(u"r.pdf"_s)));
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {cartella.filePath(u"r.pdf"_s), u"-"_s});
        QVERIFY(pdftotext.waitForFinished(30000));
        // The typeface joins "fi" into one glyph; compatibility normalisation splits it.
        const QString testo =
            QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC).simplified();
        for (const QString& atteso :
             {u"Riepilogo Refill dal 01/11/2026 al 30/11/2026 - Locale SG01"_s,
              u"Totale del periodo: € 940,00 in 25 refill su 4 apparecchi"_s, u"AAMS2"_s,
              u"C1 - Slot 1: 3 refill negli ultimi 7 giorni"_s, u"24/11/2026"_s, u"Pagina 1 di"_s})
            QVERIFY2(testo.contains(atteso), qPrintable(atteso + u"\n---\n"_s + testo));

        // Opening, sorting and exporting store nothing.
        QCOMPARE(banco->host()->leggisettaggio(u"Refill"_s, u"SogliaFrequenza"_s, -1), 0);
        finestra.findChild<QSpinBox*>(u"TxtSoglia"_s)->setValue(3);
        QCOMPARE(banco->host()->leggisettaggio(u"Refill"_s, u"SogliaFrequenza"_s, -1), 3);
        QCOMPARE(FinestraRiepilogo(banco->host()).findChild<QSpinBox*>(u"TxtSoglia"_s)->value(), 3);
        QVERIFY(!apparecchio(finestra.riepilogo(), u"C1"_s)->allarme);

        // A period without refills says so, with no box, and its exports hold no table.
        finestra.impostaPeriodo(QDate(2025, 1, 1), QDate(2025, 1, 31));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(modello->rowCount(), 0);
        QCOMPARE(finestra.findChild<QTableView*>(u"TabGiorni"_s)->model()->rowCount(), 0);
        QCOMPARE(finestra.findChild<QLabel*>(u"LabSintesi"_s)->text(),
                 u"Nessun refill nel periodo dal 01/01/2025 al 31/01/2025."_s);
        QVERIFY(finestra.salvaPdf(cartella.filePath(u"vuoto.pdf"_s)));
    }

    // Saves through the real form, as its log and day document keep them: a machine saved
    // four times in a day, each raising its amount, counts four refills; a decrease, even
    // below zero, counts in the money and not as a refill; the total is the day document's.
    void refillDalForm() {
        // Today: the log keeps the moment of each save.
        const QDate oggi = QDate::currentDate();
        auto banco = BancoProva::salaPronta(3, oggi);
        const auto form = apriForm(banco->host());
        form->impostaValoreConferma(0);
        for (const QString& importo : {u"50"_s, u"5"_s, u"5"_s, u"5"_s})
            salvaRefill(*form, 0, importo);
        salvaRefill(*form, 1, u"80"_s);
        salvaRefill(*form, 1, u"=-30"_s);
        salvaRefill(*form, 2, u"=-20"_s);
        const Riepilogo r = CalcoloRiepilogo(*banco->host()).calcola(oggi, oggi, 2);
        StatoModulo::istanza().applicazione.reset();
        const auto c1 = apparecchio(r, u"C1"_s), c2 = apparecchio(r, u"C2"_s), c3 = apparecchio(r, u"C3"_s);
        QVERIFY(c1 && c2 && c3);
        QCOMPARE((QList<int>{c1->numero, c2->numero, c3->numero}), (QList<int>{4, 1, 0}));
        QCOMPARE((QStringList{c1->totale.testo(), c2->totale.testo(), c3->totale.testo(), r.totale().testo()}),
                 (QStringList{u"65"_s, u"50"_s, u"-20"_s, u"95"_s}));
        QCOMPARE(r.totale(), Valuta::daVariant(banco->righe(u"select refillnoleggiatore from noteteste"_s).at(0).first()));
    }

    // The alert counts refills, not days: one machine refilled once a week for twelve
    // weeks, then four times on one day of the last week.
    void allarmeContaIRefill() {
        auto banco = BancoProva::salaPronta(4, fine);
        Registrazioni r(*banco);
        for (int settimana = 1; settimana <= 12; ++settimana)
            r.refill(1, inizioUltima.addDays(-7 * settimana), 50);
        r.refill(1, inizioUltima.addDays(2), 50);
        r.registro(1, inizioUltima.addDays(2), u"80"_s, u"Modifica Refill"_s, u"Valore precedente =50"_s);
        r.registro(1, inizioUltima.addDays(2), u"120,5"_s, u"Modifica Refill"_s, u"Valore precedente =80"_s);
        // A correction down and a save of the same amount are not refills.
        r.registro(1, inizioUltima.addDays(2), u"100"_s, u"Modifica Refill"_s, u"Valore precedente =120,5"_s);
        r.registro(1, inizioUltima.addDays(2), u"100"_s, u"Modifica Refill"_s, u"Valore precedente =100"_s);
        r.registro(1, inizioUltima.addDays(2), u"130"_s, u"Modifica Refill"_s, u"Valore precedente =100"_s);
        // Machine 2: one refill on the Monday that starts each of the 7 oldest weeks, which
        // belongs to that week (median 1), then 3 in the last week: exactly three times it.
        for (int settimana = 6; settimana <= 12; ++settimana)
            r.refill(2, inizioUltima.addDays(-7 * settimana), 50);
        for (int giorno = 0; giorno < 3; ++giorno)
            r.refill(2, inizioUltima.addDays(giorno), 50);
        // Days whose log begins with a change (the first save logged before, or by an older
        // program): the amount before is the one the note quotes, so only a rise is a refill.
        r.registro(3, fine, u"60"_s, u"Modifica Refill"_s, u"Valore precedente =50"_s);
        r.registro(4, fine, u"100"_s, u"Modifica Refill"_s, u"Valore precedente =120,5"_s);
        const Riepilogo riepilogo = CalcoloRiepilogo(*banco->host()).calcola(inizioUltima, fine, 3);
        const RiepilogoApparecchio* a = apparecchio(riepilogo, u"C1"_s);
        const RiepilogoApparecchio* bordo = apparecchio(riepilogo, u"C2"_s);
        const RiepilogoApparecchio* aumento = apparecchio(riepilogo, u"C3"_s);
        QVERIFY(a && bordo && aumento);
        QCOMPARE(a->numero, 4);
        QVERIFY(a->allarme);
        QVERIFY2(a->motivo.startsWith(u"4 refill negli ultimi 7 giorni contro una mediana di 1"_s),
                 qPrintable(a->motivo));
        QCOMPARE(bordo->numero, 3);
        QVERIFY2(!bordo->allarme, qPrintable(bordo->motivo));
        QCOMPARE(aumento->numero, 1);
        const RiepilogoApparecchio* calo = apparecchio(riepilogo, u"C4"_s);
        QCOMPARE(calo ? calo->numero : 0, 0);
    }

    // A day, then what this week, this month and last month start and end on.
    void periodiRapidi_data() {
        QTest::addColumn<QString>("date");
        QTest::newRow("lunedì") << u"2026-11-30 2026-11-30 2026-11-01 2026-10-01 2026-10-31"_s;
        QTest::newRow("gennaio, domenica") << u"2027-01-03 2026-12-28 2027-01-01 2026-12-01 2026-12-31"_s;
    }

    // This week and this month end today.
    void periodiRapidi() {
        QFETCH(QString, date);
        const QDate oggi = QDate::fromString(date.left(10), Qt::ISODate);
        const auto settimana = PeriodoRiepilogo::questaSettimana(oggi), mese = PeriodoRiepilogo::questoMese(oggi),
                   scorso = PeriodoRiepilogo::meseScorso(oggi);
        QStringList viste;
        for (const QDate d : {oggi, settimana.dal, mese.dal, scorso.dal, scorso.al})
            viste << d.toString(Qt::ISODate);
        QCOMPARE(viste.join(u' '), date);
        QCOMPARE((QList<QDate>{settimana.al, mese.al}), (QList<QDate>{oggi, oggi}));
    }
};

QTEST_MAIN(TestRiepilogo)
#include "tst_riepilogo.moc"
