// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QVariant>

namespace KaloRefill::ConfrontoValori {

// The order of a list column: empty values first, then numbers and amounts by value,
// then dates and moments in time order, then times of day, then text without regard
// to case. Values of different kinds keep that order among themselves, so sorting a
// mixed column is still well defined.
bool minore(const QVariant& a, const QVariant& b);

} // namespace KaloRefill::ConfrontoValori
