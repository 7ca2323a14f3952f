// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <compare>
#include <cstdint>
#include <optional>

namespace KaloRefill {

// An exact amount of money: a 64-bit count of ten-thousandths, four decimals as the
// accounting has always kept them. Doubles only come in through explicit rounding.
class KALOREFILL_EXPORT Valuta {
public:
    constexpr Valuta() = default;

    static constexpr Valuta daDecimillesimi(std::int64_t decimillesimi) {
        Valuta v;
        v.m_decimillesimi = decimillesimi;
        return v;
    }
    // Rounds to four decimals, ties to the even neighbour; Errore 6 when out of range.
    static Valuta daDouble(double valore);
    // Numbers, amounts and numeric text ("12.50", "12,50"); Errore 94 on null, 13 on
    // anything that is not a number.
    static Valuta daVariant(const QVariant& valore);
    // The amount a decimal text ("12,50", "-3.1", "7,") stands for when an amount column
    // holds it exactly: at most 15 whole digits and 4 decimals, and a value that comes back
    // unchanged from the engine's storage (a double). Empty for anything else.
    static std::optional<Valuta> daTestoEsatto(const QString& testo);

    constexpr std::int64_t decimillesimi() const { return m_decimillesimi; }
    // Whole part and fraction apart, so that every amount a double holds comes out exact.
    double toDouble() const {
        return static_cast<double>(m_decimillesimi / 10000) + static_cast<double>(m_decimillesimi % 10000) / 10000.0;
    }
    constexpr bool isZero() const { return m_decimillesimi == 0; }

    // Shortest form: no trailing zeros, no thousands separator ("12,5", "15", "-0,3").
    QString testo(QChar separatoreDecimale = QLatin1Char(',')) const;

    // Errore 6 when the result leaves the 64-bit count.
    friend KALOREFILL_EXPORT Valuta operator+(Valuta a, Valuta b);
    friend KALOREFILL_EXPORT Valuta operator-(Valuta a, Valuta b);
    friend constexpr bool operator==(Valuta, Valuta) = default;
    friend constexpr auto operator<=>(Valuta, Valuta) = default;

private:
    std::int64_t m_decimillesimi = 0;
};

} // namespace KaloRefill

Q_DECLARE_METATYPE(KaloRefill::Valuta)
