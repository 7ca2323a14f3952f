#include "FinestraRicerca.h"

#include "EsportazioneCsv.h"
#include "FiltroRighe.h"
#include "ModelloRighe.h"
#include "NomiOperatori.h"
#include "ReportStampa.h"
#include "TabellaRighe.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
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

QAction* azione(QToolBar* barra, const char* nome, const QString& testo, const QString& icona) {
    QAction* a = barra->addAction(QIcon::fromTheme(icona), testo);
    a->setObjectName(QLatin1String(nome));
    return a;
}

} // namespace

FinestraRicerca::FinestraRicerca(const ImpostazioniRicerca& impostazioni, QWidget* parent)
    : QDialog(parent), m_impostazioni(impostazioni),
      m_viste(impostazioni.viste, impostazioni.modulo, impostazioni.user) {
    setObjectName(QStringLiteral("FinestraRicerca"));
    setWindowTitle(impostazioni.caption);
    setModal(true);
    setSizeGripEnabled(true);

    TabellaRighe tabella =
        impostazioni.recordset ? TabellaRighe::leggi(*impostazioni.recordset) : TabellaRighe();
    const NomiOperatori nomi = NomiOperatori::leggi(impostazioni.operatori.get());
    m_colonnaRisposta =
        impostazioni.campoRicerca.isEmpty() ? -1 : tabella.colonna(impostazioni.campoRicerca);
    m_modello = new ModelloRighe(std::move(tabella), nomi, this);
    m_filtro = new FiltroRighe(this);
    m_filtro->setSourceModel(m_modello);

    auto* disposizione = new QVBoxLayout(this);
    disposizione->setContentsMargins(0, 0, 0, 0);
    disposizione->setSpacing(0);

    m_barraStrumenti = new QToolBar(this);
    m_barraStrumenti->setObjectName(QStringLiteral("barraStrumenti"));
    m_barraStrumenti->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    creaBarraStrumenti();
    m_barraStrumenti->setVisible(impostazioni.toolbar != 0);
    disposizione->addWidget(m_barraStrumenti);

    auto* barraFiltro = new QWidget(this);
    barraFiltro->setObjectName(QStringLiteral("barraFiltro"));
    auto* rigaFiltro = new QHBoxLayout(barraFiltro);
    rigaFiltro->setContentsMargins(6, 4, 6, 4);
    auto* etichettaFiltro = new QLabel(QStringLiteral("&Filtro:"), barraFiltro);
    m_campoFiltro = new QLineEdit(barraFiltro);
    m_campoFiltro->setObjectName(QStringLiteral("filtro"));
    m_campoFiltro->setPlaceholderText(QStringLiteral("Scrivere per cercare in tutte le colonne"));
    m_campoFiltro->setClearButtonEnabled(true);
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
    m_tabella->verticalHeader()->hide();
    m_tabella->verticalHeader()->setDefaultSectionSize(m_tabella->fontMetrics().height() + 8);
    QHeaderView* intestazione = m_tabella->horizontalHeader();
    intestazione->setSectionsMovable(true);
    intestazione->setHighlightSections(false);
    intestazione->setStretchLastSection(false);
    // No column sorted at first: the rows keep the order the caller asked the host for.
    intestazione->setSortIndicator(-1, Qt::AscendingOrder);
    m_tabella->setSortingEnabled(true);
    m_tabella->resizeColumnsToContents();
    for (int c = 0; c < m_modello->columnCount(); ++c)
        intestazione->resizeSection(c, std::min(intestazione->sectionSize(c), larghezzaMassima));
    m_tabella->installEventFilter(this);
    disposizione->addWidget(m_tabella, 1);

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
    });
    connect(m_tabella, &QTableView::doubleClicked, this, &FinestraRicerca::scegli);

    if (m_filtro->rowCount() > 0)
        m_tabella->selectRow(0);
    aggiornaRiepilogo();

    resize(980, 620);
    if (impostazioni.windowsState == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    m_tabella->setFocus();
}

FinestraRicerca::~FinestraRicerca() = default;

void FinestraRicerca::creaBarraStrumenti() {
    QAction* anteprima = azione(m_barraStrumenti, "azioneAnteprima", QStringLiteral("Anteprima"),
                                QStringLiteral("document-print-preview"));
    QAction* stampa = azione(m_barraStrumenti, "azioneStampa", QStringLiteral("Stampa"),
                             QStringLiteral("document-print"));
    stampa->setShortcut(QKeySequence::Print);
    m_barraStrumenti->addSeparator();
    QAction* pdf = azione(m_barraStrumenti, "azionePdf", QStringLiteral("Esporta PDF"),
                          QStringLiteral("application-pdf"));
    QAction* csv = azione(m_barraStrumenti, "azioneCsv", QStringLiteral("Esporta Excel (CSV)"),
                          QStringLiteral("x-office-spreadsheet"));
    m_barraStrumenti->addSeparator();
    QAction* chiudi = azione(m_barraStrumenti, "azioneChiudi", QStringLiteral("Chiudi"),
                             QStringLiteral("window-close"));

    connect(anteprima, &QAction::triggered, this, &FinestraRicerca::anteprima);
    connect(stampa, &QAction::triggered, this, &FinestraRicerca::stampa);
    connect(pdf, &QAction::triggered, this, &FinestraRicerca::chiediPdf);
    connect(csv, &QAction::triggered, this, &FinestraRicerca::chiediCsv);
    connect(chiudi, &QAction::triggered, this, &FinestraRicerca::reject);
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
    return TabellaTesto::daModello(*m_filtro, colonneInOrdine(), m_impostazioni.caption);
}

