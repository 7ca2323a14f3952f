// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Laying the form out again for its present size.

#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/LayoutRefill.h"
#include "form/PulsanteGrafico.h"
#include "form/Twips.h"

#include <QFont>
#include <QFrame>
#include <QVariant>

#include <algorithm>
#include <utility>
#include <vector>

namespace KaloRefill {

namespace {
// The point size a keypad control was created with, kept while the keypad is shrunk.
constexpr const char* PuntiCreati = "puntiCreati";
} // namespace

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
    adattaTastiera(posti.FrmTastiera.Height);
}

// The keypad's controls keep their created places whenever the frame is tall enough for
// them. On a shorter window (a 768-pixel screen less its panel and title bar) they shrink
// together, in proportion and centred, instead of running off the bottom; their twips stay
// the created ones, so a taller window puts them back exactly.
void FrmRefill::adattaTastiera(float altezzaCornice) {
    const float fattore = std::clamp(altezzaCornice / AltezzaTastiera, 0.0f, 1.0f);
    const float margine = Twips::di(FrmTastiera).Width * (1 - fattore) / 2;
    for (QWidget* controllo : FrmTastiera->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (controllo->isWindow())
            continue;
        const Twips::Rettangolo creato = Twips::di(controllo);
        controllo->setGeometry(Twips::inPixel({margine + creato.Left * fattore, creato.Top * fattore,
                                               creato.Width * fattore, creato.Height * fattore}));
        // The buttons fit their captions themselves; the date and its labels need their
        // type made smaller with them.
        if (qobject_cast<PulsanteGrafico*>(controllo))
            continue;
        if (!controllo->property(PuntiCreati).isValid())
            controllo->setProperty(PuntiCreati, controllo->font().pointSizeF());
        QFont carattere = controllo->font();
        carattere.setPointSizeF(controllo->property(PuntiCreati).toReal() * fattore);
        controllo->setFont(carattere);
    }
}

} // namespace KaloRefill
