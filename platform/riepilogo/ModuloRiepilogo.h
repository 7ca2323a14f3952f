// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

// "Riepilogo Refill" as a module the program loads only when asked for it: the window and
// its printing (Qt Print Support, the search component's drawing) then cost nothing at
// the start of the refill form.

#include "host/HostApplication.h"

#include <QDate>

// The name the program looks the entry up by.
#define KALOREFILL_ENTRATA_RIEPILOGO "kalorefill_apri_riepilogo"

extern "C" {
// Shows the window for the period and runs the event loop until it is closed; returns the
// loop's exit code.
using KaloRefillApriRiepilogo = int (*)(const KaloRefill::HostApplicationPtr& host,
                                        const QDate& dal, const QDate& al);
}
