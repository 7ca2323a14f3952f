// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Recordset.h"

#include <QHash>
#include <QString>
#include <QVariant>

namespace KaloRefill {

// Operator codes turned into the names the operators know each other by, from the
// operators' table (codice, nome, cognome).
class NomiOperatori {
public:
    // Reads the set from its first row; a set without those columns gives no names.
    static NomiOperatori leggi(Recordset* operatori);

    void aggiungi(const QVariant& codice, const QString& nome);
    // "Nome Cognome" for a known code, nothing otherwise. Codes compare as text.
    QString nome(const QVariant& codice) const;
    bool vuoto() const { return m_nomi.isEmpty(); }

private:
    static QString chiave(const QVariant& codice);
    QHash<QString, QString> m_nomi;
};

} // namespace KaloRefill
