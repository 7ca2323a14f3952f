// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FinestraRegistroBuoni.h"

#include "documento/BuonoRefill.h"

#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace KaloRefill {

namespace {
QPushButton* pulsante(QWidget* parent, const char* nome, const QString& testo) {
    auto* p = new QPushButton(testo, parent);
    p->setObjectName(QLatin1String(nome));
    p->setMinimumSize(110, 44);
    return p;
}
} // namespace

FinestraRegistroBuoni::FinestraRegistroBuoni(HostApplicationPtr host, const QDate& dal, const QDate& al, QWidget* parent)
    : QWidget(parent, Qt::Window), m_host(std::move(host)) {
    setObjectName(QStringLiteral("FinestraRegistroBuoni"));
    setWindowTitle(QStringLiteral("Registro buoni"));
    auto* colonna = new QVBoxLayout(this);
    auto* periodo = new QHBoxLayout;
    m_dal = new QDateEdit(dal, this);
    m_al = new QDateEdit(al, this);
    m_dal->setObjectName(QStringLiteral("txtDal"));
    m_al->setObjectName(QStringLiteral("txtAl"));
    for (QDateEdit* d : {m_dal, m_al}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setMinimumHeight(44);
    }
    periodo->addWidget(new QLabel(QStringLiteral("Dal"), this));
    periodo->addWidget(m_dal);
    periodo->addWidget(new QLabel(QStringLiteral("al"), this));
    periodo->addWidget(m_al);
    QPushButton* mostra = pulsante(this, "CmdMostra", QStringLiteral("Mostra"));
    connect(mostra, &QPushButton::clicked, this, [this] { aggiorna(); });
    periodo->addWidget(mostra);
    periodo->addStretch();
    colonna->addLayout(periodo);

    m_tabella = new QTableWidget(this);
    m_tabella->setObjectName(QStringLiteral("TabBuoni"));
    m_tabella->setColumnCount(10);
    m_tabella->setHorizontalHeaderLabels({QStringLiteral("Numero"), QStringLiteral("Data e ora"),
                                          QStringLiteral("Apparecchio"), QStringLiteral("Prima €"),
                                          QStringLiteral("Dopo €"), QStringLiteral("Differenza €"),
                                          QStringLiteral("Operatore"), QStringLiteral("Testimone"),
                                          QStringLiteral("Stato"), QStringLiteral("Motivo")});
    m_tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabella->verticalHeader()->setDefaultSectionSize(36);
    m_tabella->verticalHeader()->hide();
    m_tabella->horizontalHeader()->setStretchLastSection(true);
    colonna->addWidget(m_tabella, 1);
    m_riepilogo = new QLabel(this);
    m_riepilogo->setObjectName(QStringLiteral("LabRiepilogo"));
    m_riepilogo->setWordWrap(true);
    colonna->addWidget(m_riepilogo);

    auto* piede = new QHBoxLayout;
    QPushButton* stampa = pulsante(this, "CmdStampa", QStringLiteral("Stampa"));
    QPushButton* pdf = pulsante(this, "CmdPdf", QStringLiteral("PDF"));
    QPushButton* csv = pulsante(this, "CmdCsv", QStringLiteral("CSV"));
    QPushButton* chiudi = pulsante(this, "CmdChiudi", QStringLiteral("Chiudi"));
    connect(stampa, &QPushButton::clicked, this, [this] { this->stampa(); });
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString percorso = QFileDialog::getSaveFileName(this, QStringLiteral("Salva il registro in PDF"),
                                                              QStringLiteral("registro-buoni.pdf"), QStringLiteral("PDF (*.pdf)"));
        if (!percorso.isEmpty())
            salvaPdf(percorso);
    });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString percorso = QFileDialog::getSaveFileName(this, QStringLiteral("Salva il registro in CSV"),
                                                              QStringLiteral("registro-buoni.csv"), QStringLiteral("CSV (*.csv)"));
        if (!percorso.isEmpty())
            salvaCsv(percorso);
    });
    connect(chiudi, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* p : {stampa, pdf, csv})
        piede->addWidget(p);
    piede->addStretch();
    piede->addWidget(chiudi);
    colonna->addLayout(piede);
    resize(1000, 700);
    aggiorna();
}

