// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FinestraRicerca.h"

#include "FiltroRighe.h"
#include "FormatoItaliano.h"
#include "ModelloRighe.h"
#include "NomiOperatori.h"
#include "SorgenteRighe.h"
#include "StatoVuoto.h"
#include "form/DimensioneFinestra.h"

#include <QAction>
#include <QCursor>
#include <QDate>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScroller>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <utility>

namespace KaloRefill {

namespace {

// Natural widths are capped so that one long description does not push the rest away.
constexpr int larghezzaMassima = 400;
// The height a finger hits without looking, in pixels at 96 dpi.
constexpr int altezzaDito = 44;

QAction* azione(QToolBar* barra, const char* nome, const QString& testo, const QString& icona,
                const QIcon& riserva) {
    QAction* a = barra->addAction(QIcon::fromTheme(icona, riserva), testo);
    a->setObjectName(QLatin1String(nome));
    return a;
}

QFont ingrandito(QFont carattere, qreal punti, bool grassetto = false) {
    carattere.setPointSizeF(punti);
    carattere.setBold(grassetto);
    return carattere;
}

} // namespace

FinestraRicerca::FinestraRicerca(const ImpostazioniRicerca& impostazioni, QWidget* parent)
    : QDialog(parent), m_impostazioni(impostazioni),
      m_viste(impostazioni.viste, impostazioni.modulo, impostazioni.user) {
    setObjectName(QStringLiteral("FinestraRicerca"));
    setWindowTitle(impostazioni.caption);
    setModal(true);
    setSizeGripEnabled(true);
    // Sizes follow the screen's scale, as the form's do.
    if (const QScreen* schermo = parent ? parent->screen() : QGuiApplication::primaryScreen())
        m_scala = std::max<qreal>(1.0, schermo->logicalDotsPerInchY() / 96.0);
    setFont(ingrandito(font(), 12));

    const NomiOperatori nomi = NomiOperatori::leggi(impostazioni.operatori.get());
    SorgenteRighe sorgente =
        impostazioni.recordset ? SorgenteRighe(impostazioni.recordset) : SorgenteRighe();
    m_colonnaRisposta =
        impostazioni.campoRicerca.isEmpty() ? -1 : sorgente.colonna(impostazioni.campoRicerca);
    m_modello = new ModelloRighe(std::move(sorgente), nomi, this);
    m_testoVuoto = StatoVuoto::testo(impostazioni.modulo, m_modello->sorgente());
    m_filtro = new FiltroRighe(this);
    m_filtro->setSourceModel(m_modello);

    auto* disposizione = new QVBoxLayout(this);
    disposizione->setContentsMargins(0, 0, 0, 0);
    disposizione->setSpacing(0);

    // The day's report says which day it is in the window, not only in its title bar.
    m_report = impostazioni.modulo.compare(QLatin1String("RefillGiorno"), Qt::CaseInsensitive) == 0;
    if (m_report) {
        const QDate giorno = StatoVuoto::dataDellaSorgente(m_modello->sorgente());
        auto* intestazione = new QLabel(
            giorno.isValid()
                ? QStringLiteral("Refill del giorno %1").arg(FormatoItaliano::data(giorno))
                : impostazioni.caption,
            this);
        intestazione->setObjectName(QStringLiteral("intestazioneGiorno"));
        intestazione->setFont(ingrandito(font(), 16, true));
        intestazione->setContentsMargins(misura(8), misura(6), misura(8), misura(6));
        intestazione->setWordWrap(true);
        disposizione->addWidget(intestazione);
    }

    m_barraStrumenti = new QToolBar(this);
    m_barraStrumenti->setObjectName(QStringLiteral("barraStrumenti"));
    m_barraStrumenti->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_barraStrumenti->setIconSize(QSize(misura(32), misura(32)));
    creaBarraStrumenti();
    m_barraStrumenti->setVisible(impostazioni.toolbar != 0);
    disposizione->addWidget(m_barraStrumenti);

    auto* barraFiltro = new QWidget(this);
    barraFiltro->setObjectName(QStringLiteral("barraFiltro"));
    auto* rigaFiltro = new QHBoxLayout(barraFiltro);
    rigaFiltro->setContentsMargins(misura(8), misura(6), misura(8), misura(6));
    auto* etichettaFiltro = new QLabel(QStringLiteral("&Filtro:"), barraFiltro);
    m_campoFiltro = new QLineEdit(barraFiltro);
    m_campoFiltro->setObjectName(QStringLiteral("filtro"));
    m_campoFiltro->setPlaceholderText(QStringLiteral("Scrivere per cercare in tutte le colonne"));
    m_campoFiltro->setClearButtonEnabled(true);
    m_campoFiltro->setMinimumHeight(misura(altezzaDito));
    m_campoFiltro->installEventFilter(this);
    etichettaFiltro->setBuddy(m_campoFiltro);
    rigaFiltro->addWidget(etichettaFiltro);
    rigaFiltro->addWidget(m_campoFiltro, 1);
    barraFiltro->setVisible(impostazioni.filterBar != 0);
    disposizione->addWidget(barraFiltro);

    m_tabella = new QTableView(this);
    m_tabella->setObjectName(QStringLiteral("tabella"));
    m_tabella->setModel(m_filtro);
    m_tabella->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabella->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabella->setAlternatingRowColors(true);
    m_tabella->setWordWrap(false);
    m_tabella->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_tabella->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_tabella->verticalHeader()->hide();
    m_tabella->verticalHeader()->setDefaultSectionSize(
        std::max(misura(altezzaDito), m_tabella->fontMetrics().height() + misura(16)));
    QHeaderView* intestazione = m_tabella->horizontalHeader();
    intestazione->setMinimumHeight(misura(altezzaDito));
    intestazione->setSectionsMovable(true);
    intestazione->setHighlightSections(false);
    intestazione->setStretchLastSection(true);
    intestazione->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(intestazione, &QHeaderView::customContextMenuRequested, this,
            [this, intestazione](const QPoint& punto) {
                mostraMenuColonne(intestazione->mapToGlobal(punto));
            });
    // No column sorted at first: the rows keep the order the caller asked the host for.
    intestazione->setSortIndicator(-1, Qt::AscendingOrder);
    m_tabella->setSortingEnabled(true);
    m_tabella->resizeColumnsToContents();
    for (int c = 0; c < m_modello->columnCount(); ++c) {
        intestazione->resizeSection(
            c, std::min(intestazione->sectionSize(c), misura(larghezzaMassima)));
        intestazione->setSectionHidden(c, m_modello->nascostaDiSolito(c));
    }
    m_tabella->installEventFilter(this);
    m_tabella->viewport()->installEventFilter(this);
    // Dragging the rows scrolls them, with momentum; a tap still selects.
    QScroller::grabGesture(m_tabella->viewport(), QScroller::LeftMouseButtonGesture);
    QScrollerProperties proprieta =
        QScroller::scroller(m_tabella->viewport())->scrollerProperties();
    proprieta.setScrollMetric(QScrollerProperties::MousePressEventDelay, 0);
    proprieta.setScrollMetric(QScrollerProperties::OvershootDragResistanceFactor, 0.3);
    proprieta.setScrollMetric(QScrollerProperties::OvershootScrollDistanceFactor, 0.1);
    QScroller::scroller(m_tabella->viewport())->setScrollerProperties(proprieta);
    disposizione->addWidget(m_tabella, 1);

    m_vuoto = new QLabel(m_tabella->viewport());
    m_vuoto->setObjectName(QStringLiteral("statoVuoto"));
    m_vuoto->setAlignment(Qt::AlignCenter);
    m_vuoto->setWordWrap(true);
    m_vuoto->setFont(ingrandito(font(), 18, true));
    m_vuoto->setAttribute(Qt::WA_TransparentForMouseEvents);

    disposizione->addWidget(creaPulsanti());

    m_barraStato = new QStatusBar(this);
    m_barraStato->setObjectName(QStringLiteral("barraStato"));
    m_barraStato->setSizeGripEnabled(false);
    m_riepilogo = new QLabel(m_barraStato);
    m_riepilogo->setObjectName(QStringLiteral("riepilogo"));
    m_barraStato->addWidget(m_riepilogo, 1);
    m_barraStato->setVisible(impostazioni.statusBar != 0);
    disposizione->addWidget(m_barraStato);

    applicaViste();

    connect(m_campoFiltro, &QLineEdit::textChanged, this, [this](const QString& testo) {
        m_filtro->setTesto(testo);
        aggiornaRiepilogo();
        aggiornaVuoto();
    });
    if (!m_report)
        connect(m_tabella, &QTableView::doubleClicked, this, &FinestraRicerca::scegli);
    connect(m_tabella->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& corrente) {
                m_apri->setEnabled(corrente.isValid() && m_colonnaRisposta >= 0);
                for (QPushButton* pulsante : std::as_const(m_azioni))
                    pulsante->setEnabled(corrente.isValid());
            });
    connect(m_modello, &ModelloRighe::letturaFallita, this, [this](const QString& descrizione) {
        m_barraStato->showMessage(QStringLiteral("Righe non lette: %1").arg(descrizione));
    });

