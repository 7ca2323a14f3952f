// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "TipoColonna.h"

#include <QVariant>

namespace KaloRefill {

// Values between the module and the columns, converted the way the original database
// did: text to numbers with either decimal separator, 16-bit integers to booleans,
// amounts exact to four decimals, dates as the ISO text the file keeps.
class ConversioneValori final {
public:
    // The value to store: qint64, double, QString or null. Errore 13 when the value does
    // not fit the column ("abc" into an amount), 6 when it is out of the column's range.
    static QVariant perScrittura(TipoColonna tipo, const QVariant& valore);
    // A stored value as the module reads it: QDate, QDateTime, QTime, qint64, double
    // rounded to four decimals, QString, or a null QVariant.
    static QVariant perLettura(TipoColonna tipo, const QVariant& grezzo);
};

} // namespace KaloRefill
