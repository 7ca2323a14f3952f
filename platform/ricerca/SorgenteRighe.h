// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Recordset.h"

#include <QList>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace KaloRefill {

// The rows of a recordset, read page by page as the list needs them, so that opening a
// list costs the same however long its history. A set that cannot hand out pages is
// walked from its first row instead, one page at a time.
class SorgenteRighe {
public:
    // No set: no columns and no rows.
    SorgenteRighe() = default;
    // Reads the column names; a failure of the set is thrown.
    explicit SorgenteRighe(RecordsetPtr righe);

    const QStringList& campi() const { return m_campi; }
    // The column of a field, compared without regard to case; -1 when there is none.
    // "DataIncasso" also finds "NoteIncassi.DataIncasso".
    int colonna(const QString& campo) const;

    // The next rows, up to `quante`, each with a value for every column; fewer (or
    // none) at the end. A failure of the set is thrown.
    QList<QVariantList> prossime(int quante);
    bool finita() const { return m_finita; }

    // The number of rows, then the sum of each field, from the set's own summary;
    // nothing when the set has none.
    std::optional<QVariantList> riepilogo(const QStringList& campiDaSommare);
    // The statement the rows come from; empty when the set does not say.
    QString sorgente() const;

private:
    QList<QVariantList> percorri(int quante);

    RecordsetPtr m_righe;
    QStringList m_campi;
    qint64 m_lette = 0;
    bool m_finita = true;
    bool m_aPagine = true;
    bool m_percorsoIniziato = false;
};

} // namespace KaloRefill
