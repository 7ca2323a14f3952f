// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DialettoSql.h"

#include "DialettoPostgreSql.h"
#include "DialettoSqlite.h"

namespace KaloRefill {

std::unique_ptr<DialettoSql> DialettoSql::per(MotoreSql motore) {
    if (motore == MotoreSql::PostgreSql)
        return std::make_unique<DialettoPostgreSql>();
    return std::make_unique<DialettoSqlite>();
}

} // namespace KaloRefill
