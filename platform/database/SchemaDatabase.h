#pragma once

#include <QString>
#include <QStringList>

namespace KaloRefill {

class ConnessioneSqlite;

// The tables of a KaloRefill database and the marks that tell such a file from any other
// SQLite file: the application id in the file header, the schema version in
// user_version and a row in the table kalorefill_database.
class SchemaDatabase final {
public:
    static constexpr int versione = 1;
    // "KRFL" read as a 32-bit number.
    static constexpr int idApplicazione = 0x4B52464C;

    // Every statement that builds an empty database, in order.
    static QStringList istruzioni();
    // Builds the tables in a new file, all or nothing.
    static void crea(ConnessioneSqlite& connessione);
    // Errore (database) when the file is not a KaloRefill database this program can use.
    static void verifica(ConnessioneSqlite& connessione, const QString& percorsoFile);
};

} // namespace KaloRefill
