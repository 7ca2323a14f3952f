// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

namespace KaloRefill::TraduzioniQt {

// Installs Qt's own Italian texts (qtbase_it.qm: "Annulla", "Salva", the file and print
// dialogs) once per application. False when the file is missing: Qt then speaks English
// in its dialogs, everything of ours stays Italian.
KALOREFILL_EXPORT bool carica();

} // namespace KaloRefill::TraduzioniQt