    // A report lists, it is not picked from: no row stands out.
    if (m_filtro->rowCount() > 0 && !m_report)
        m_tabella->selectRow(0);
    aggiornaRiepilogo();
    aggiornaVuoto();

    // Wide enough for every column shown when the screen allows it; maximised otherwise.
    int larghezza = 2 * m_tabella->frameWidth() + 4 +
                    style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_tabella);
    for (const int colonna : colonneInOrdine())
        larghezza += intestazione->sectionSize(colonna);
    DimensioneFinestra::adatta(this, QSize(std::max(misura(1000), larghezza), misura(680)));
    if (impostazioni.windowsState == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    m_tabella->setFocus();
}

FinestraRicerca::~FinestraRicerca() = default;

int FinestraRicerca::misura(int pixel) const {
    return qRound(pixel * m_scala);
}

void FinestraRicerca::creaBarraStrumenti() {
    const QStyle* stile = style();
    QAction* anteprima = azione(m_barraStrumenti, "azioneAnteprima", QStringLiteral("Anteprima"),
                                QStringLiteral("document-print-preview"),
                                stile->standardIcon(QStyle::SP_FileDialogContentsView));
    QAction* stampa = azione(m_barraStrumenti, "azioneStampa", QStringLiteral("Stampa"),
                             QStringLiteral("document-print"),
                             stile->standardIcon(QStyle::SP_FileDialogDetailedView));
    stampa->setShortcut(QKeySequence::Print);
    m_barraStrumenti->addSeparator();
    QAction* pdf =
        azione(m_barraStrumenti, "azionePdf", QStringLiteral("Esporta PDF"),
               QStringLiteral("application-pdf"), stile->standardIcon(QStyle::SP_DialogSaveButton));
    QAction* csv =
        azione(m_barraStrumenti, "azioneCsv", QStringLiteral("Esporta Excel (CSV)"),
               QStringLiteral("x-office-spreadsheet"), stile->standardIcon(QStyle::SP_FileIcon));
    m_barraStrumenti->addSeparator();
    // The headings' menu, where a finger cannot right-click.
    QAction* colonne = azione(m_barraStrumenti, "azioneColonne", QStringLiteral("Colonne"),
                              QStringLiteral("view-list-details"),
                              stile->standardIcon(QStyle::SP_FileDialogListView));
    for (QAction* a : {anteprima, stampa, pdf, csv, colonne}) {
        if (QWidget* pulsante = m_barraStrumenti->widgetForAction(a))
            pulsante->setMinimumSize(misura(96), misura(altezzaDito + 20));
    }

    connect(anteprima, &QAction::triggered, this, &FinestraRicerca::anteprima);
    connect(stampa, &QAction::triggered, this, &FinestraRicerca::stampa);
    connect(pdf, &QAction::triggered, this, &FinestraRicerca::chiediPdf);
    connect(csv, &QAction::triggered, this, &FinestraRicerca::chiediCsv);
    connect(colonne, &QAction::triggered, this, [this, colonne] {
        const QWidget* pulsante = m_barraStrumenti->widgetForAction(colonne);
        mostraMenuColonne(pulsante ? pulsante->mapToGlobal(QPoint(0, pulsante->height()))
                                   : QCursor::pos());
    });
}

