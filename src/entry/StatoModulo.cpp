// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "entry/StatoModulo.h"

namespace KaloRefill {

StatoModulo& StatoModulo::istanza() {
    static StatoModulo stato;
    return stato;
}

} // namespace KaloRefill
