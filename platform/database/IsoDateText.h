// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_database_export.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

namespace KaloRefill {

// How dates and times are kept in the file: ISO text that sorts and compares as the
// moment it names. A moment at midnight is kept as the date alone, the way the original
// database told a plain date from a date with a time of day; a date literal therefore
// finds only rows with no time of day.
class KALOREFILL_DATABASE_EXPORT IsoDateText final {
public:
    static QString data(const QDate& data); // 2026-12-04
    static QString ora(const QTime& ora);   // 10:30:00
    static QString momento(const QDate& data,
                           const QTime& ora); // 2026-12-04 10:30:00 or 2026-12-04
    static QString momento(const QDateTime& momento);

    // Reading back: a null variant when the text is not one of the forms above.
    static QVariant leggiData(const QString& testo);    // QDate, or QDateTime with a time of day
    static QVariant leggiMomento(const QString& testo); // QDateTime
    static QVariant leggiOra(const QString& testo);     // QTime
};

} // namespace KaloRefill
