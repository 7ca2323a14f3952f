// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "SqlToken.h"
#include "kalorefill_database_export.h"

#include <QList>
#include <QString>

namespace KaloRefill {

// Splits a statement of the Jet dialect into tokens. Literals are read as wholes, so a
// '#' or a ';' inside a text stays text.
class KALOREFILL_DATABASE_EXPORT SqlTokenizer final {
public:
    // Errore (database) on an unterminated literal or a character the dialect lacks.
    static QList<SqlToken> tokenize(const QString& sql);

    // Where each token lies in the text, read exactly as tokenize reads it but without
    // copying any piece: for a look at a statement that may need none of them.
    struct Pezzo {
        SqlTokenKind kind;
        qsizetype inizio;
        qsizetype fine;
    };
    static QList<Pezzo> pezzi(const QString& sql);
    // The token of one piece, as tokenize gives it.
    static SqlToken token(const QString& sql, const Pezzo& pezzo);
};

} // namespace KaloRefill
