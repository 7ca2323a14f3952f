// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QSize>

class QWidget;

namespace KaloRefill::DimensioneFinestra {

// Places a window before it is shown: at its natural size, centred, when the screen has
// room for it; maximised (over the whole free area) on a smaller screen; full screen on a
// workstation set so (a cash desk). Never larger than the screen, whatever its minimum.
KALOREFILL_EXPORT void adatta(QWidget* finestra, QSize naturale);

// The workstation's choice: windows full screen. Kept in the program's configuration file,
// section "Finestre", key "SchermoIntero" (true or false).
KALOREFILL_EXPORT bool schermoIntero();

} // namespace KaloRefill::DimensioneFinestra
