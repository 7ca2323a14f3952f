// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SogliaFrequenza.h"

#include <algorithm>

namespace KaloRefill {

int SogliaFrequenza::leggi(HostApplication& host) {
    const int valore = host.leggisettaggio(sezione(), chiave(), predefinita);
    return valore >= minima && valore <= massima ? valore : predefinita;
}

void SogliaFrequenza::salva(HostApplication& host, int soglia) {
    host.salvasettaggio(sezione(), chiave(),
                        static_cast<qint16>(std::clamp(soglia, minima, massima)));
}

} // namespace KaloRefill
