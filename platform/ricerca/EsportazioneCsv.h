// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "TabellaTesto.h"

#include <QString>

namespace KaloRefill::EsportazioneCsv {

// The list as the Italian spreadsheets read it: ";" between fields, the headings
// first, values as shown (decimal comma), CR LF at the end of each line, fields quoted
// when they hold ";", quotes or line breaks. No total line: sums belong to the sheet.
QString testo(const TabellaTesto& tabella);

// Writes testo() in UTF-8 with a byte-order mark (so the spreadsheet reads the accents)
// as a whole: a failed write leaves no half file. The reason of a failure in errore.
bool scrivi(const QString& percorsoFile, const TabellaTesto& tabella, QString* errore = nullptr);

// One line of fields, quoted where needed, with its CR LF.
QString riga(const QStringList& valori);
// Any text composed of such lines, written as scrivi() writes.
bool scriviTesto(const QString& percorsoFile, const QString& testo, QString* errore = nullptr);

} // namespace KaloRefill::EsportazioneCsv