QWidget* FinestraRicerca::creaPulsanti() {
    auto* riga = new QWidget(this);
    riga->setObjectName(QStringLiteral("barraPulsanti"));
    auto* disposizione = new QHBoxLayout(riga);
    disposizione->setContentsMargins(misura(8), misura(8), misura(8), misura(8));
    disposizione->setSpacing(misura(12));
    disposizione->addStretch(1);

    const QFont grande = ingrandito(font(), 15, true);
    m_apri = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                             QStringLiteral("Apri"), riga);
    m_apri->setObjectName(QStringLiteral("pulsanteApri"));
    m_apri->setToolTip(QStringLiteral("Apre la registrazione selezionata"));
    m_apri->setVisible(m_colonnaRisposta >= 0 && !m_report);
    m_apri->setEnabled(false);
    auto* chiudi = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                   QStringLiteral("Chiudi"), riga);
    chiudi->setObjectName(QStringLiteral("pulsanteChiudi"));
    for (const AzioneRicerca& a : std::as_const(m_impostazioni.azioni)) {
        auto* pulsante = new QPushButton(a.testo, riga);
        pulsante->setObjectName(a.nomeOggetto);
        pulsante->setFont(grande);
        pulsante->setMinimumSize(misura(170), misura(60));
        pulsante->setAutoDefault(false);
        pulsante->setEnabled(false);
        disposizione->addWidget(pulsante);
        m_azioni.append(pulsante);
        const int colonna = m_modello->colonna(a.campo);
        connect(pulsante, &QPushButton::clicked, this, [this, colonna, azione = a.azione] {
            const QModelIndex indice = m_filtro->mapToSource(m_tabella->currentIndex());
            if (indice.isValid() && colonna >= 0 && azione)
                azione(m_modello->valore(indice.row(), colonna));
        });
    }
    for (QPushButton* pulsante : {m_apri, chiudi}) {
        pulsante->setFont(grande);
        pulsante->setIconSize(QSize(misura(28), misura(28)));
        pulsante->setMinimumSize(misura(170), misura(60));
        pulsante->setAutoDefault(false);
        disposizione->addWidget(pulsante);
    }

    // Esc and the button close the same way.
    auto* azioneChiudi = new QAction(QStringLiteral("Chiudi"), this);
    azioneChiudi->setObjectName(QStringLiteral("azioneChiudi"));
    addAction(azioneChiudi);
    connect(azioneChiudi, &QAction::triggered, this, &FinestraRicerca::reject);
    connect(chiudi, &QPushButton::clicked, azioneChiudi, &QAction::trigger);
    connect(m_apri, &QPushButton::clicked, this, [this] { scegli(m_tabella->currentIndex()); });
    return riga;
}

