// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_database_export.h"

#include <QString>
#include <QStringList>

namespace KaloRefill {

enum class StatementKind { Select, Insert, Update, Delete };

// A statement of the module turned into the engine's dialect, with what the host needs
// to know about it.
struct KALOREFILL_DATABASE_EXPORT TranslatedStatement {
    StatementKind kind = StatementKind::Select;
    QString sql;
    // "select * from <one table> [where] [order by]": the table whose rows the set can
    // add and change. Empty for every other statement.
    QString updatableTable;
    // Every table named by FROM and JOIN (or the target of a write), as written.
    QStringList tables;
    // The names the select list gives its columns, one per column; an entry is empty
    // where the engine names the column itself. Empty when the list holds a *.
    QStringList columnNames;

    // The clauses of a select, already translated, for adding a filter condition.
    QString selectList;
    QString from;
    QString where;
    QString groupBy;
    QString having;
    QString orderBy;
    bool clausesKnown = false;
    // One table, no grouping: a filter joins the WHERE clause and can use its indexes.
    bool filterInWhere = false;

    // The statement narrowed by a translated condition; the statement itself when the
    // condition is empty.
    QString withFilter(const QString& condition) const;

    static QString composeSelect(const QString& selectList, const QString& from,
                                 const QString& where, const QString& groupBy,
                                 const QString& having, const QString& orderBy);
};

} // namespace KaloRefill
