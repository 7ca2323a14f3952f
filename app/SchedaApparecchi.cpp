// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SchedaApparecchi.h"

#include "FinestraAnagrafiche.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace KaloRefill {

namespace {

template <typename W> W* nominato(W* w, const char* nome) {
    w->setObjectName(QLatin1String(nome));
    return w;
}

QPushButton* bottone(const char* nome, const QString& testo, QWidget* genitore) {
    auto* b = nominato(new QPushButton(testo, genitore), nome);
    b->setAutoDefault(false);
    return b;
}

} // namespace

SchedaApparecchi::SchedaApparecchi(FinestraAnagrafiche& finestra) : m_finestra(finestra) {
    setObjectName(QStringLiteral("SchedaApparecchi"));
    auto* colonna = new QVBoxLayout(this);
    m_tabella = nominato(new QTableWidget(0, 8, this), "LstApparecchi");
    m_tabella->setHorizontalHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Nome"),
                                          QStringLiteral("Mobile"), QStringLiteral("Codice ADM"),
                                          QStringLiteral("Categoria"), QStringLiteral("Tipo incasso"),
                                          QStringLiteral("Ordine"), QStringLiteral("In servizio")});
    m_tabella->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabella->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabella->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    colonna->addWidget(m_tabella, 1);

    auto* griglia = new QGridLayout;
    m_codice = nominato(new QLineEdit(this), "txtCodiceApparecchio");
    m_nome = nominato(new QLineEdit(this), "txtNomeApparecchio");
    m_mobile = nominato(new QLineEdit(this), "txtMobile");
    m_codiceAdm = nominato(new QLineEdit(this), "txtCodiceAdm");
    m_categoria = nominato(new QComboBox(this), "CmbCategoria");
    m_categoria->addItems({QStringLiteral("AWP"), QStringLiteral("VLT")});
    m_tipo = nominato(new QSpinBox(this), "SpnTipoIncasso");
    m_tipo->setRange(0, 99);
    m_ordine = nominato(new QSpinBox(this), "SpnOrdine");
    m_ordine->setRange(0, 99999);
    m_inServizio = nominato(new QCheckBox(QStringLiteral("In servizio"), this), "ChkInServizio");
    const std::pair<const char*, QWidget*> campi[] = {
        {"Codice", m_codice},   {"Nome", m_nome},           {"Mobile", m_mobile},
        {"Codice ADM", m_codiceAdm}, {"Categoria", m_categoria}, {"Tipo incasso", m_tipo},
        {"Ordine", m_ordine},   {"", m_inServizio}};
    for (int i = 0; i < 8; ++i) {
        griglia->addWidget(new QLabel(QString::fromUtf8(campi[i].first), this), i / 4 * 2, i % 4);
        griglia->addWidget(campi[i].second, i / 4 * 2 + 1, i % 4);
    }
    colonna->addLayout(griglia);

    auto* comandi = new QHBoxLayout;
    auto* nuovo = bottone("CmdNuovoApparecchio", QStringLiteral("Nuovo"), this);
    auto* salva = bottone("CmdSalvaApparecchio", QStringLiteral("Salva apparecchio"), this);
    auto* elimina = bottone("CmdEliminaApparecchio", QStringLiteral("Elimina"), this);
    auto* importa = bottone("CmdImportaApparecchi", QStringLiteral("Importa da CSV…"), this);
    for (QPushButton* b : {nuovo, salva, elimina})
        comandi->addWidget(b);
    comandi->addStretch(1);
    comandi->addWidget(importa);
    colonna->addLayout(comandi);

    connect(m_tabella, &QTableWidget::currentCellChanged, this, [this](int riga) {
        if (riga >= 0 && riga < m_elenco.size())
            mostra(m_elenco.at(riga));
    });
    connect(nuovo, &QPushButton::clicked, this, [this] {
        Apparecchio a;
        for (const Apparecchio& altro : m_elenco)
            a.ordine = std::max(a.ordine, altro.ordine + 1);
        m_tabella->clearSelection();
        mostra(a);
        m_codice->setFocus();
    });
    connect(salva, &QPushButton::clicked, this, [this] {
        Apparecchio salvato;
        if (m_finestra.prova([&] { salvato = m_finestra.archivio().salvaApparecchio(inModifica()); })) {
            ricarica();
            mostra(salvato);
        }
    });
    connect(elimina, &QPushButton::clicked, this, [this] {
        if (m_id == 0)
            return;
        if (QMessageBox::question(this, m_finestra.windowTitle(),
                                  QStringLiteral("Eliminare l'apparecchio %1?").arg(m_codice->text())) !=
            QMessageBox::Yes)
            return;
        if (m_finestra.prova([this] { m_finestra.archivio().eliminaApparecchio(m_id); })) {
            ricarica();
            mostra({});
        }
    });
    connect(importa, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(
            this, QStringLiteral("Apparecchi da un file CSV"),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            QStringLiteral("File CSV (*.csv *.txt);;Tutti i file (*)"));
        if (!file.isEmpty())
            m_finestra.importaDaFile(file);
    });
    ricarica();
    mostra({});
}

void SchedaApparecchi::ricarica() {
    m_finestra.prova([this] { m_elenco = m_finestra.archivio().apparecchi(); });
    m_tabella->setRowCount(int(m_elenco.size()));
    for (int r = 0; r < m_elenco.size(); ++r) {
        const Apparecchio& a = m_elenco.at(r);
        const QStringList celle{a.codice,       a.nome, a.mobile, a.codiceAdm, a.categoria,
                                QString::number(a.tipoIncasso), QString::number(a.ordine),
                                a.inServizio ? QStringLiteral("sì") : QStringLiteral("no")};
        for (int c = 0; c < celle.size(); ++c)
            m_tabella->setItem(r, c, new QTableWidgetItem(celle.at(c)));
    }
}

void SchedaApparecchi::mostra(const Apparecchio& a) {
    m_id = a.id;
    m_codice->setText(a.codice);
    m_nome->setText(a.nome);
    m_mobile->setText(a.mobile);
    m_codiceAdm->setText(a.codiceAdm);
    m_categoria->setCurrentText(a.categoria);
    m_tipo->setValue(a.tipoIncasso);
    m_ordine->setValue(a.ordine);
    m_inServizio->setChecked(a.inServizio);
}

Apparecchio SchedaApparecchi::inModifica() const {
    Apparecchio a;
    a.id = m_id;
    a.codice = m_codice->text();
    a.nome = m_nome->text();
    a.mobile = m_mobile->text();
    a.codiceAdm = m_codiceAdm->text();
    a.categoria = m_categoria->currentText();
    a.tipoIncasso = m_tipo->value();
    a.ordine = m_ordine->value();
    a.inServizio = m_inServizio->isChecked();
    return a;
}

} // namespace KaloRefill
