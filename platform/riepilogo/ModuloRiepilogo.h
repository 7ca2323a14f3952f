// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

// "Riepilogo Refill" as a module the program loads only when asked for it: the window and
// its printing (Qt Print Support, the search component's drawing) then cost nothing at
// the start of the refill form.

#include "host/HostApplication.h"

#include <QDate>

// The names the program looks the entries up by: "Riepilogo Refill" and "Registro buoni".
#define KALOREFILL_ENTRATA_RIEPILOGO "kalorefill_apri_riepilogo"
#define KALOREFILL_ENTRATA_REGISTRO "kalorefill_apri_registro"

extern "C" {
// Shows the window (of either entry) for the period and runs the event loop until it is closed; returns the
// loop's exit code.
using KaloRefillApriRiepilogo = int (*)(const KaloRefill::HostApplicationPtr& host,
                                        const QDate& dal, const QDate& al);
}
