// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/Twips.h"

#include <QRectF>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace KaloRefill {

namespace {
int pixel(double twips) {
    return static_cast<int>(std::lround(twips / Twips::PerPixel));
}
} // namespace

QRect Twips::inPixel(const Rettangolo& r) {
    const int sinistra = pixel(r.Left);
    const int alto = pixel(r.Top);
    const int destra = pixel(double(r.Left) + double(r.Width));
    const int basso = pixel(double(r.Top) + double(r.Height));
    return {sinistra, alto, destra - sinistra, basso - alto};
}

void Twips::posiziona(QWidget* controllo, const Rettangolo& r) {
    controllo->setProperty(Proprieta, QRectF(r.Left, r.Top, r.Width, r.Height));
    controllo->setGeometry(inPixel(r));
}

Twips::Rettangolo Twips::di(const QWidget* controllo) {
    const QVariant salvato = controllo->property(Proprieta);
    if (salvato.isValid() && salvato.canConvert<QRectF>()) {
        // Floats widened to double come back exactly.
        const QRectF r = salvato.toRectF();
        return {float(r.x()), float(r.y()), float(r.width()), float(r.height())};
    }
    const QRect g = controllo->geometry();
    return {daPixel(g.x()), daPixel(g.y()), daPixel(g.width()), daPixel(g.height())};
}

} // namespace KaloRefill