void FinestraRicerca::mostraMenuColonne(const QPoint& dove) {
    QHeaderView* intestazione = m_tabella->horizontalHeader();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menuColonne"));
    for (int visiva = 0; visiva < intestazione->count(); ++visiva) {
        const int logica = intestazione->logicalIndex(visiva);
        QAction* a = menu.addAction(
            m_modello->headerData(logica, Qt::Horizontal, ModelloRighe::RuoloNome).toString());
        a->setCheckable(true);
        a->setChecked(!intestazione->isSectionHidden(logica));
        connect(a, &QAction::toggled, this, [this, intestazione, logica](bool mostra) {
            // The last column shown stays: a list without columns could not be undone.
            if (!mostra && colonneInOrdine().size() <= 1)
                return;
            intestazione->setSectionHidden(logica, !mostra);
            if (mostra && intestazione->sectionSize(logica) < misura(40))
                m_tabella->resizeColumnToContents(logica);
            aggiornaRiepilogo();
        });
    }
    menu.exec(dove);
}

void FinestraRicerca::aggiornaVuoto() {
    const bool vuota = m_filtro->rowCount() == 0;
    m_vuoto->setText(statoVuoto());
    m_vuoto->setGeometry(m_tabella->viewport()->rect());
    m_vuoto->setVisible(vuota);
    // Nothing to print or export while nothing is shown.
    for (const char* nome : {"azioneAnteprima", "azioneStampa", "azionePdf", "azioneCsv"})
        if (auto* a = m_barraStrumenti->findChild<QAction*>(QLatin1String(nome)))
            a->setEnabled(!vuota);
}

