// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "TipoColonna.h"

#include <QString>

namespace KaloRefill {

// A column of a set: what the module calls it, what the engine calls it, and its kind.
struct ColonnaInsieme {
    QString nome;       // as the statement names it
    QString nomeMotore; // as the engine names it
    TipoColonna tipo = TipoColonna::Libero;
};

} // namespace KaloRefill
