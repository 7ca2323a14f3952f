// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace KaloRefill {

// A hopper that empties too fast is a fault to report (or worse): a machine is flagged
// when its refills in the last 7 days of the period are more than soglia times its
// weekly median over the 12 weeks before, and at least minimo.
class RegolaAllarme {
public:
    static constexpr int settimaneStorico = 12;
    static constexpr int minimo = 3;

    struct Esito {
        bool allarme = false;
        QString motivo;
    };

    // settimanePrecedenti: the refills of each of the 12 weeks before the last one.
    // A machine with no refill at all in those weeks has no history to compare with and
    // is not flagged: a machine just put into service would be, every time.
    static Esito valuta(int ultimaSettimana, const QList<int>& settimanePrecedenti, int soglia);

    // The median of the weekly counts (the mean of the two middle ones for an even
    // number of weeks).
    static double mediana(QList<int> conteggi);
};

} // namespace KaloRefill
