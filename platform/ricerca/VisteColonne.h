// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Recordset.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace KaloRefill {

// How an operator left the columns of a list: kept in the views table (viste: id,
// modulo, utente, colonna, posizione, larghezza), one row per list, operator and column,
// so the list opens again the same way.
class VisteColonne {
public:
    struct Colonna {
        QString campo;
        int posizione = -1; // visual order, from 0
        int larghezza = 0;  // in pixels; 0 for a column the operator hid, -1 unknown
        friend bool operator==(const Colonna&, const Colonna&) = default;
    };

    VisteColonne(RecordsetPtr viste, QString modulo, QVariant utente);

    // False when there is no views set or it lacks the columns above: then nothing is
    // read or written.
    bool utilizzabile() const { return m_utilizzabile; }

    // The columns stored for this list and operator.
    QList<Colonna> leggi() const;
    // Stores the columns: rows that changed are updated, missing ones are added.
    void salva(const QList<Colonna>& colonne) const;

private:
    bool perQuestaLista() const;

    RecordsetPtr m_viste;
    QString m_modulo;
    QString m_utente;
    bool m_utilizzabile = false;
};

} // namespace KaloRefill
