// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QSortFilterProxyModel>
#include <QString>

namespace KaloRefill {

// What the table shows of a ModelloRighe: the rows where some column, as shown, holds
// the text typed in the filter bar (without regard to case, blanks at the ends left
// out), sorted by the values themselves rather than by their texts.
// The filter matches the texts as shown (operator names, Italian dates and amounts),
// which the database cannot compare, so a filter or a sort first reads every row of
// the list; opening and scrolling never do.
class FiltroRighe final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FiltroRighe(QObject* parent = nullptr);

    void setTesto(const QString& testo);
    const QString& testo() const { return m_testo; }

    void sort(int colonna, Qt::SortOrder ordine = Qt::AscendingOrder) override;

protected:
    bool filterAcceptsRow(int riga, const QModelIndex& genitore) const override;
    bool lessThan(const QModelIndex& sinistra, const QModelIndex& destra) const override;

private:
    void caricaTutto();

    QString m_testo;
};

} // namespace KaloRefill
