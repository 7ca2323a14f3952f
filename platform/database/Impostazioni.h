// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

namespace KaloRefill {

class Connessione;

// The host's stored settings, by section and key, in the table impostazioni of the
// same file: every program working on the database sees the same choices.
class Impostazioni final {
public:
    explicit Impostazioni(Connessione& connessione) : m_connessione(connessione) {}

    // The stored value, or the default when none is stored. Errore 13 when the stored
    // text is not a number, 6 when it does not fit 16 bits.
    qint16 leggi(const QString& sezione, const QString& chiave, qint16 predefinito);
    void salva(const QString& sezione, const QString& chiave, qint16 valore);

    // Every stored value, read at once, by chiave(sezione, chiave).
    QHash<QString, QVariant> tutte();
    static QString chiave(const QString& sezione, const QString& chiave);
    // A stored value as leggi gives it.
    static qint16 valore(const QVariant& memorizzato, qint16 predefinito);

private:
    Connessione& m_connessione;
};

} // namespace KaloRefill
