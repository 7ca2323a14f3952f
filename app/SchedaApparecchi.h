// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DatiAnagrafiche.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace KaloRefill {

class FinestraAnagrafiche;

// The machines of "Anagrafiche": the list, and below it the machine being edited.
class SchedaApparecchi final : public QWidget {
    Q_OBJECT
public:
    explicit SchedaApparecchi(FinestraAnagrafiche& finestra);
    void ricarica();

private:
    void mostra(const Apparecchio& a);
    Apparecchio inModifica() const;

    FinestraAnagrafiche& m_finestra;
    QList<Apparecchio> m_elenco;
    qint64 m_id = 0;
    QTableWidget* m_tabella;
    QLineEdit* m_codice;
    QLineEdit* m_nome;
    QLineEdit* m_mobile;
    QLineEdit* m_codiceAdm;
    QComboBox* m_categoria;
    QSpinBox* m_tipo;
    QSpinBox* m_ordine;
    QCheckBox* m_inServizio;
};

} // namespace KaloRefill
