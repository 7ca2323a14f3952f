// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FinestraRiepilogo.h"

#include "AnteprimaTocco.h"
#include "CalcoloRiepilogo.h"
#include "FinestraRegistroBuoni.h"
#include "FormatoItaliano.h"
#include "GraficoRiepilogo.h"
#include "PeriodoRiepilogo.h"
#include "ReportRiepilogo.h"
#include "RigaFluida.h"
#include "SogliaFrequenza.h"
#include "form/DimensioneFinestra.h"
#include "form/StileTocco.h"
#include "documento/ImpostazioniControlli.h"
#include "host/Errore.h"

#include <QDateEdit>
#include <QEvent>
#include <QFileDialog>
#include <QDir>
#include <QStandardPaths>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace KaloRefill {

namespace {

// Fingers, not a mouse; no taller, so an 800 x 480 panel keeps room for the rows.
constexpr int altezzaTocco = StileTocco::LatoMinimo;
const QColor sfondoAllarme(255, 205, 205);

QPushButton* pulsante(const QString& testo, const QString& nome, QWidget* genitore) {
    auto* b = new QPushButton(testo, genitore);
    b->setObjectName(nome);
    b->setMinimumHeight(altezzaTocco);
    b->setMinimumWidth(120);
    return b;
}

// Text as shown, value to sort by: amounts and dates sort as numbers, not as text.
QStandardItem* cella(const QString& testo, const QVariant& ordine, bool destra) {
    auto* c = new QStandardItem(testo);
    c->setData(ordine, Qt::UserRole);
    c->setEditable(false);
    c->setTextAlignment(Qt::AlignVCenter | (destra ? Qt::AlignRight : Qt::AlignLeft));
    return c;
}

// Marks the totals row, which stays at the foot whatever the column sorted by.
constexpr int RuoloTotale = Qt::UserRole + 1;

class OrdineConTotale final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& sinistra, const QModelIndex& destra) const override {
        const bool totaleSinistra = sinistra.data(RuoloTotale).toBool();
        const bool totaleDestra = destra.data(RuoloTotale).toBool();
        if (totaleSinistra || totaleDestra)
            return totaleDestra == (sortOrder() == Qt::AscendingOrder) && totaleSinistra != totaleDestra;
        return QSortFilterProxyModel::lessThan(sinistra, destra);
    }
};

// The totals under the rows, in bold.
void aggiungiTotale(QStandardItemModel* modello, const TabellaTesto& tabella) {
    if (tabella.totale.isEmpty())
        return;
    QList<QStandardItem*> riga;
    for (qsizetype c = 0; c < tabella.totale.size(); ++c) {
        QStandardItem* voce = cella(tabella.totale.at(c), QVariant(), tabella.importi.value(c));
        voce->setData(true, RuoloTotale);
        QFont grassetto = voce->font();
        grassetto.setBold(true);
        voce->setFont(grassetto);
        riga.append(voce);
    }
    modello->appendRow(riga);
}

QTableView* tabella(QStandardItemModel* modello, const QString& nome, QWidget* genitore) {
    auto* proxy = new OrdineConTotale(genitore);
    proxy->setSourceModel(modello);
    proxy->setSortRole(Qt::UserRole);
    auto* vista = new QTableView(genitore);
    vista->setObjectName(nome);
    vista->setModel(proxy);
    vista->setSortingEnabled(true);
    vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista->verticalHeader()->setDefaultSectionSize(40);
    vista->verticalHeader()->hide();
    vista->horizontalHeader()->setMinimumHeight(40);
    vista->setAlternatingRowColors(true);
    return vista;
}

} // namespace

