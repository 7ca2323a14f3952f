#include "BancoProva.h"
#include "CalcoloRiepilogo.h"
#include "FinestraRiepilogo.h"
#include "GraficoRiepilogo.h"
#include "PeriodoRiepilogo.h"
#include "RegolaAllarme.h"
#include "ReportRiepilogo.h"
#include "SogliaFrequenza.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QHash>
#include <QHelpEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using namespace KaloRefill;

namespace {

const QString locale = QStringLiteral("SG01");

// One 'REF' header per date and venue, as the form keeps them.
class Registrazioni {
public:
    explicit Registrazioni(BancoProva& banco) : m_banco(banco) {}

    void refill(int apparecchio, const QDate& data, double importo,
                const QString& codLocale = locale, const QString& causale = QStringLiteral("REF")) {
        const QString chiave = codLocale + causale + data.toString(Qt::ISODate);
        if (!m_testate.contains(chiave))
            m_testate.insert(chiave, m_banco.aggiungiTestata(data, codLocale, false, causale));
        m_banco.aggiungiRiga(m_testate.value(chiave), 1000 + apparecchio, importo, data, codLocale);
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
    for (int giorno = 0; giorno < 3; ++giorno)
        r.refill(1, inizioUltima.addDays(giorno), 100);
    for (int giorno = 0; giorno < 4; ++giorno)
        r.refill(2, inizioUltima.addDays(giorno), 30);
    for (int giorno = 0; giorno < 5; ++giorno)
        r.refill(3, inizioUltima.addDays(giorno), 40);
    r.refill(5, inizioUltima, 10);
    r.refill(5, inizioUltima.addDays(3), 10);
    return banco;
}

// Three machines, a month with known amounts: for the exports.
std::unique_ptr<BancoProva> salaPiccola() {
    auto banco = BancoProva::salaPronta(3, fine);
    Registrazioni r(*banco);
    r.refill(1, QDate(2026, 11, 2), 10);
    r.refill(1, QDate(2026, 11, 3), 5.5);
    r.refill(3, QDate(2026, 11, 3), 20);
    r.refill(2, QDate(2026, 11, 3), 0); // saved as 0,00: a correction, not a refill
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
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    // Random refills over four months, with rows that must not count (another venue,
    // another kind of document, amounts of zero), against the engine's own SQL.
    void sommeControSqlDiretto() {
        auto banco = BancoProva::salaPronta(12, fine);
        Registrazioni r(*banco);
        QRandomGenerator caso(14);
        const double importi[] = {0, 5, 10, 12.5, 20, 50, 100.25, 7.35};
        for (QDate d(2026, 8, 1); d <= fine; d = d.addDays(1))
            for (int m = 1; m <= 12; ++m)
                if (caso.bounded(10) < 3)
                    r.refill(m, d, importi[caso.bounded(8)]);
        r.refill(1, QDate(2026, 10, 5), 999, QStringLiteral("SG02"));
        r.refill(2, QDate(2026, 10, 6), 888, locale, QStringLiteral("INC"));

        const QDate dal(2026, 10, 1);
        const QDate al(2026, 11, 15);
        const Riepilogo riepilogo = CalcoloRiepilogo(*banco->host()).calcola(dal, al, 2);

        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("diretta"));
        db.setDatabaseName(banco->percorsoFile());
        QVERIFY(db.open());
        const QString dove = QStringLiteral(
            " FROM noteincassi i JOIN noteteste t ON i.idtesta = t.id WHERE upper(t.codcausale) = "
            "'REF'"
            " AND t.codlocale = 'SG01' AND i.dataincasso BETWEEN '2026-10-01' AND '2026-11-15'"
            " AND i.refillgestore > 0");
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT i.linkscheda, count(*), sum(i.refillgestore), "
                                          "max(i.refillgestore), max(i.dataincasso)") +
                           dove + QStringLiteral(" GROUP BY i.linkscheda ORDER BY i.linkscheda")));
            int righe = 0;
            while (q.next()) {
                ++righe;
                const RiepilogoApparecchio* a =
                    apparecchio(riepilogo, QStringLiteral("C%1").arg(q.value(0).toInt() - 1000));
                QVERIFY2(a, qPrintable(q.value(0).toString()));
                QCOMPARE(a->numero, q.value(1).toInt());
                QCOMPARE(a->totale, Valuta::daDouble(q.value(2).toDouble()));
                QCOMPARE(a->massimo, Valuta::daDouble(q.value(3).toDouble()));
                QCOMPARE(a->ultimo, QDate::fromString(q.value(4).toString(), Qt::ISODate));
            }
            QCOMPARE(riepilogo.apparecchi.size(), righe);
            QVERIFY(righe >= 10);
        }
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT i.dataincasso, count(*), sum(i.refillgestore)") +
                           dove +
                           QStringLiteral(" GROUP BY i.dataincasso ORDER BY i.dataincasso")));
            qsizetype i = 0;
            while (q.next()) {
                QVERIFY(i < riepilogo.giorni.size());
                const RiepilogoGiorno& g = riepilogo.giorni.at(i++);
                QCOMPARE(g.data, QDate::fromString(q.value(0).toString(), Qt::ISODate));
                QCOMPARE(g.numero, q.value(1).toInt());
                QCOMPARE(g.totale, Valuta::daDouble(q.value(2).toDouble()));
            }
            QCOMPARE(riepilogo.giorni.size(), i);
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("diretta"));
        // The machines come in the hall's order.
        for (qsizetype i = 1; i < riepilogo.apparecchi.size(); ++i)
            QVERIFY(riepilogo.apparecchi.at(i - 1).idScheda < riepilogo.apparecchi.at(i).idScheda);
    }

    void regola_data() {
        QTest::addColumn<int>("ultima");
        QTest::addColumn<QList<int>>("storico");
        QTest::addColumn<int>("soglia");
        QTest::addColumn<bool>("allarme");
        const QList<int> uno(12, 1);
        const QList<int> due(12, 2);
        QList<int> unoEMezzo(6, 1);
        unoEMezzo += QList<int>(6, 2);
        QList<int> rari(7, 0);
        rari += QList<int>(5, 1);
        QTest::newRow("più del doppio") << 3 << uno << 2 << true;
        QTest::newRow("esattamente il doppio") << 4 << due << 2 << false;
        QTest::newRow("appena oltre il doppio") << 5 << due << 2 << true;
        QTest::newRow("mediana di mezzo: esattamente il doppio") << 3 << unoEMezzo << 2 << false;
        QTest::newRow("mediana di mezzo: oltre") << 4 << unoEMezzo << 2 << true;
        QTest::newRow("meno di 3, pur oltre il doppio") << 2 << rari << 2 << false;
        QTest::newRow("3 contro mediana zero") << 3 << rari << 2 << true;
        QTest::newRow("nessuno storico") << 7 << QList<int>(12, 0) << 2 << false;
        QTest::newRow("soglia tre: esattamente il triplo") << 6 << due << 3 << false;
        QTest::newRow("soglia tre: oltre") << 7 << due << 3 << true;
    }

    void regola() {
        QFETCH(int, ultima);
        QFETCH(QList<int>, storico);
        QFETCH(int, soglia);
        const RegolaAllarme::Esito esito = RegolaAllarme::valuta(ultima, storico, soglia);
        QTEST(esito.allarme, "allarme");
        QCOMPARE(esito.motivo.isEmpty(), !esito.allarme);
    }

    void allarmiSulDatabase() {
        auto banco = salaAllarmi();
        const Riepilogo r = CalcoloRiepilogo(*banco->host()).calcola(QDate(2026, 11, 1), fine, 2);
        QStringList segnalati;
        for (const auto& a : r.apparecchi)
            if (a.allarme)
                segnalati << a.codice;
        QCOMPARE(segnalati, QStringList{QStringLiteral("C1")});
        const RiepilogoApparecchio* uno = apparecchio(r, QStringLiteral("C1"));
        QVERIFY(uno->motivo.startsWith(
            QStringLiteral("3 refill negli ultimi 7 giorni contro una mediana di 1")));
        // Machine 5: twice a median of 0 is passed, but 2 refills are fewer than 3.
        QVERIFY(!apparecchio(r, QStringLiteral("C5"))->allarme);
        // A higher threshold stored by the manager clears machine 1.
        const Riepilogo alta =
            CalcoloRiepilogo(*banco->host()).calcola(QDate(2026, 11, 1), fine, 3);
        QVERIFY(!apparecchio(alta, QStringLiteral("C1"))->allarme);
    }

    void soglia() {
        auto banco = BancoProva::salaPronta(1);
        QCOMPARE(SogliaFrequenza::leggi(*banco->host()), 2);
        SogliaFrequenza::salva(*banco->host(), 4);
        QCOMPARE(banco->host()->leggisettaggio(QStringLiteral("Refill"),
                                               QStringLiteral("SogliaFrequenza"), 0),
                 4);
        QCOMPARE(SogliaFrequenza::leggi(*banco->host()), 4);
        banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("SogliaFrequenza"),
                                      0);
        QCOMPARE(SogliaFrequenza::leggi(*banco->host()), 2);
    }

    void csvByte() {
        auto banco = salaPiccola();
        const Riepilogo r = CalcoloRiepilogo(*banco->host()).calcola(QDate(2026, 11, 1), fine, 2);
        QTemporaryDir cartella;
        const QString percorso = cartella.filePath(QStringLiteral("r.csv"));
        QVERIFY(ReportRiepilogo::esportaCsv(percorso, r));
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray atteso = "\xEF\xBB\xBF"
                                  "Codice;Nome;Codice AAMS;Categoria;N. "
                                  "refill;Totale;Media;Massimo;Ultimo refill;Allarme\r\n"
                                  "C1;Slot 1;AAMS1;AWP;2;15,50;7,75;10,00;03/11/2026;\r\n"
                                  "C3;Slot 3;AAMS3;AWP;1;20,00;20,00;20,00;03/11/2026;\r\n";
        QCOMPARE(file.readAll(), atteso);
    }

    void pdfTesto() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) non installato");
        auto banco = salaAllarmi();
        const Riepilogo r = CalcoloRiepilogo(*banco->host()).calcola(QDate(2026, 11, 1), fine, 2);
        QTemporaryDir cartella;
        const QString percorso = cartella.filePath(QStringLiteral("r.pdf"));
        QVERIFY(ReportRiepilogo::esportaPdf(percorso, r) > 0);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {percorso, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        // The typeface joins "fi" into one glyph; compatibility normalisation splits it.
        const QString testo = QString::fromUtf8(pdftotext.readAllStandardOutput())
                                  .normalized(QString::NormalizationForm_KC)
                                  .simplified();
        for (const QString& atteso :
             {QStringLiteral("Riepilogo Refill dal 01/11/2026 al 30/11/2026 - Locale SG01"),
              QStringLiteral("Totale del periodo: € 940,00 in 25 refill su 4 apparecchi"),
              QStringLiteral("Refill per apparecchio"), QStringLiteral("Slot 3"),
              QStringLiteral("AAMS2"),
              QStringLiteral("Apparecchi segnalati per frequenza dei refill"),
              QStringLiteral("C1 - Slot 1: 3 refill negli ultimi 7 giorni"),
              QStringLiteral("Refill per giorno"), QStringLiteral("24/11/2026"),
              QStringLiteral("Pagina 1 di")})
            QVERIFY2(testo.contains(atteso),
                     qPrintable(atteso + QStringLiteral("\n---\n") + testo));
    }

    void graficoUnaBarraPerApparecchio() {
        auto banco = salaAllarmi();
        const Riepilogo r = CalcoloRiepilogo(*banco->host()).calcola(inizioUltima, fine, 2);
        // Machines 1, 2, 3 and 5 were refilled in the last week; 4 and 6 were not.
        const QSize dimensione(900, 600);
        const QRectF area = GraficoRiepilogo::areaBarre(QRectF(QPointF(0, 0), QSizeF(dimensione)));
        const QList<QRectF> barre = GraficoRiepilogo::barre(area, r);
        QCOMPARE(barre.size(), 4);
        const QImage figura = GraficoRiepilogo::immagine(r, dimensione);
        for (qsizetype i = 0; i < barre.size(); ++i) {
            QVERIFY(barre.at(i).height() > 0);
            const QColor colore = figura.pixelColor(barre.at(i).center().toPoint());
            const bool rosso = colore.red() > 150 && colore.green() < 100;
            QCOMPARE(rosso, r.apparecchi.at(i).allarme);
        }
        // The tallest bar is the largest total (machine 1: 3 x 100, against 5 x 40).
        const auto piuAlta =
            std::max_element(barre.cbegin(), barre.cend(), [](const QRectF& a, const QRectF& b) {
                return a.height() < b.height();
            });
        QCOMPARE(r.apparecchi.at(piuAlta - barre.cbegin()).codice, QStringLiteral("C1"));
    }

    void finestra() {
        auto banco = salaAllarmi();
        FinestraRiepilogo finestra(banco->host());
        finestra.show();
        // Opens on the month of the working date.
        QCOMPARE(finestra.riepilogo().dal, QDate(2026, 11, 1));
        QCOMPARE(finestra.riepilogo().al, fine);
        auto* tabella = finestra.findChild<QTableView*>(QStringLiteral("TabApparecchi"));
        QAbstractItemModel* modello = tabella->model();
        QCOMPARE(modello->rowCount(), finestra.riepilogo().apparecchi.size());

        // Sorting by total puts the largest on top, by amount, not by text.
        tabella->sortByColumn(5, Qt::DescendingOrder);
        QCOMPARE(modello->index(0, 0).data().toString(), QStringLiteral("C1"));
        QCOMPARE(modello->index(0, 5).data().toString(), QStringLiteral("450,00"));
        QVERIFY(modello->index(0, 1)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("mediana di 1")));
        QCOMPARE(modello->index(0, 9).data().toString(), QStringLiteral("! Sì"));

        // The chart tells why, on the flagged machine's bar.
        auto* grafico = finestra.findChild<GraficoRiepilogo*>();
        const QRectF tutto = QRectF(grafico->rect()).adjusted(8, 8, -8, -8);
        const QPoint punto =
            GraficoRiepilogo::barre(GraficoRiepilogo::areaBarre(tutto), finestra.riepilogo())
                .first()
                .center()
                .toPoint();
        QHelpEvent aiuto(QEvent::ToolTip, punto, grafico->mapToGlobal(punto));
        QApplication::sendEvent(grafico, &aiuto);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().startsWith(QStringLiteral("C1 - Slot 1: € 450,00 in 6 refill")) &&
                     QToolTip::text().contains(QStringLiteral("mediana di 1")),
                 qPrintable(QToolTip::text()));

        // Opening, sorting and exporting store nothing.
        QCOMPARE(banco->host()->leggisettaggio(QStringLiteral("Refill"),
                                               QStringLiteral("SogliaFrequenza"), -1),
                 -1);
        finestra.findChild<QSpinBox*>(QStringLiteral("TxtSoglia"))->setValue(3);
        QCOMPARE(banco->host()->leggisettaggio(QStringLiteral("Refill"),
                                               QStringLiteral("SogliaFrequenza"), -1),
                 3);
        QVERIFY(!apparecchio(finestra.riepilogo(), QStringLiteral("C1"))->allarme);

        QTest::mouseClick(finestra.findChild<QPushButton*>(QStringLiteral("CmdMeseScorso")),
                          Qt::LeftButton);
        QCOMPARE(finestra.riepilogo().dal, QDate(2026, 10, 1));
        QCOMPARE(finestra.riepilogo().al, QDate(2026, 10, 31));
        QCOMPARE(modello->rowCount(), 3); // machines 1, 2 and 5 in October
    }

    void periodoVuoto() {
        auto banco = salaPiccola();
        FinestraRiepilogo finestra(banco->host());
        finestra.show();
        finestra.impostaPeriodo(QDate(2025, 1, 1), QDate(2025, 1, 31));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(
            finestra.findChild<QTableView*>(QStringLiteral("TabApparecchi"))->model()->rowCount(),
            0);
        QCOMPARE(finestra.findChild<QTableView*>(QStringLiteral("TabGiorni"))->model()->rowCount(),
                 0);
        QCOMPARE(finestra.findChild<QLabel*>(QStringLiteral("LabSintesi"))->text(),
                 QStringLiteral("Nessun refill nel periodo dal 01/01/2025 al 31/01/2025."));
        QCOMPARE(ReportRiepilogo::csv(finestra.riepilogo()),
                 QStringLiteral("Codice;Nome;Codice AAMS;Categoria;N. refill;Totale;Media;Massimo;"
                                "Ultimo refill;Allarme\r\n"));
        QCOMPARE(GraficoRiepilogo::barre(QRectF(0, 0, 900, 300), finestra.riepilogo()).size(), 0);
        QTemporaryDir cartella;
        QVERIFY(finestra.salvaPdf(cartella.filePath(QStringLiteral("vuoto.pdf"))));
    }

    void periodiRapidi_data() {
        QTest::addColumn<QDate>("oggi");
        QTest::addColumn<QDate>("settimana");
        QTest::addColumn<QDate>("mese");
        QTest::addColumn<QDate>("scorsoDal");
        QTest::addColumn<QDate>("scorsoAl");
        QTest::newRow("lunedì") << QDate(2026, 11, 30) << QDate(2026, 11, 30) << QDate(2026, 11, 1)
                                << QDate(2026, 10, 1) << QDate(2026, 10, 31);
        QTest::newRow("gennaio, domenica")
            << QDate(2027, 1, 3) << QDate(2026, 12, 28) << QDate(2027, 1, 1) << QDate(2026, 12, 1)
            << QDate(2026, 12, 31);
        QTest::newRow("marzo bisestile")
            << QDate(2028, 3, 15) << QDate(2028, 3, 13) << QDate(2028, 3, 1) << QDate(2028, 2, 1)
            << QDate(2028, 2, 29);
    }

    void periodiRapidi() {
        QFETCH(QDate, oggi);
        QTEST(PeriodoRiepilogo::questaSettimana(oggi).dal, "settimana");
        QTEST(PeriodoRiepilogo::questoMese(oggi).dal, "mese");
        QTEST(PeriodoRiepilogo::meseScorso(oggi).dal, "scorsoDal");
        QTEST(PeriodoRiepilogo::meseScorso(oggi).al, "scorsoAl");
        QCOMPARE(PeriodoRiepilogo::questaSettimana(oggi).al, oggi);
    }
};

QTEST_MAIN(TestRiepilogo)
#include "tst_riepilogo.moc"
