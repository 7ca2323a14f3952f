// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FiltroRighe.h"

#include "ConfrontoValori.h"
#include "ModelloRighe.h"

namespace KaloRefill {

FiltroRighe::FiltroRighe(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(ModelloRighe::RuoloOrdinamento);
    setFilterKeyColumn(-1);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
}

void FiltroRighe::setTesto(const QString& testo) {
    const QString cercato = testo.trimmed();
    if (cercato == m_testo)
        return;
    m_testo = cercato;
    if (!m_testo.isEmpty())
        caricaTutto();
    invalidateFilter();
}

void FiltroRighe::sort(int colonna, Qt::SortOrder ordine) {
    if (colonna >= 0)
        caricaTutto();
    QSortFilterProxyModel::sort(colonna, ordine);
}

void FiltroRighe::caricaTutto() {
    if (auto* modello = qobject_cast<ModelloRighe*>(sourceModel()))
        modello->caricaTutto();
}

bool FiltroRighe::filterAcceptsRow(int riga, const QModelIndex& genitore) const {
    if (m_testo.isEmpty())
        return true;
    const QAbstractItemModel* sorgente = sourceModel();
    const int colonne = sorgente->columnCount(genitore);
    for (int c = 0; c < colonne; ++c) {
        if (sorgente->index(riga, c, genitore)
                .data(Qt::DisplayRole)
                .toString()
                .contains(m_testo, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool FiltroRighe::lessThan(const QModelIndex& sinistra, const QModelIndex& destra) const {
    return ConfrontoValori::minore(sinistra.data(sortRole()), destra.data(sortRole()));
}

} // namespace KaloRefill