FinestraRiepilogo::FinestraRiepilogo(HostApplicationPtr host, QWidget* genitore)
    : QWidget(genitore), m_host(std::move(host)) {
    setObjectName(QStringLiteral("FrmRiepilogo"));
    setWindowTitle(QStringLiteral("..:: Riepilogo Refill ::.."));
    QFont carattere = font();
    carattere.setPointSize(12);
    setFont(carattere);

    auto* principale = new QVBoxLayout(this);

    // The controls go on to further lines on a narrow screen.
    auto* periodo = new RigaFluida(8);
    const auto dataEdit = [this](const QString& nome) {
        auto* d = new QDateEdit(this);
        d->setObjectName(nome);
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setMinimumHeight(altezzaTocco);
        d->setMinimumWidth(170);
        return d;
    };
    m_dal = dataEdit(QStringLiteral("txtDal"));
    m_al = dataEdit(QStringLiteral("txtAl"));
    const auto etichetta = [this](const QString& testo, QWidget* compagno) {
        auto* e = new QLabel(testo, this);
        e->setBuddy(compagno);
        e->setMinimumHeight(altezzaTocco);
        return e;
    };
    periodo->addWidget(etichetta(QStringLiteral("Dal"), m_dal));
    periodo->addWidget(m_dal);
    periodo->addWidget(etichetta(QStringLiteral("al"), m_al));
    periodo->addWidget(m_al);
    m_dal->setAccessibleName(QStringLiteral("Dal"));
    m_al->setAccessibleName(QStringLiteral("Al"));
    auto* aggiorna = pulsante(QStringLiteral("Aggiorna"), QStringLiteral("CmdAggiorna"), this);
    periodo->addWidget(aggiorna);
    auto* settimana =
        pulsante(QStringLiteral("Questa settimana"), QStringLiteral("CmdSettimana"), this);
    auto* mese = pulsante(QStringLiteral("Questo mese"), QStringLiteral("CmdMese"), this);
    auto* scorso = pulsante(QStringLiteral("Mese scorso"), QStringLiteral("CmdMeseScorso"), this);
    periodo->addWidget(settimana);
    periodo->addWidget(mese);
    periodo->addWidget(scorso);
    principale->addLayout(periodo);

    m_sintesi = new QLabel(this);
    m_sintesi->setObjectName(QStringLiteral("LabSintesi"));
    QFont grassetto = carattere;
    grassetto.setBold(true);
    grassetto.setPointSize(12);
    m_sintesi->setFont(grassetto);
    m_sintesi->setWordWrap(true);
    principale->addWidget(m_sintesi);
    // Why a machine is flagged, on screen, not only under the pointer.
    m_allarmi = new QLabel(this);
    m_allarmi->setObjectName(QStringLiteral("LabAllarmi"));
    m_allarmi->setWordWrap(true);
    m_allarmi->setStyleSheet(QStringLiteral("color: rgb(170, 20, 20);"));
    principale->addWidget(m_allarmi);

    m_modelloApparecchi = new QStandardItemModel(this);
    m_modelloGiorni = new QStandardItemModel(this);
    m_tabellaApparecchi = tabella(m_modelloApparecchi, QStringLiteral("TabApparecchi"), this);
    m_tabellaGiorni = tabella(m_modelloGiorni, QStringLiteral("TabGiorni"), this);
    m_schede = new QTabWidget(this);
    m_schede->setObjectName(QStringLiteral("SchedeRiepilogo"));
    m_schede->addTab(m_tabellaApparecchi, QStringLiteral("Per apparecchio"));
    m_schede->addTab(m_tabellaGiorni, QStringLiteral("Per giorno"));
    m_grafico = new GraficoRiepilogo(this);
    // The machine table needs the whole width; the chart lies under it, or on a tab of
    // its own on a low screen.
    m_divisore = new QSplitter(Qt::Vertical, this);
    m_divisore->setObjectName(QStringLiteral("DivisoreRiepilogo"));
    m_divisore->addWidget(m_schede);
    m_divisore->addWidget(m_grafico);
    m_divisore->setStretchFactor(0, 1);
    m_divisore->setStretchFactor(1, 1);
    principale->addWidget(m_divisore, 1);

    // The threshold and the commands follow the period on the same flowing rows: on an
    // 800 x 480 panel two half-empty rows would take the height of the table.
    RigaFluida* comandi = periodo;
    m_soglia = new QSpinBox(this);
    m_soglia->setObjectName(QStringLiteral("TxtSoglia"));
    m_soglia->setRange(SogliaFrequenza::minima, SogliaFrequenza::massima);
    m_soglia->setMinimumHeight(altezzaTocco);
    m_soglia->setMinimumWidth(90);
    m_soglia->setToolTip(QStringLiteral(
        "Un apparecchio è segnalato quando i suoi refill degli ultimi 7 giorni del periodo "
        "sono più di questo numero di volte la mediana settimanale delle 12 settimane "
        "precedenti, e almeno 3."));
    {
        const QSignalBlocker blocco(m_soglia);
        m_soglia->setValue(SogliaFrequenza::leggi(*m_host));
    }
    m_soglia->setAccessibleName(QStringLiteral("Soglia di segnalazione"));
    comandi->addWidget(etichetta(QStringLiteral("Segnala oltre"), m_soglia));
    comandi->addWidget(m_soglia);
    comandi->addWidget(etichetta(QStringLiteral("volte la mediana settimanale"), m_soglia));
    auto* anteprima = pulsante(QStringLiteral("Anteprima"), QStringLiteral("CmdAnteprima"), this);
    auto* stampa = pulsante(QStringLiteral("Stampa"), QStringLiteral("CmdStampa"), this);
    auto* pdf = pulsante(QStringLiteral("PDF"), QStringLiteral("CmdPdf"), this);
    auto* csv = pulsante(QStringLiteral("CSV"), QStringLiteral("CmdCsv"), this);
    // The numbered slips of the same period, where the hall keeps a register of them.
    auto* registro = pulsante(QStringLiteral("Registro buoni"), QStringLiteral("CmdRegistroBuoni"), this);
    bool controlli = false;
    try {
        controlli = ImpostazioniControlli::leggi(*m_host).attivi;
    } catch (const Errore&) {
    }
    registro->setVisible(controlli);
    auto* chiudi = pulsante(QStringLiteral("Chiudi"), QStringLiteral("CmdChiudi"), this);
    for (QPushButton* b : {anteprima, stampa, pdf, csv, registro, chiudi})
        comandi->addWidget(b);

    const QDate oggi = m_host->Data();
    const auto scegli = [this, oggi](PeriodoRiepilogo (*periodo)(const QDate&)) {
        const PeriodoRiepilogo p = periodo(oggi);
        impostaPeriodo(p.dal, p.al);
    };
    connect(settimana, &QPushButton::clicked, this,
            [scegli] { scegli(&PeriodoRiepilogo::questaSettimana); });
    connect(mese, &QPushButton::clicked, this, [scegli] { scegli(&PeriodoRiepilogo::questoMese); });
    connect(scorso, &QPushButton::clicked, this,
            [scegli] { scegli(&PeriodoRiepilogo::meseScorso); });
    connect(aggiorna, &QPushButton::clicked, this, &FinestraRiepilogo::ricalcola);
    connect(m_soglia, &QSpinBox::valueChanged, this, &FinestraRiepilogo::cambiaSoglia);
    connect(anteprima, &QPushButton::clicked, this, &FinestraRiepilogo::anteprima);
    connect(stampa, &QPushButton::clicked, this, &FinestraRiepilogo::stampa);
    connect(pdf, &QPushButton::clicked, this, &FinestraRiepilogo::chiediPdf);
    connect(csv, &QPushButton::clicked, this, &FinestraRiepilogo::chiediCsv);
    connect(registro, &QPushButton::clicked, this, [this] {
        auto* finestra = new FinestraRegistroBuoni(m_host, m_dal->date(), m_al->date(), this);
        finestra->setWindowFlag(Qt::Window);
        finestra->setAttribute(Qt::WA_DeleteOnClose);
        finestra->show();
    });
    connect(chiudi, &QPushButton::clicked, this, &QWidget::close);

    DimensioneFinestra::adatta(this, QSize(1280, 800));
    const PeriodoRiepilogo corrente = PeriodoRiepilogo::questoMese(oggi);
    impostaPeriodo(corrente.dal, corrente.al);
}

