// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

class QWidget;

namespace KaloRefill {

// Sizes a window of the hall's set-up for a finger: every control at least 48 px high
// (44 px is the least a fingertip hits reliably) and a larger font.
class DimensioniTocco final {
public:
    static constexpr int latoMinimo = 48;
    static void applica(QWidget* finestra);
};

} // namespace KaloRefill
