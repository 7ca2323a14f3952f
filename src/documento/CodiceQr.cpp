// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/CodiceQr.h"

#include <qrencode.h>

#include <memory>

namespace KaloRefill::CodiceQr {

QImage immagine(const QString& testo) {
    const QByteArray dati = testo.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> codice(
        QRcode_encodeString8bit(dati.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!codice)
        return {};
    constexpr int margine = 4;
    const int lato = codice->width + 2 * margine;
    QImage img(lato, lato, QImage::Format_Mono);
    img.fill(0);
    img.setColor(0, qRgb(255, 255, 255));
    img.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < codice->width; ++y)
        for (int x = 0; x < codice->width; ++x)
            if (codice->data[y * codice->width + x] & 1)
                img.setPixel(x + margine, y + margine, 1);
    return img;
}

} // namespace KaloRefill::CodiceQr
