// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The program's configuration files, QSettings INI files read in turn: the workstation's
// own ($XDG_CONFIG_HOME/kalorefill/kalorefill.conf) and, for what it leaves out, the one
// an administrator writes for every account of a cash desk (kalorefill/kalorefill.conf in
// each folder of $XDG_CONFIG_DIRS, /etc/xdg by default).
namespace KaloRefill::FileConfigurazione {

KALOREFILL_EXPORT QString utente();
KALOREFILL_EXPORT QStringList sistema();
// The value of `chiave` in the first file that holds it; empty when none does.
KALOREFILL_EXPORT std::optional<QVariant> leggi(const QString& chiave);

} // namespace KaloRefill::FileConfigurazione
