// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QRect>

class QWidget;

namespace KaloRefill {

// The form's unit: 1440 twips to the inch, 15 to a logical pixel. Controls keep their
// place in twips (single precision, as the layout computes it) in a dynamic property,
// so the layout always reads what it last wrote, not a value rounded to pixels.
class KALOREFILL_EXPORT Twips {
public:
    static constexpr int PerPixel = 15;
    static constexpr const char* Proprieta = "twips";

    struct Rettangolo {
        float Left = 0;
        float Top = 0;
        float Width = 0;
        float Height = 0;
    };

    static float daPixel(int pixel) { return static_cast<float>(pixel * PerPixel); }
    // Whole pixels. Edges are rounded, not sizes, so controls that tile in twips tile in
    // pixels too, with no gap or overlap between neighbours.
    static QRect inPixel(const Rettangolo& r);

    // Places the control and remembers its twips.
    static void posiziona(QWidget* controllo, const Rettangolo& r);
    // The control's twips as last placed; from its pixel geometry if it never was.
    static Rettangolo di(const QWidget* controllo);
};

} // namespace KaloRefill
