// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QString>
#include <QVariant>

// How the form reads and writes numbers and values as text. Amounts on the form are
// text with a decimal comma; two readings of such a text exist and they are not
// interchangeable.
namespace KaloRefill::Letture {

// The whole-number reading: "." is the only decimal point, blanks are skipped, and the
// reading stops at the first character that cannot continue the number — so it stops at
// the comma ("12,50" reads 12, "0,50" reads 0, "" reads 0, "-3" reads -3).
KALOREFILL_EXPORT double letturaIntera(const QString& testo);

// The amount reading: "," is the decimal separator, blanks around the number and a
// trailing comma are allowed ("0," is 0). Errore 13 when the text is not a number.
KALOREFILL_EXPORT double letturaImporto(const QString& testo);

// A calculator result: rounded to two decimals (ties to the even neighbour), shortest
// form, decimal comma, no thousands separator ("12,5", "20", "3,33", "-4,25").
KALOREFILL_EXPORT QString testoRisultato(double valore);

// A value in its default text form: numbers in the shortest form with a decimal comma
// and at most 15 significant digits, dates as dd/MM/yyyy, null as the empty text.
KALOREFILL_EXPORT QString testoPredefinito(const QVariant& valore);

// A date as the operator reads it: "04/12/2026".
KALOREFILL_EXPORT QString dataBreve(const QDate& data);

// A 16-bit integer from a value, as the form converts captions and settings; Errore 13
// when it is not a number, Errore 6 when it does not fit.
KALOREFILL_EXPORT qint16 intero16(const QVariant& valore);

// True for a value the database calls true: any non-zero number; null is false.
KALOREFILL_EXPORT bool vero(const QVariant& valore);

} // namespace KaloRefill::Letture
