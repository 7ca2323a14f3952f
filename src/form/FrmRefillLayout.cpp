// Laying the form out again for its present size.

#include "Etichetta.h"
#include "FrmRefill.h"
#include "LayoutRefill.h"
#include "PulsanteGrafico.h"
#include "Twips.h"

#include <QFrame>

#include <utility>
#include <vector>

namespace KaloRefill {

void FrmRefill::Form_Resize() {
    if (!Picture1)
        return; // no controls yet

    LayoutRefill posti;
    std::vector<std::pair<QWidget*, Twips::Rettangolo*>> controlli = {
        {Picture1, &posti.Picture1},
        {FrmTastiera, &posti.FrmTastiera},
        {FrmApparecchi, &posti.FrmApparecchi},
        {CmdDietro, &posti.CmdDietro},
        {Opt1, &posti.Opt1},
        {Opt2, &posti.Opt2},
        {Opt3, &posti.Opt3},
        {CmdAvanti, &posti.CmdAvanti},
        {FrmConto, &posti.FrmConto},
        {Image1, &posti.Image1},
    };
    for (std::size_t i = 0; i < CmdApparecchio.size(); ++i)
        controlli.emplace_back(CmdApparecchio[i], &posti.CmdApparecchio[i]);

    // The layout starts from the places last written, in twips, not from pixels: a size
    // it refused keeps its exact value.
    for (auto& [controllo, posto] : controlli)
        *posto = Twips::di(controllo);

    // Logical pixels: on a high-DPI screen Qt already scales them, so 15 twips to a logical
    // pixel holds at any scale factor and the form keeps its proportions.
    posti.applica(Twips::daPixel(width()), Twips::daPixel(height()));

    for (auto& [controllo, posto] : controlli)
        Twips::posiziona(controllo, *posto);
}

} // namespace KaloRefill
