#pragma once

#include "host/Recordset.h"

#include <QList>
#include <QStringList>
#include <QVariant>

namespace KaloRefill {

// The rows of a recordset, read once when the list opens: the list sorts and filters
// them without going back to the host.
class TabellaRighe {
public:
    TabellaRighe() = default;
    TabellaRighe(QStringList campi, QList<QVariantList> righe);

    // Every row of the set from its first one; an empty set is just read as empty.
    static TabellaRighe leggi(Recordset& righe);

    const QStringList& campi() const { return m_campi; }
    const QList<QVariantList>& righe() const { return m_righe; }
    qsizetype numeroRighe() const { return m_righe.size(); }
    const QVariant& valore(qsizetype riga, qsizetype colonna) const;

    // The column of a field, compared without regard to case; -1 when there is none.
    // "DataIncasso" also finds "NoteIncassi.DataIncasso".
    int colonna(const QString& campo) const;

    // Amount columns: refillgestore, and any column whose values are all amounts.
    bool eImporto(int colonna) const;

private:
    QStringList m_campi;
    QList<QVariantList> m_righe;
    QList<bool> m_importi;
};

} // namespace KaloRefill
