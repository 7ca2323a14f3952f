#pragma once

#include <QStringList>

namespace KaloRefill {

class ConnessioneSqlite;

// Schema version 3, the accountable refills: operators get a role, an active flag, a PIN
// hash, a count of wrong PINs and a lock-out time; the table RegistroRefill holds the
// numbered, chained register. Written as one step that adds only what is missing, so it
// brings any older KaloRefill database up to date and is harmless on a new one.
class SchemaRegistro final {
public:
    static constexpr int versione = 3;

    // Adds what is missing, in one transaction, and marks the database as version 3.
    // Nothing is written when nothing is missing.
    static void aggiorna(ConnessioneSqlite& connessione);
};

} // namespace KaloRefill
