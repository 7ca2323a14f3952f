// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ParametriServer.h"
#include "host/Errore.h"
#include "kalorefill_database_export.h"

#include <QString>

#include <optional>

namespace KaloRefill {

// Where a hall's database is, read once from the command line or the configuration and
// handed on as it is: a SQLite file, or a database on a PostgreSQL server named by a
// postgresql:// address (several servers and libpq's options included). A server address
// that cannot be used is kept with its reason, which is told where the server is first
// needed, as when the address was read there.
class KALOREFILL_DATABASE_EXPORT IndirizzoDatabase final {
public:
    // No database chosen.
    IndirizzoDatabase() = default;
    // A file path or a postgresql:// address, read here and nowhere else; a text stands
    // for the address it names wherever one is taken.
    IndirizzoDatabase(const QString& testo); // NOLINT(google-explicit-constructor)

    bool vuoto() const { return m_testo.isEmpty(); }
    bool server() const { return m_server.has_value() || m_errore.has_value(); }
    // The file; empty for a server.
    QString file() const { return server() ? QString() : m_testo; }
    // The server's parameters; Errore (database) for an address that cannot be used.
    const ParametriServer& parametri() const;
    // As it was written, for the configuration.
    QString testo() const { return m_testo; }
    // As a message may show it: a file with the system's separators, an address without
    // any password.
    QString mostrabile() const;

private:
    QString m_testo;
    std::optional<ParametriServer> m_server;
    std::optional<Errore> m_errore;
};

} // namespace KaloRefill