void FinestraRiepilogo::impostaPeriodo(const QDate& dal, const QDate& al) {
    m_dal->setDate(dal);
    m_al->setDate(al);
    ricalcola();
}

void FinestraRiepilogo::ricalcola() {
    QDate dal = m_dal->date();
    QDate al = m_al->date();
    // Dates typed the wrong way round mean the same period.
    if (dal > al) {
        std::swap(dal, al);
        m_dal->setDate(dal);
        m_al->setDate(al);
    }
    try {
        m_riepilogo = CalcoloRiepilogo(*m_host).calcola(dal, al, m_soglia->value());
    } catch (const Errore& errore) {
        m_riepilogo = Riepilogo{};
        m_riepilogo.dal = dal;
        m_riepilogo.al = al;
        QMessageBox::critical(
            this, windowTitle(),
            QStringLiteral("%1 - %2").arg(errore.numero()).arg(errore.descrizione()));
    }
    riempiTabelle();
}

void FinestraRiepilogo::riempiTabelle() {
    const TabellaTesto apparecchi = ReportRiepilogo::tabellaApparecchi(m_riepilogo);
    m_modelloApparecchi->clear();
    m_modelloApparecchi->setHorizontalHeaderLabels(apparecchi.intestazioni);
    for (qsizetype i = 0; i < m_riepilogo.apparecchi.size(); ++i) {
        const RiepilogoApparecchio& a = m_riepilogo.apparecchi.at(i);
        const QStringList& testi = apparecchi.righe.at(i);
        const QVariantList ordini = {a.codice,
                                     a.nome,
                                     a.codiceAams,
                                     a.categoria,
                                     a.numero,
                                     qlonglong(a.totale.decimillesimi()),
                                     qlonglong(a.media().decimillesimi()),
                                     qlonglong(a.massimo.decimillesimi()),
                                     a.ultimo,
                                     a.allarme ? 1 : 0};
        QList<QStandardItem*> riga;
        for (qsizetype c = 0; c < testi.size(); ++c) {
            QStandardItem* voce = cella(testi.at(c), ordini.at(c), apparecchi.importi.value(c));
            if (a.allarme) {
                voce->setBackground(sfondoAllarme);
                voce->setToolTip(QStringLiteral("Attenzione: ") + a.motivo);
            }
            riga.append(voce);
        }
        if (a.allarme)
            riga.last()->setText(QStringLiteral("! Sì"));
        m_modelloApparecchi->appendRow(riga);
    }
    aggiungiTotale(m_modelloApparecchi, apparecchi);

    const TabellaTesto giorni = ReportRiepilogo::tabellaGiorni(m_riepilogo);
    m_modelloGiorni->clear();
    m_modelloGiorni->setHorizontalHeaderLabels(giorni.intestazioni);
    for (qsizetype i = 0; i < m_riepilogo.giorni.size(); ++i) {
        const RiepilogoGiorno& g = m_riepilogo.giorni.at(i);
        const QStringList& testi = giorni.righe.at(i);
        m_modelloGiorni->appendRow({cella(testi.at(0), g.data, false),
                                    cella(testi.at(1), g.numero, true),
                                    cella(testi.at(2), qlonglong(g.totale.decimillesimi()), true)});
    }
    aggiungiTotale(m_modelloGiorni, giorni);
    for (QTableView* vista : {m_tabellaApparecchi, m_tabellaGiorni}) {
        vista->sortByColumn(-1, Qt::AscendingOrder);
        vista->resizeColumnsToContents();
    }

    QString sintesi = ReportRiepilogo::rigaSintesi(m_riepilogo);
    if (!m_riepilogo.vuoto())
        sintesi += QStringLiteral("\nMedia per refill: € %1 - Refill più grande: € %2")
                       .arg(apparecchi.totale.value(6), apparecchi.totale.value(7));
    m_sintesi->setText(sintesi);
    m_allarmi->setText(ReportRiepilogo::motiviAllarme(m_riepilogo, 3));
    m_allarmi->setVisible(!m_allarmi->text().isEmpty());
    m_grafico->setRiepilogo(m_riepilogo);
}

