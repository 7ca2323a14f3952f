// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SchedaOperatori.h"

#include "FinestraAnagrafiche.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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

SchedaOperatori::SchedaOperatori(FinestraAnagrafiche& finestra) : m_finestra(finestra) {
    setObjectName(QStringLiteral("SchedaOperatori"));
    auto* colonna = new QVBoxLayout(this);
    m_tabella = nominato(new QTableWidget(0, 4, this), "LstOperatori");
    m_tabella->setHorizontalHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Nome e cognome"),
                                          QStringLiteral("Ruolo"), QStringLiteral("Attivo")});
    m_tabella->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabella->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabella->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    colonna->addWidget(m_tabella, 1);

    auto* modulo = new QFormLayout;
    m_codice = nominato(new QLineEdit(this), "txtCodiceOperatore");
    m_nome = nominato(new QLineEdit(this), "txtNomeOperatore");
    m_cognome = nominato(new QLineEdit(this), "txtCognomeOperatore");
    m_ruolo = nominato(new QComboBox(this), "CmbRuolo");
    m_ruolo->addItems({QStringLiteral("operatore"), QStringLiteral("responsabile")});
    m_attivo = nominato(new QCheckBox(QStringLiteral("In servizio"), this), "ChkAttivo");
    modulo->addRow(QStringLiteral("Codice (l'utente con cui lavora)"), m_codice);
    modulo->addRow(QStringLiteral("Nome"), m_nome);
    modulo->addRow(QStringLiteral("Cognome"), m_cognome);
    modulo->addRow(QStringLiteral("Ruolo"), m_ruolo);
    modulo->addRow(QString(), m_attivo);
    colonna->addLayout(modulo);

    auto* comandi = new QHBoxLayout;
    auto* nuovo = bottone("CmdNuovoOperatore", QStringLiteral("Nuovo"), this);
    auto* salva = bottone("CmdSalvaOperatore", QStringLiteral("Salva operatore"), this);
    auto* elimina = bottone("CmdEliminaOperatore", QStringLiteral("Elimina"), this);
    for (QPushButton* b : {nuovo, salva, elimina})
        comandi->addWidget(b);
    comandi->addStretch(1);
    colonna->addLayout(comandi);

    connect(m_tabella, &QTableWidget::currentCellChanged, this, [this](int riga) {
        if (riga >= 0 && riga < m_elenco.size())
            mostra(m_elenco.at(riga));
    });
    connect(nuovo, &QPushButton::clicked, this, [this] {
        m_tabella->clearSelection();
        mostra({});
        m_codice->setFocus();
    });
    connect(salva, &QPushButton::clicked, this, [this] {
        Operatore o;
        o.id = m_id;
        o.codice = m_codice->text();
        o.nome = m_nome->text();
        o.cognome = m_cognome->text();
        o.ruolo = m_ruolo->currentText();
        o.attivo = m_attivo->isChecked();
        Operatore salvato;
        if (m_finestra.prova([&] { salvato = m_finestra.archivio().salvaOperatore(o); })) {
            ricarica();
            mostra(salvato);
        }
    });
    connect(elimina, &QPushButton::clicked, this, [this] {
        if (m_id == 0)
            return;
        if (QMessageBox::question(this, m_finestra.windowTitle(),
                                  QStringLiteral("Eliminare l'operatore %1?").arg(m_codice->text())) !=
            QMessageBox::Yes)
            return;
        if (m_finestra.prova([this] { m_finestra.archivio().eliminaOperatore(m_id); })) {
            ricarica();
            mostra({});
        }
    });
    ricarica();
    mostra({});
}

void SchedaOperatori::ricarica() {
    m_finestra.prova([this] { m_elenco = m_finestra.archivio().operatori(); });
    m_tabella->setRowCount(int(m_elenco.size()));
    for (int r = 0; r < m_elenco.size(); ++r) {
        const Operatore& o = m_elenco.at(r);
        const QStringList celle{o.codice, (o.nome + QLatin1Char(' ') + o.cognome).trimmed(), o.ruolo,
                                o.attivo ? QStringLiteral("sì") : QStringLiteral("no")};
        for (int c = 0; c < celle.size(); ++c)
            m_tabella->setItem(r, c, new QTableWidgetItem(celle.at(c)));
    }
}

void SchedaOperatori::mostra(const Operatore& o) {
    m_id = o.id;
    m_codice->setText(o.codice);
    m_nome->setText(o.nome);
    m_cognome->setText(o.cognome);
    m_ruolo->setCurrentText(o.ruolo);
    m_attivo->setChecked(o.attivo);
}

} // namespace KaloRefill
