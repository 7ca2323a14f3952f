// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QColor>

// The colours the form paints its machine buttons with.
namespace KaloRefill::Colori {
inline const QColor SenzaImporto{0, 128, 128};  // teal: a machine with no refill yet
inline const QColor ConImporto{0, 192, 0};      // green: a machine with an amount
inline const QColor InInserimento{192, 192, 0}; // dark yellow: the entry being typed
} // namespace KaloRefill::Colori
