// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "MotoreSql.h"
#include "SqlToken.h"
#include "TranslatedStatement.h"
#include "kalorefill_database_export.h"

#include <QList>
#include <QString>

#include <memory>

namespace KaloRefill {

class DialettoSql;

// Turns the module's statements, written for the original Jet database, into the
// dialect of the engine behind the host: #month-first# date literals, "delete * from",
// [bracketed] names, & for joining texts, True/False as -1/0. A HAVING on the grouping
// column becomes part of the WHERE, so the engine can use the index on that column.
// Only one statement per text; SELECT, INSERT, UPDATE and DELETE only.
class KALOREFILL_DATABASE_EXPORT SqlTranslator final {
public:
    explicit SqlTranslator(MotoreSql motore = MotoreSql::Sqlite);

    // Errore (database) for a text the host will not run.
    TranslatedStatement translate(const QString& sql) const;
    // The same for a text already split by SqlTokenizer.
    TranslatedStatement translate(QList<SqlToken> tokens) const;
    // A filter condition such as "idscheda = 12"; empty for an empty text. Errore when
    // it holds more than an expression.
    QString translateCondition(const QString& condizione) const;

private:
    // What the engine writes its own way: names, dates, LIKE.
    std::shared_ptr<const DialettoSql> m_dialetto;
};

} // namespace KaloRefill
