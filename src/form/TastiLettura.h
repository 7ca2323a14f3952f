// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QString>
#include <QStringList>

class QKeyEvent;

// The keyboard as the refill form reads it: Windows virtual-key codes, whatever the
// platform, and the keypad tokens each code sends.
namespace KaloRefill::TastiLettura {

// The virtual-key code of a key event; 0 for a key the form has no use for. A code names
// a physical key, so the shift state does not change it: Shift+8 is the "8" key and
// Shift+comma the comma key. On Windows the event carries the code itself. Under X11 and
// Wayland (`piattaforma` "xcb", "wayland...") the native scan code names the physical key
// (evdev code + 8); elsewhere, or for an event without one, Qt's key stands in for it.
KALOREFILL_EXPORT int codiceVirtuale(const QKeyEvent& evento, const QString& piattaforma);
// The same for the running platform.
KALOREFILL_EXPORT int codiceVirtuale(const QKeyEvent& evento);

// The tokens a key release sends, in order; empty for any other key.
KALOREFILL_EXPORT QStringList tokenPerCodice(int codice);

} // namespace KaloRefill::TastiLettura
