// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "TranslatedStatement.h"

namespace KaloRefill {

namespace {
QString entrambe(const QString& prima, const QString& seconda) {
    if (prima.isEmpty())
        return seconda;
    return QLatin1Char('(') + prima + QStringLiteral(") AND (") + seconda + QLatin1Char(')');
}
} // namespace

QString TranslatedStatement::withFilter(const QString& condition) const {
    if (condition.isEmpty())
        return sql;
    if (filterInWhere)
        return composeSelect(selectList, from, entrambe(where, condition), groupBy, having,
                             orderBy);
    // Joins and totals: the condition speaks of the columns of the result, as a filter
    // on the set does. The inner ORDER BY still orders the rows.
    return QStringLiteral("SELECT * FROM (") + sql + QStringLiteral(") AS filtrato WHERE ") +
           condition;
}

QString TranslatedStatement::composeSelect(const QString& selectList, const QString& from,
                                           const QString& where, const QString& groupBy,
                                           const QString& having, const QString& orderBy) {
    QString testo = QStringLiteral("SELECT ") + selectList;
    const auto aggiungi = [&testo](QStringView parola, const QString& corpo) {
        if (!corpo.isEmpty())
            testo.append(QLatin1Char(' ')).append(parola).append(QLatin1Char(' ')).append(corpo);
    };
    aggiungi(u"FROM", from);
    aggiungi(u"WHERE", where);
    aggiungi(u"GROUP BY", groupBy);
    aggiungi(u"HAVING", having);
    aggiungi(u"ORDER BY", orderBy);
    return testo;
}

} // namespace KaloRefill
