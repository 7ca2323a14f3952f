// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DialettoSqlite.h"

#include "SchemaDatabase.h"

namespace KaloRefill {

QString DialettoSqlite::colonnaChiave() const {
    return QStringLiteral("\"id\" INTEGER PRIMARY KEY AUTOINCREMENT");
}

QString DialettoSqlite::tipo(TipoColonna tipo) const {
    QString testo = dichiarazione(tipo);
    if (tipo == TipoColonna::Testo)
        testo.append(QStringLiteral(" COLLATE NOCASE"));
    if (tipo == TipoColonna::Booleano)
        testo.append(QStringLiteral(" DEFAULT 0"));
    return testo;
}

QStringList DialettoSqlite::contrassegni(int versione) const {
    return {QStringLiteral("PRAGMA application_id = %1").arg(SchemaDatabase::idApplicazione),
            QStringLiteral("PRAGMA user_version = %1").arg(versione)};
}

QString DialettoSqlite::nome(const QString& nome) const {
    // Kept as the suite spells it; the engine matches it without regard to case.
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString DialettoSqlite::colonneDellaTabella() const {
    // pragma_table_info takes the name as a value, so no name needs quoting.
    return QStringLiteral("SELECT name, type, dflt_value FROM pragma_table_info(?)");
}

QString DialettoSqlite::contaTabelle() const {
    return QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'");
}

QString DialettoSqlite::esisteTabella() const {
    return QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
}

} // namespace KaloRefill