QString FinestraRicerca::riepilogo() const {
    return m_riepilogo->text();
}

void FinestraRicerca::aggiornaRiepilogo() {
    const TabellaTesto tabella = contenuto();
    const int mostrate = m_filtro->rowCount();
    const int tutte = m_modello->rowCount();
    QString testo = mostrate == tutte ? QStringLiteral("Righe: %1").arg(tutte)
                                      : QStringLiteral("Righe: %1 di %2").arg(mostrate).arg(tutte);
    for (qsizetype c = 0; c < tabella.importi.size(); ++c) {
        if (tabella.importi.at(c))
            testo +=
                QStringLiteral("    %1: %2").arg(tabella.intestazioni.at(c), tabella.totale.at(c));
    }
    m_riepilogo->setText(testo);
}

void FinestraRicerca::scegli(const QModelIndex& indiceVista) {
    if (!indiceVista.isValid())
        return;
    const QModelIndex indice = m_filtro->mapToSource(indiceVista);
    if (m_colonnaRisposta >= 0)
        m_risposta = m_modello->tabella().valore(indice.row(), m_colonnaRisposta);
    accept();
}

bool FinestraRicerca::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        const bool invio = tasto == Qt::Key_Return || tasto == Qt::Key_Enter;
        if (oggetto == m_tabella && invio) {
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
             intestazione->visualIndex(logica), intestazione->sectionSize(logica)});
    }
    try {
        m_viste.salva(colonne);
    } catch (const std::exception& e) {
        // The operator's pick matters more than the look of the list.
        qWarning("KaloviaRicerca: viste non salvate: %s", e.what());
    }
}

bool FinestraRicerca::esportaPdf(const QString& percorsoFile) {
    return ReportStampa::esportaPdf(percorsoFile, contenuto()) > 0;
}

bool FinestraRicerca::esportaCsv(const QString& percorsoFile) {
    return EsportazioneCsv::scrivi(percorsoFile, contenuto());
}

void FinestraRicerca::anteprima() {
    const TabellaTesto tabella = contenuto();
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setDocName(tabella.titolo);
    ReportStampa::preparaPagina(stampante, tabella);
    QPrintPreviewDialog finestra(&stampante, this);
    finestra.setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(tabella.titolo));
    connect(&finestra, &QPrintPreviewDialog::paintRequested, this,
            [&tabella](QPrinter* p) { ReportStampa::stampa(*p, tabella); });
    finestra.exec();
}

void FinestraRicerca::stampa() {
    const TabellaTesto tabella = contenuto();
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setDocName(tabella.titolo);
    ReportStampa::preparaPagina(stampante, tabella);
    QPrintDialog finestra(&stampante, this);
    if (finestra.exec() != QDialog::Accepted)
        return;
    if (ReportStampa::stampa(stampante, tabella) == 0)
        segnalaErrore(QStringLiteral("Impossibile stampare l'elenco sulla stampante scelta."));
}

void FinestraRicerca::chiediPdf() {
    QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("Esporta in PDF"),
        QDir(cartellaPredefinita()).filePath(nomeFilePredefinito(QStringLiteral("pdf"))),
        QStringLiteral("Documenti PDF (*.pdf)"));
    if (file.isEmpty())
        return;
    if (!file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        file += QLatin1String(".pdf");
    if (!esportaPdf(file))
        segnalaErrore(
            QStringLiteral("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(file)));
}

void FinestraRicerca::chiediCsv() {
    QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("Esporta per Excel"),
        QDir(cartellaPredefinita()).filePath(nomeFilePredefinito(QStringLiteral("csv"))),
        QStringLiteral("File CSV (*.csv)"));
    if (file.isEmpty())
        return;
    if (!file.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        file += QLatin1String(".csv");
    if (!esportaCsv(file))
        segnalaErrore(
            QStringLiteral("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(file)));
}

QString FinestraRicerca::cartellaPredefinita() const {
    // The suite's folders are written with Windows separators.
    for (QString cartella : {m_impostazioni.percorsoPers, m_impostazioni.percorso}) {
        cartella.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!cartella.isEmpty() && QDir(cartella).exists())
            return cartella;
    }
    return QDir::homePath();
}

QString FinestraRicerca::nomeFilePredefinito(const QString& estensione) const {
    const QString lista =
        m_impostazioni.modulo.isEmpty() ? QStringLiteral("Elenco") : m_impostazioni.modulo;
    return QStringLiteral("%1_%2.%3")
        .arg(lista, QDate::currentDate().toString(QStringLiteral("yyyyMMdd")), estensione);
}

void FinestraRicerca::segnalaErrore(const QString& testo) {
    QMessageBox::warning(this, windowTitle(), testo);
}

} // namespace KaloRefill
