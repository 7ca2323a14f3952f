// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "PeriodoRiepilogo.h"

namespace KaloRefill {

PeriodoRiepilogo PeriodoRiepilogo::questaSettimana(const QDate& oggi) {
    return {oggi.addDays(1 - oggi.dayOfWeek()), oggi};
}

PeriodoRiepilogo PeriodoRiepilogo::questoMese(const QDate& oggi) {
    return {QDate(oggi.year(), oggi.month(), 1), oggi};
}

PeriodoRiepilogo PeriodoRiepilogo::meseScorso(const QDate& oggi) {
    const QDate primo = QDate(oggi.year(), oggi.month(), 1).addMonths(-1);
    return {primo, primo.addDays(primo.daysInMonth() - 1)};
}

} // namespace KaloRefill
