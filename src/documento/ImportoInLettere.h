// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Valuta.h"
#include "kalorefill_export.h"

#include <QString>

namespace KaloRefill::ImportoInLettere {

// An amount in Italian words, as written on a cheque: "duecentocinquanta euro e
// cinquanta centesimi", "un euro", "ventitré euro". Cents are rounded half up; the
// amount's sign is left out.
KALOREFILL_EXPORT QString testo(const Valuta& importo);
// A whole number in words: 1 "uno", 21 "ventuno", 1000 "mille", 2001 "duemilauno".
KALOREFILL_EXPORT QString numero(qint64 n);

} // namespace KaloRefill::ImportoInLettere
