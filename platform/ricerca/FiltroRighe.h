#pragma once

#include <QSortFilterProxyModel>
#include <QString>

namespace KaloRefill {

// What the table shows of a ModelloRighe: the rows where some column, as shown, holds
// the text typed in the filter bar (without regard to case, blanks at the ends left
// out), sorted by the values themselves rather than by their texts.
class FiltroRighe final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FiltroRighe(QObject* parent = nullptr);

    void setTesto(const QString& testo);
    const QString& testo() const { return m_testo; }

protected:
    bool filterAcceptsRow(int riga, const QModelIndex& genitore) const override;
    bool lessThan(const QModelIndex& sinistra, const QModelIndex& destra) const override;

private:
    QString m_testo;
};

} // namespace KaloRefill
