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