QString FinestraRicerca::statoVuoto() const {
    if (m_filtro->rowCount() > 0)
        return {};
    if (m_modello->totaleRighe() > 0)
        return QStringLiteral("Nessuna riga contiene \"%1\"").arg(m_filtro->testo());
    return m_testoVuoto;
}

bool FinestraRicerca::ciSonoRighe() {
    const QString vuoto = statoVuoto();
    if (vuoto.isEmpty())
        return true;
    QMessageBox::information(this, windowTitle(), vuoto);
    return false;
}

QList<int> FinestraRicerca::colonneInOrdine() const {
    const QHeaderView* intestazione = m_tabella->horizontalHeader();
    QList<int> colonne;
    for (int visiva = 0; visiva < intestazione->count(); ++visiva) {
        const int logica = intestazione->logicalIndex(visiva);
        if (!intestazione->isSectionHidden(logica))
            colonne.append(logica);
    }
    return colonne;
}

TabellaTesto FinestraRicerca::contenuto() const {
    // Printed and exported whole, not just the rows scrolled through.
    m_modello->caricaTutto();
    return TabellaTesto::daModello(*m_filtro, colonneInOrdine(), m_impostazioni.caption);
}

QString FinestraRicerca::riepilogo() const {
    return m_riepilogo->text();
}

void FinestraRicerca::aggiornaRiepilogo() {
    const qint64 tutte = m_modello->totaleRighe();
    const bool filtrate = !m_filtro->testo().isEmpty();
    // Without a filter the count and the sums come from the whole set, read or not;
    // with one every row has been read.
    QString testo = filtrate
                        ? QStringLiteral("Righe: %1 di %2").arg(m_filtro->rowCount()).arg(tutte)
                        : QStringLiteral("Righe: %1").arg(tutte);
    for (const int colonna : colonneInOrdine()) {
        if (!m_modello->headerData(colonna, Qt::Horizontal, ModelloRighe::RuoloImporto).toBool())
            continue;
        Valuta somma = m_modello->totale(colonna);
        if (filtrate) {
            somma = Valuta();
            for (int r = 0; r < m_filtro->rowCount(); ++r)
                if (const auto v = FormatoItaliano::comeImporto(
                        m_filtro->index(r, colonna).data(ModelloRighe::RuoloValore)))
                    somma = somma + *v;
        }
        testo += QStringLiteral("    %1: € %2")
                     .arg(m_modello->headerData(colonna, Qt::Horizontal, ModelloRighe::RuoloNome)
                              .toString(),
                          FormatoItaliano::importo(somma));
    }
    m_riepilogo->setText(testo);
}

