// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "IndirizzoDatabase.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace KaloRefill {

// Backups of a hall's database, and restoring one. A file is copied with SQLite's online
// backup API from a connection of its own, so other cash desks keep saving meanwhile; a
// server database with pg_dump's custom format. Every copy is written under a provisional
// name, checked (integrity_check, pg_restore --list) and only then given its name: an
// interrupted or failed copy never passes for a good one, and earlier copies are never
// touched. Failures are Errore (database) with an Italian description.
class CopiaSicurezza final {
public:
    // Writes a copy of `database` (a file or a postgresql:// address) to `destinazione`:
    // a file that must not exist, or a folder, where the copy takes a name with the day
    // and time. Gives the file written.
    static QString esegui(const IndirizzoDatabase& database, const QString& destinazione);

    // The day's copy in `cartella` (made if missing), unless one of that day is there
    // already; then only the newest `daTenere` daily copies are kept. Gives the file
    // written, or an empty text when the day's copy existed.
    static QString giornaliera(const IndirizzoDatabase& database, const QString& cartella, int daTenere,
                               const QDate& giorno);

    // Errore when the file is not a sound copy of a KaloRefill database of that kind.
    static void verifica(const QString& copia, bool server);

    // Replaces `database` with the copy, after saving the current one in `cartellaCopie`
    // (gives that file). Errore, with nothing changed, when the copy is not sound or
    // another program has the database open.
    static QString ripristina(const IndirizzoDatabase& database, const QString& copia,
                              const QString& cartellaCopie);

    // The name of a copy of that moment: kalorefill_2026-12-04_101500.db (or .dump).
    static QString nomeCopia(const IndirizzoDatabase& database, const QDateTime& momento);

    // pg_dump's and pg_restore's place; empty when not installed.
    static QString programmaPostgreSql(const QString& nome);
};

} // namespace KaloRefill
