// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DatiAnagrafiche.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

namespace KaloRefill {

class FinestraAnagrafiche;

// The operators of "Anagrafiche": the list, and below it the operator being edited.
class SchedaOperatori final : public QWidget {
    Q_OBJECT
public:
    explicit SchedaOperatori(FinestraAnagrafiche& finestra);
    void ricarica();

private:
    void mostra(const Operatore& o);

    FinestraAnagrafiche& m_finestra;
    QList<Operatore> m_elenco;
    qint64 m_id = 0;
    QTableWidget* m_tabella;
    QLineEdit* m_codice;
    QLineEdit* m_nome;
    QLineEdit* m_cognome;
    QComboBox* m_ruolo;
    QCheckBox* m_attivo;
};

} // namespace KaloRefill
