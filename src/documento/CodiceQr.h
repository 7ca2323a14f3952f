// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QImage>
#include <QString>

namespace KaloRefill::CodiceQr {

// The text as a QR code (libqrencode, error correction M), one pixel per module with a
// quiet zone of four modules; null when the text cannot be encoded.
KALOREFILL_EXPORT QImage immagine(const QString& testo);

} // namespace KaloRefill::CodiceQr
