#pragma once

#include "kalorefill_export.h"

#include <QStringList>

class QKeyEvent;

// The keyboard as the refill form reads it: Windows virtual-key codes, whatever the
// platform, and the keypad tokens each code sends.
namespace KaloRefill::TastiLettura {

// The virtual-key code of a key event; 0 for a key the form has no use for. Shift is
// ignored: Shift+8 is the "8" key. On Windows the event carries the code itself;
// elsewhere Qt's key (with the keypad modifier) or the digit row's scan code gives it.
KALOREFILL_EXPORT int codiceVirtuale(const QKeyEvent& evento);

// The tokens a key release sends, in order; empty for any other key.
KALOREFILL_EXPORT QStringList tokenPerCodice(int codice);

} // namespace KaloRefill::TastiLettura
