// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QDate>
#include <QVariant>

#include <optional>

namespace KaloRefill::DataRisposta {

// The date a search component answered with, when its answer is one: a date, a moment,
// or text that reads as a date (dd/MM/yyyy as the operator writes it, or ISO
// yyyy-MM-dd). Anything else, including an empty answer or a number, is not a date.
KALOREFILL_EXPORT std::optional<QDate> comeData(const QVariant& risposta);

} // namespace KaloRefill::DataRisposta