void FinestraRegistroBuoni::aggiorna() {
    m_registro = std::make_unique<RegistroBuoni>(*m_host, m_dal->date(), m_al->date());
    const auto& voci = m_registro->voci();
    m_tabella->setRowCount(int(voci.size()));
    for (int i = 0; i < voci.size(); ++i) {
        const RigaRegistro& r = voci.at(i).riga;
        const QStringList celle{r.nome(), r.dataOra.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                                r.codiceInterno + QStringLiteral(" - ") + r.nomeScheda,
                                BuonoRefill::importoInCifre(r.prima), BuonoRefill::importoInCifre(r.dopo),
                                BuonoRefill::importoInCifre(r.differenza), r.operatore, r.testimone, voci.at(i).stato,
                                r.motivo};
        for (int c = 0; c < celle.size(); ++c) {
            auto* cella = new QTableWidgetItem(celle.at(c));
            if (c >= 3 && c <= 5)
                cella->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (voci.at(i).stato != QLatin1String("valido"))
                cella->setForeground(QColor(160, 0, 0));
            m_tabella->setItem(i, c, cella);
        }
    }
    m_tabella->resizeColumnsToContents();
    QStringList testo;
    testo << (m_registro->lacune().isEmpty() ? QStringLiteral("Numeri mancanti: nessuno.")
                                              : QStringLiteral("NUMERI MANCANTI:"));
    for (const RegistroBuoni::Lacuna& l : m_registro->lacune())
        testo << QStringLiteral("  %1 %2: da %3 a %4").arg(l.codLocale).arg(l.anno).arg(l.da).arg(l.a);
    const auto totali = [&](const QString& titolo, const QMap<QString, RegistroBuoni::Totale>& mappa) {
        QStringList parti;
        for (auto it = mappa.cbegin(); it != mappa.cend(); ++it)
            parti << QStringLiteral("%1: %2 buoni, € %3").arg(it.key()).arg(it.value().buoni)
                         .arg(BuonoRefill::importoInCifre(it.value().importo));
        testo << titolo + (parti.isEmpty() ? QStringLiteral("nessuno") : parti.join(QStringLiteral("; ")));
    };
    totali(QStringLiteral("Per operatore: "), m_registro->perOperatore());
    totali(QStringLiteral("Per testimone: "), m_registro->perTestimone());
    m_riepilogo->setText(testo.join(QLatin1Char('\n')));
}

bool FinestraRegistroBuoni::salvaPdf(const QString& percorso) {
    {
        QPdfWriter pdf(percorso);
        pdf.setTitle(RegistroBuoni::titolo());
        pdf.setCreator(QStringLiteral("KaloRefill"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12)));
        m_registro->stampa(pdf, QDateTime::currentDateTime());
    }
    if (QFileInfo(percorso).size() > 0)
        return true;
    QMessageBox::warning(this, windowTitle(), QStringLiteral("Impossibile scrivere %1.").arg(percorso));
    return false;
}

bool FinestraRegistroBuoni::salvaCsv(const QString& percorso) {
    QFile file(percorso);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(m_registro->csv(QDateTime::currentDateTime()).toUtf8()) >= 0 && file.flush())
        return true;
    QMessageBox::warning(this, windowTitle(), QStringLiteral("Impossibile scrivere %1: %2.").arg(percorso, file.errorString()));
    return false;
}

void FinestraRegistroBuoni::stampa() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialogo(&printer, this);
    if (dialogo.exec() == QDialog::Accepted)
        m_registro->stampa(printer, QDateTime::currentDateTime());
}

} // namespace KaloRefill
