#pragma once

#include "NomiOperatori.h"
#include "TabellaRighe.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace KaloRefill {

// The rows of a list as the table shows them: Italian texts, readable headings and
// operator names, with the values as read kept for sorting and for the answer.
class ModelloRighe final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Ruolo {
        // The value as the recordset gave it.
        RuoloValore = Qt::UserRole,
        // What the column sorts by: the value, or the name shown for an operator code.
        RuoloOrdinamento,
        // Headers: the field name as the recordset gave it.
        RuoloCampo,
        // Headers: true for an amount column.
        RuoloImporto,
    };

    ModelloRighe(TabellaRighe tabella, const NomiOperatori& operatori, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;

    const TabellaRighe& tabella() const { return m_tabella; }

private:
    TabellaRighe m_tabella;
    QList<QStringList> m_testi;
    int m_colonnaOperatore = -1;
};

} // namespace KaloRefill