void FinestraRiepilogo::cambiaSoglia(int soglia) {
    try {
        SogliaFrequenza::salva(*m_host, soglia);
    } catch (const Errore& errore) {
        QMessageBox::critical(
            this, windowTitle(),
            QStringLiteral("%1 - %2").arg(errore.numero()).arg(errore.descrizione()));
    }
    ricalcola();
}

bool FinestraRiepilogo::salvaPdf(const QString& percorsoFile) {
    return ReportRiepilogo::esportaPdf(percorsoFile, m_riepilogo) > 0;
}

bool FinestraRiepilogo::salvaCsv(const QString& percorsoFile, QString* errore) {
    return ReportRiepilogo::esportaCsv(percorsoFile, m_riepilogo, errore);
}

void FinestraRiepilogo::anteprima() {
    QPrinter stampante(QPrinter::HighResolution);
    AnteprimaTocco::mostra(stampante, this, QStringLiteral("Anteprima di stampa"),
                           [this](QPrinter* p) { ReportRiepilogo::stampa(*p, m_riepilogo); });
}

bool FinestraRiepilogo::event(QEvent* evento) {
    const bool esito = QWidget::event(evento);
    if (evento->type() == QEvent::Resize || evento->type() == QEvent::Show)
        sistemaGrafico();
    return esito;
}