void FinestraRicerca::scegli(const QModelIndex& indiceVista) {
    if (!indiceVista.isValid())
        return;
    const QModelIndex indice = m_filtro->mapToSource(indiceVista);
    if (m_colonnaRisposta >= 0)
        m_risposta = m_modello->valore(indice.row(), m_colonnaRisposta);
    accept();
}

bool FinestraRicerca::eventFilter(QObject* oggetto, QEvent* evento) {
    if (m_tabella && m_vuoto && oggetto == m_tabella->viewport() &&
        evento->type() == QEvent::Resize)
        m_vuoto->setGeometry(m_tabella->viewport()->rect());
    if (evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        const bool invio = tasto == Qt::Key_Return || tasto == Qt::Key_Enter;
        if (oggetto == m_tabella && invio && !m_report) {
            scegli(m_tabella->currentIndex());
            return true;
        }
        // From the filter bar, Enter or the down arrow go to the rows left by the filter.
        if (oggetto == m_campoFiltro && (invio || tasto == Qt::Key_Down)) {
            m_tabella->setFocus();
            if (!m_tabella->currentIndex().isValid() && m_filtro->rowCount() > 0)
                m_tabella->selectRow(0);
            return true;
        }
    }
    return QDialog::eventFilter(oggetto, evento);
}

void FinestraRicerca::done(int risultato) {
    salvaViste();
    QDialog::done(risultato);
}

void FinestraRicerca::applicaViste() {
    if (!m_viste.utilizzabile())
        return;
    QList<VisteColonne::Colonna> salvate;
    try {
        salvate = m_viste.leggi();
    } catch (const std::exception& e) {
        qWarning("KaloviaRicerca: viste non lette: %s", e.what());
        return;
    }
    QHash<QString, VisteColonne::Colonna> perCampo;
    for (const VisteColonne::Colonna& colonna : std::as_const(salvate))
        perCampo.insert(colonna.campo.toLower(), colonna);

    QHeaderView* intestazione = m_tabella->horizontalHeader();
    QList<std::pair<int, int>> posizioni; // target position, logical column
    for (int logica = 0; logica < m_modello->columnCount(); ++logica) {
        const QString campo =
            m_modello->headerData(logica, Qt::Horizontal, ModelloRighe::RuoloCampo)
                .toString()
                .toLower();
        const auto trovata = perCampo.constFind(campo);
        if (trovata == perCampo.cend())
            continue;
        // A stored width of 0 is a column the operator hid; no width keeps the default.
        if (trovata->larghezza >= 0)
            intestazione->setSectionHidden(logica, trovata->larghezza == 0);
        if (trovata->larghezza > 0)
            intestazione->resizeSection(logica, trovata->larghezza);
        if (trovata->posizione >= 0)
            posizioni.append({trovata->posizione, logica});
    }
    // Placing the columns from the leftmost target on leaves each where it was asked for.
    std::sort(posizioni.begin(), posizioni.end());
    const int ultima = intestazione->count() - 1;
    for (const auto& [posizione, logica] : std::as_const(posizioni))
        intestazione->moveSection(intestazione->visualIndex(logica),
                                  std::clamp(posizione, 0, ultima));
}

void FinestraRicerca::salvaViste() {
    if (m_vistaSalvata || !m_viste.utilizzabile())
        return;
    m_vistaSalvata = true;
    const QHeaderView* intestazione = m_tabella->horizontalHeader();
    QList<VisteColonne::Colonna> colonne;
    for (int logica = 0; logica < m_modello->columnCount(); ++logica) {
        colonne.append(
            {m_modello->headerData(logica, Qt::Horizontal, ModelloRighe::RuoloCampo).toString(),
             intestazione->visualIndex(logica),
             intestazione->isSectionHidden(logica) ? 0 : intestazione->sectionSize(logica)});
    }
    try {
        m_viste.salva(colonne);
    } catch (const std::exception& e) {
        // The operator's pick matters more than the look of the list.
        qWarning("KaloviaRicerca: viste non salvate: %s", e.what());
    }
}

} // namespace KaloRefill
