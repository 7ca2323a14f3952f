// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "MotoreSql.h"
#include "kalorefill_database_export.h"

#include <QString>
#include <QStringList>

namespace KaloRefill {

class Connessione;
class DialettoSql;

// The tables of a KaloRefill database and the marks that tell it from any other database:
// rows in the table kalorefill_database (the program and the schema version) and, in a
// SQLite file, the application id in the file header and the version in user_version.
// A database of an older version is brought up to date by additive steps (new tables, new
// columns, the values they start with), one step per version after the first; a new
// database is the first version's tables with every step applied, so a database made
// today and one brought up to date from any older version are the same.
class KALOREFILL_DATABASE_EXPORT SchemaDatabase final {
public:
    static constexpr int versione = 4;
    // "KRFL" read as a 32-bit number.
    static constexpr int idApplicazione = 0x4B52464C;

    // Every statement that builds an empty database of the given version (the newest by
    // default), in order, marks included.
    static QStringList istruzioni(const DialettoSql& dialetto, int finoA = versione);
    static QStringList istruzioni(MotoreSql motore, int finoA = versione);
    // Builds the tables in a new database, all or nothing.
    static void crea(Connessione& connessione);
    // Errore (database) when the database is not a KaloRefill database this program can
    // use; `nome` is how messages call it (the file, or the server address). Gives the
    // database's schema version.
    static int verifica(Connessione& connessione, const QString& nome);
    // Brings a database of an older version up to this one in one transaction that holds
    // the write lock, so two programs opening it at once upgrade it once. Errore (database)
    // when a step fails; then nothing is changed.
    static void aggiorna(Connessione& connessione, const QString& nome);
    // A column of the schema as the suite spells it ("codlocale" gives "Codlocale"); any
    // other name as it is. For an engine that folds names to lower case.
    static QString nomeDichiarato(const QString& colonna);
    // Errore (database) when the database already holds tables of any kind.
    static void verificaVuoto(Connessione& connessione, const QString& nome);
};

} // namespace KaloRefill
