#pragma once

#include <QString>
#include <QStringList>

namespace KaloRefill {

class ConnessioneSqlite;
class DialettoSql;

// The tables of a KaloRefill database and the marks that tell it from any other database:
// rows in the table kalorefill_database (the program and the schema version) and, in a
// SQLite file, the application id in the file header and the version in user_version.
class SchemaDatabase final {
public:
    // Version 3 adds the accountable refills (SchemaRegistro).
    static constexpr int versione = 3;
    // "KRFL" read as a 32-bit number.
    static constexpr int idApplicazione = 0x4B52464C;

    // Every statement that builds an empty database, in order.
    static QStringList istruzioni(const DialettoSql& dialetto);
    // Builds the tables in a new database, all or nothing.
    static void crea(ConnessioneSqlite& connessione);
    // Errore (database) when the database is not a KaloRefill database this program can
    // use; `nome` is how messages call it (the file, or the server address).
    static void verifica(ConnessioneSqlite& connessione, const QString& nome);
    // A column of the schema as the suite spells it ("codlocale" gives "Codlocale"); any
    // other name as it is. For an engine that folds names to lower case.
    static QString nomeDichiarato(const QString& colonna);
    // Errore (database) when the database already holds tables of any kind.
    static void verificaVuoto(ConnessioneSqlite& connessione, const QString& nome);
};

} // namespace KaloRefill
