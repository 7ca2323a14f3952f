// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "controlli/Pin.h"

#include "host/Errore.h"

#include <sodium.h>

namespace KaloRefill::Pin {

namespace {
void inizializza() {
    static const bool pronto = sodium_init() >= 0;
    if (!pronto)
        throw Errore::database(QStringLiteral("Libreria crittografica non disponibile"));
}
} // namespace

QString hash(const QString& pin) {
    inizializza();
    const QByteArray testo = pin.toUtf8();
    char risultato[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(risultato, testo.constData(), static_cast<unsigned long long>(testo.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw Errore(7, QStringLiteral("Memoria esaurita"));
    return QString::fromLatin1(risultato);
}

bool verifica(const QString& hash, const QString& pin) {
    inizializza();
    if (hash.isEmpty())
        return false;
    const QByteArray h = hash.toLatin1();
    const QByteArray testo = pin.toUtf8();
    return crypto_pwhash_str_verify(h.constData(), testo.constData(),
                                    static_cast<unsigned long long>(testo.size())) == 0;
}

bool valido(const QString& pin) {
    if (pin.size() < 4 || pin.size() > 8)
        return false;
    for (const QChar c : pin)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace KaloRefill::Pin
