// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QString>

namespace KaloRefill::Pin {

// A PIN is never stored: only its Argon2id hash (libsodium's crypto_pwhash_str, salt and
// cost inside the text), slow on purpose so a copied database does not give the PINs away.
KALOREFILL_EXPORT QString hash(const QString& pin);
KALOREFILL_EXPORT bool verifica(const QString& hash, const QString& pin);
// 4 to 8 digits.
KALOREFILL_EXPORT bool valido(const QString& pin);

} // namespace KaloRefill::Pin
