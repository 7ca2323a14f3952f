#include "RegistroProva.h"

RegistroProva& RegistroProva::istanza() {
    static RegistroProva registro;
    return registro;
}
