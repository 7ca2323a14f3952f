// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

namespace KaloRefill {

// For timing the start-up from outside: once the first window has been painted, writes
// the moment (CLOCK_MONOTONIC nanoseconds, one line on standard output) and closes every
// window, so the program ends by itself. Used only when the variable named here is set.
namespace UscitaDopoDisegno {

inline constexpr const char* variabile = "KALOREFILL_ESCI_DOPO_DISEGNO";

// Arranges it when the variable is set; otherwise does nothing.
void installaSeRichiesto();

} // namespace UscitaDopoDisegno

} // namespace KaloRefill
