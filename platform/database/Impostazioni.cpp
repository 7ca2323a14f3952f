// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Impostazioni.h"

#include "Connessione.h"
#include "host/Errore.h"

#include <limits>

namespace KaloRefill {

qint16 Impostazioni::leggi(const QString& sezione, const QString& chiave, qint16 predefinito) {
    const auto risultato = m_connessione.leggi(
        QStringLiteral("SELECT valore FROM impostazioni WHERE sezione = ? AND chiave = ?"),
        {sezione, chiave});
    return valore(risultato.righe.isEmpty() ? QVariant() : risultato.righe.at(0).value(0), predefinito);
}

QHash<QString, QVariant> Impostazioni::tutte() {
    QHash<QString, QVariant> valori;
    const auto risultato = m_connessione.leggi(QStringLiteral("SELECT sezione, chiave, valore FROM impostazioni"));
    for (const QVariantList& riga : risultato.righe)
        valori.insert(chiave(riga.value(0).toString(), riga.value(1).toString()), riga.value(2));
    return valori;
}

QString Impostazioni::chiave(const QString& sezione, const QString& chiave) {
    // Sections and keys compare as the table's text columns do: without case.
    return sezione.toLower() + QLatin1Char('\n') + chiave.toLower();
}

qint16 Impostazioni::valore(const QVariant& valore, qint16 predefinito) {
    if (valore.isNull())
        return predefinito;
    bool ok = false;
    const qlonglong numero = valore.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw Errore::tipoNonCorrispondente();
    if (numero < std::numeric_limits<qint16>::min() || numero > std::numeric_limits<qint16>::max())
        throw Errore::overflow();
    return static_cast<qint16>(numero);
}

void Impostazioni::salva(const QString& sezione, const QString& chiave, qint16 valore) {
    m_connessione.esegui(
        QStringLiteral("INSERT INTO impostazioni (sezione, chiave, valore) VALUES (?, ?, ?) "
                       "ON CONFLICT (sezione, chiave) DO UPDATE SET valore = excluded.valore"),
        {sezione, chiave, QString::number(valore)});
}

} // namespace KaloRefill
