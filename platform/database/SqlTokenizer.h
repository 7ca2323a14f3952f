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
};

} // namespace KaloRefill
