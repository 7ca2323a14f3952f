// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>

namespace KaloRefill {

// What a column holds, read from the type name it was declared with. The names
// KaloRefill declares are those of dichiarazione(); types declared by other programs are
// read by the engine's own rules (INT, CHAR/TEXT, REAL...).
enum class TipoColonna {
    Testo,    // TEXT
    Intero,   // INTEGER
    Intero16, // SMALLINT: -32768..32767
    Booleano, // BOOLEAN: 0 false, -1 true
    Importo,  // CURRENCY: four decimals
    Reale,    // REAL, DOUBLE
    Data,     // DATE: 'yyyy-MM-dd'
    DataOra,  // DATETIME: 'yyyy-MM-dd HH:mm:ss'
    Ora,      // TIME: 'HH:mm:ss'
    Libero    // no declared type: the value decides
};

TipoColonna tipoDaDichiarazione(const QString& dichiarato);
QString dichiarazione(TipoColonna tipo);

} // namespace KaloRefill
