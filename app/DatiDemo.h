// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDate>

namespace KaloRefill {

class HostApplication;

// The demo hall: what a first run of the program shows, written into a new, empty
// KaloRefill database through the host's own recordsets, exactly as the suite and the
// refill form would have written it. The same working date always gives the same data.
class DatiDemo {
public:
    // One venue, its account associations and operators, forty active refill machines
    // plus some the form must not list, and the refills of the three days before
    // dataLavoro (the oldest one closed). Throws Errore when the database is not empty
    // or refuses a write.
    static void riempi(HostApplication& host, const QDate& dataLavoro);
};

} // namespace KaloRefill
