// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "form/Twips.h"
#include "kalorefill_export.h"

#include <array>

namespace KaloRefill {

// The places, in twips, of the controls that follow the form's size: the black band on
// top, the keypad frame pinned to the right at its own width, and the machine frame with
// its 4 x 4 grid and its top row filling the rest. No widgets here, so the arithmetic can
// be checked without a window.
struct KALOREFILL_EXPORT LayoutRefill {
    static constexpr int Colonne = 4;
    static constexpr int Righe = 4;

    Twips::Rettangolo Picture1;
    Twips::Rettangolo FrmTastiera;
    Twips::Rettangolo FrmApparecchi;
    std::array<Twips::Rettangolo, Colonne * Righe> CmdApparecchio{};
    Twips::Rettangolo CmdDietro;
    Twips::Rettangolo Opt1;
    Twips::Rettangolo Opt2;
    Twips::Rettangolo Opt3;
    Twips::Rettangolo CmdAvanti;
    Twips::Rettangolo FrmConto;
    Twips::Rettangolo Image1;

    // Lays everything out for an inner size of W x H twips. Every step reads what the
    // earlier ones wrote. A width or height that would come out negative (a tiny or
    // minimised window) is not written: the old value stays and later steps read it.
    void applica(float W, float H);
};

} // namespace KaloRefill
