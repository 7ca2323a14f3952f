// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/LayoutRefill.h"

#include <cmath>

namespace KaloRefill {

namespace {
// Sizes the window system refuses keep their value. NaN is refused as well.
void dimensione(float& proprieta, float valore) {
    if (valore >= 0)
        proprieta = valore;
}

void posizione(float& proprieta, float valore) {
    if (std::isfinite(valore))
        proprieta = valore;
}
} // namespace

// Single precision throughout, down to the fractions of a twip: no double literal below,
// or a whole step would silently move to double.
void LayoutRefill::applica(float W, float H) {
    const Twips::Rettangolo& dietro = CmdDietro;

    dimensione(Picture1.Width, W - 2 * Picture1.Left);
    posizione(FrmTastiera.Top, Picture1.Top + Picture1.Height);
    posizione(FrmApparecchi.Top, Picture1.Top + Picture1.Height);
    dimensione(FrmApparecchi.Height, H - FrmApparecchi.Top - 50);
    dimensione(FrmTastiera.Height, H - FrmTastiera.Top - 50);
    posizione(FrmTastiera.Left, Picture1.Left + Picture1.Width - FrmTastiera.Width);
    dimensione(FrmApparecchi.Width, W - 2 * FrmApparecchi.Left - FrmTastiera.Width - 50);

    const float C = (FrmApparecchi.Width - 2 * dietro.Left) / Colonne;
    const float R = (FrmApparecchi.Height - 2 * dietro.Top - dietro.Height) / Righe;

    posizione(FrmConto.Left, Picture1.Width - FrmConto.Width - 100);
    posizione(Image1.Left, FrmConto.Left - Image1.Width);

    // Written column by column, although numbered row by row.
    for (int c = 0; c < Colonne; ++c) {
        for (int r = 0; r < Righe; ++r) {
            Twips::Rettangolo& b = CmdApparecchio[std::size_t(Colonne * r + c)];
            posizione(b.Left, dietro.Left + float(c) * C);
            dimensione(b.Width, C);
            posizione(b.Top, dietro.Top + dietro.Height + float(r) * R);
            dimensione(b.Height, R);
        }
    }

    const float D = (FrmApparecchi.Width - 2 * dietro.Left) / 5;
    dimensione(CmdDietro.Width, D);
    dimensione(Opt1.Width, D);
    posizione(Opt1.Left, dietro.Left + D);
    dimensione(Opt2.Width, D);
    posizione(Opt2.Left, dietro.Left + 2 * D);
    dimensione(Opt3.Width, D);
    posizione(Opt3.Left, dietro.Left + 3 * D);
    dimensione(CmdAvanti.Width, D);
    posizione(CmdAvanti.Left, dietro.Left + 4 * D);
}

} // namespace KaloRefill
