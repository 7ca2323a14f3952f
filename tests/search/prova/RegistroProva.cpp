// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "RegistroProva.h"

RegistroProva& RegistroProva::istanza() {
    static RegistroProva registro;
    return registro;
}