// Below this height the chart under the tables would leave neither readable.
void FinestraRiepilogo::sistemaGrafico() {
    constexpr int altezzaPerDue = 700;
    const int scheda = m_schede->indexOf(m_grafico);
    if (height() < altezzaPerDue && scheda < 0) {
        m_schede->addTab(m_grafico, QStringLiteral("Grafico"));
    } else if (height() >= altezzaPerDue && scheda >= 0) {
        m_schede->removeTab(scheda);
        m_divisore->addWidget(m_grafico);
        m_grafico->show();
    }
}

void FinestraRiepilogo::stampa() {
    QPrinter stampante(QPrinter::HighResolution);
    QPrintDialog dialogo(&stampante, this);
    dialogo.setWindowTitle(QStringLiteral("Stampa del riepilogo"));
    if (dialogo.exec() == QDialog::Accepted && ReportRiepilogo::stampa(stampante, m_riepilogo) == 0)
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Stampa non riuscita."));
}

// Documents/KaloRefill/Riepilogo_2026-11-01_2026-11-30.pdf: named after the period shown.
QString FinestraRiepilogo::fileEsportazione(const QDate& dal, const QDate& al,
                                            const QString& estensione) {
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString cartella = QDir(documenti).filePath(QStringLiteral("KaloRefill"));
    if (!QDir().mkpath(cartella))
        cartella = documenti;
    return QDir(cartella).filePath(QStringLiteral("Riepilogo_%1_%2.%3")
                                       .arg(dal.toString(Qt::ISODate), al.toString(Qt::ISODate),
                                            estensione));
}

void FinestraRiepilogo::chiediPdf() {
    const QString nome = fileEsportazione(m_riepilogo.dal, m_riepilogo.al, QStringLiteral("pdf"));
    const QString percorso = QFileDialog::getSaveFileName(
        this, QStringLiteral("Salva il riepilogo in PDF"), nome, QStringLiteral("PDF (*.pdf)"));
    if (!percorso.isEmpty() && !salvaPdf(percorso))
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Impossibile scrivere il file %1.").arg(percorso));
}

void FinestraRiepilogo::chiediCsv() {
    const QString nome = fileEsportazione(m_riepilogo.dal, m_riepilogo.al, QStringLiteral("csv"));
    const QString percorso = QFileDialog::getSaveFileName(
        this, QStringLiteral("Esporta il riepilogo in CSV"), nome, QStringLiteral("CSV (*.csv)"));
    QString errore;
    if (!percorso.isEmpty() && !salvaCsv(percorso, &errore))
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("Impossibile scrivere il file %1: %2.").arg(percorso, errore));
}

} // namespace KaloRefill
