// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_database_export.h"

#include <QDate>
#include <QString>
#include <QTime>

namespace KaloRefill {

// What stands between the # of a date literal: a date written month first
// ("12/04/2026", "12-04-2026", also ISO "2026-12-04"), optionally followed by a time of
// day ("10:30", "10:30:00", "10:30 PM"), or a time of day alone.
class KALOREFILL_DATABASE_EXPORT JetDateLiteral final {
public:
    // Errore (database) when the text is not a valid date or time.
    static JetDateLiteral parse(const QString& interno);

    QDate date() const { return m_date; }
    QTime time() const { return m_time; }
    bool hasDate() const { return m_date.isValid(); }
    bool hasTime() const { return m_time.isValid(); }

private:
    QDate m_date;
    QTime m_time;
};

} // namespace KaloRefill
