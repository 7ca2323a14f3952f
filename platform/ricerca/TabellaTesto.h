// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QString>
#include <QStringList>

namespace KaloRefill {

// What a list shows at this moment, as text: the columns in the operator's order, the
// rows left by the filter in the order of the sort, and the totals of the amounts.
// Printing and the exports work from it, so they give what is on screen.
struct TabellaTesto {
    QString titolo;
    QStringList intestazioni;
    QList<bool> importi; // per column: an amount, lined up on the right and totalled
    QList<QStringList> righe;
    // Same length as intestazioni: "Totale" and the sums; empty without amount columns.
    QStringList totale;

    // From a model giving ModelloRighe's roles (directly or through a proxy); colonne
    // are the model's columns in the order to show them.
    static TabellaTesto daModello(const QAbstractItemModel& modello, const QList<int>& colonne,
                                  const QString& titolo);
};

} // namespace KaloRefill
