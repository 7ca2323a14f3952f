// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_database_export.h"

#include <QString>

class QSqlDatabase;

namespace KaloRefill {

// Where a database on a PostgreSQL server is, read from a postgresql:// address such as
// postgresql://cassa@sala.local:5432/refill or postgresql:///refill?host=/run/postgresql.
// What the address leaves out is left to the client library, which takes it from the
// PG* environment variables and ~/.pgpass. A password is never accepted in the address:
// it would end up in the shell history and in every message that names the database.
class KALOREFILL_DATABASE_EXPORT ParametriServer final {
public:
    // How the program's sessions are named on the server, unless the address says.
    static const QString nomeApplicazione;

    // Whether the text is a server address rather than a file path.
    static bool eIndirizzo(const QString& testo);
    // The text as a message may show it: a server address loses any password, a file path
    // stays as it is.
    static QString mostrabile(const QString& testo);
    // Errore (database) for an address that cannot be used.
    static ParametriServer leggi(const QString& indirizzo);

    QString host() const { return m_host; }
    int porta() const { return m_porta; }
    QString utente() const { return m_utente; }
    QString database() const { return m_database; }
    // Further connection options for the client library, "name=value" separated by ";".
    QString opzioni() const { return m_opzioni; }

    // The address as messages show it: never a password.
    QString descrizione() const;
    // The server alone, as an operator names it: "host:porta" (a socket folder for host).
    QString server() const;
    // Sets up a QPSQL connection with these parameters.
    void applica(QSqlDatabase& db) const;
    // The same server, another database on it.
    ParametriServer conDatabase(const QString& database) const;

private:
    QString m_host;
    int m_porta = -1;
    QString m_utente;
    QString m_database;
    QString m_opzioni;
    QString m_descrizione;
};

} // namespace KaloRefill
