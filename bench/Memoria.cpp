// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Memoria.h"

#include <sys/resource.h>

namespace Memoria {

long piccoProcesso() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

long piccoFigli() {
    rusage uso{};
    getrusage(RUSAGE_CHILDREN, &uso);
    return uso.ru_maxrss;
}

} // namespace Memoria
