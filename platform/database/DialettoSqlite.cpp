// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DialettoSqlite.h"

#include "IsoDateText.h"
#include "JetDateLiteral.h"
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

QString DialettoSqlite::valoreData(const JetDateLiteral& data) const {
    if (!data.hasDate())
        return IsoDateText::ora(data.time());
    if (!data.hasTime())
        return IsoDateText::data(data.date());
    return IsoDateText::momento(data.date(), data.time());
}

QString DialettoSqlite::letteraleData(const JetDateLiteral& data) const {
    return QLatin1Char('\'') + valoreData(data) + QLatin1Char('\'');
}

QString DialettoSqlite::tutteLeColonne() const {
    // Every table of the file in one statement, rather than one statement per table as
    // the start-up and the first save come to each of them.
    return QStringLiteral(
        "SELECT m.name, p.name, p.type, p.dflt_value FROM sqlite_master AS m "
        "JOIN pragma_table_info(m.name) AS p WHERE m.type = 'table' ORDER BY m.name, p.cid");
}

QString DialettoSqlite::soggetto(const QString& nome) const {
    return QStringLiteral("Il file %1").arg(nome);
}

} // namespace KaloRefill
