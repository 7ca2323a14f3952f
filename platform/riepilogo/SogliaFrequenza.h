// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"

namespace KaloRefill {

// The multiplier of the frequency alert, kept by the host beside the save-confirmation
// choice (section "Refill").
class SogliaFrequenza {
public:
    static constexpr int predefinita = 2;
    static constexpr int minima = 1;
    static constexpr int massima = 20;

    // The stored multiplier; out-of-range values stored by hand give the default.
    static int leggi(HostApplication& host);
    static void salva(HostApplication& host, int soglia);

    static QString sezione() { return QStringLiteral("Refill"); }
    static QString chiave() { return QStringLiteral("SogliaFrequenza"); }
};

} // namespace KaloRefill
