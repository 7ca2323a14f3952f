#include "StatoModulo.h"

namespace KaloRefill {

StatoModulo& StatoModulo::istanza() {
    static StatoModulo stato;
    return stato;
}

} // namespace KaloRefill
