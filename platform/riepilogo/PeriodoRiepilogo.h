// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDate>

namespace KaloRefill {

// The periods the manager picks with one touch, counted from the working date.
struct PeriodoRiepilogo {
    QDate dal;
    QDate al;

    // Monday of the working date's week up to the working date.
    static PeriodoRiepilogo questaSettimana(const QDate& oggi);
    // The first of the month up to the working date.
    static PeriodoRiepilogo questoMese(const QDate& oggi);
    // The whole previous month.
    static PeriodoRiepilogo meseScorso(const QDate& oggi);
};

} // namespace KaloRefill
