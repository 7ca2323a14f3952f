#include "CaratteriInAnticipo.h"

#ifdef KALOREFILL_CON_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace KaloRefill {

CaratteriInAnticipo::CaratteriInAnticipo() {
#ifdef KALOREFILL_CON_FONTCONFIG
    // FcInit only loads the default configuration; Qt later finds it already current.
    m_filo = std::thread([] { FcInit(); });
#endif
}

CaratteriInAnticipo::~CaratteriInAnticipo() { attendi(); }

void CaratteriInAnticipo::attendi() {
    if (m_filo.joinable())
        m_filo.join();
}

} // namespace KaloRefill
