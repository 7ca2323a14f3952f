// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QFont>
#include <QSize>
#include <QStringList>

class QPaintDevice;

namespace KaloRefill {

// How a button's caption fits its area, without a widget: a line per line break, each
// wrapped between words only. When it does not fit, the type gets smaller first, a point at
// a time down to PuntiMinimi; a single word still wider than the area at that size is
// shortened with an ellipsis on its own line rather than broken over two, and lines that
// still do not fit are cut at the bottom, so the first line (a machine's code) stays in view.
class KALOREFILL_EXPORT Didascalia {
public:
    static constexpr qreal PuntiMinimi = 6;

    struct Composizione {
        QFont font;        // the caption's font at the size it is drawn at
        QStringList righe; // the lines to draw, top to bottom
        qreal altezzaRiga = 0;
        bool intera = false; // every word whole and every line in the area
    };

    // `testo` with "\n" for line breaks; `dispositivo` gives the resolution (the screen's
    // when null).
    static Composizione componi(const QString& testo, const QFont& font, const QSize& area,
                                const QPaintDevice* dispositivo = nullptr);
};

} // namespace KaloRefill
