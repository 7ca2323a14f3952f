// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "SqlToken.h"

#include <QList>

namespace KaloRefill {

// Where the clauses of a SELECT stand among its tokens (whitespace left out, the first
// token being SELECT). Ranges hold the clause body without its keyword; only keywords
// outside parentheses count, so subqueries and function arguments stay whole.
class SelectClauses final {
public:
    struct Range {
        qsizetype begin = -1;
        qsizetype end = -1;
        bool present() const { return begin >= 0; }
        bool isEmpty() const { return begin >= end; }
    };

    static SelectClauses split(const QList<SqlToken>& tokens);

    // False when the clauses are not in the usual order or a UNION joins two selects:
    // then the statement is passed on as it is, without rearranging anything.
    bool regular = true;
    Range list;
    Range from;
    Range where;
    Range groupBy;
    Range having;
    Range orderBy;
};

} // namespace KaloRefill
