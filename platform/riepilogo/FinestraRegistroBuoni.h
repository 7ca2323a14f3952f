// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "RegistroBuoni.h"

#include <QWidget>

class QDateEdit;
class QLabel;
class QTableWidget;

namespace KaloRefill {

// The "Registro buoni" window: the period at the top, a row per slip number, the numbers
// missing and the totals underneath, and "Stampa", "PDF", "CSV" and "Chiudi" at the foot.
class FinestraRegistroBuoni : public QWidget {
    Q_OBJECT
public:
    FinestraRegistroBuoni(HostApplicationPtr host, const QDate& dal, const QDate& al, QWidget* parent = nullptr);

    void aggiorna();
    // The report written to a file; false (and a box) when it cannot be.
    bool salvaPdf(const QString& percorso);
    bool salvaCsv(const QString& percorso);

    QTableWidget* tabella() const { return m_tabella; }
    QLabel* riepilogo() const { return m_riepilogo; }

private:
    void stampa();

    HostApplicationPtr m_host;
    QDateEdit* m_dal = nullptr;
    QDateEdit* m_al = nullptr;
    QTableWidget* m_tabella = nullptr;
    QLabel* m_riepilogo = nullptr;
    std::unique_ptr<RegistroBuoni> m_registro;
};

} // namespace KaloRefill
