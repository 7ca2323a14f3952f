// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

namespace KaloRefill {

// The engine a translated statement is meant for: the embedded file today, a central
// server where several halls share one database.
enum class MotoreSql { Sqlite, PostgreSql };

} // namespace KaloRefill
