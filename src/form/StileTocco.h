// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QProxyStyle>

namespace KaloRefill {

// The look every window of the program gets, for a finger on a touch screen: whatever a
// person can press (push and tool buttons, check boxes, combo and spin boxes, fields, menu
// items, tabs, headings, list rows, scroll bars, a spin box's two buttons, the days and
// arrows of a calendar, splitter handles) is at least 44 x 44 pixels at 96 dpi,
// more on a denser screen. Qt's own dialogs (message boxes, files, printing) take their
// sizes from the style, so they follow without a line of their own.
class KALOREFILL_EXPORT StileTocco final : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int LatoMinimo = 44;

    // base: the style to wrap (taken over); the application's kind of style when null.
    explicit StileTocco(QStyle* base = nullptr);

    // Once per application, by the module's Start and by the program: this style, Qt's
    // own dialogs instead of the desktop's (so they can be sized and are in Italian) and
    // Qt's Italian texts for their standard buttons and captions.
    static void installa();

    // The least side of a control on the screen the widget is on (or the main one).
    static int lato(const QWidget* widget);

    QSize sizeFromContents(ContentsType tipo, const QStyleOption* opzione, const QSize& contenuto,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metrica, const QStyleOption* opzione,
                    const QWidget* widget) const override;
    void polish(QWidget* widget) override;
    using QProxyStyle::polish;
    QRect subControlRect(ComplexControl controllo, const QStyleOptionComplex* opzione,
                         SubControl parte, const QWidget* widget) const override;
    void drawComplexControl(ComplexControl controllo, const QStyleOptionComplex* opzione,
                            QPainter* pittore, const QWidget* widget) const override;
    int styleHint(StyleHint suggerimento, const QStyleOption* opzione, const QWidget* widget,
                  QStyleHintReturn* ritorno) const override;
};

} // namespace KaloRefill
