// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DatabaseHost.h"

#include <QString>

#include <memory>

namespace KaloRefill {

class ArgomentiProgramma;

// What the program does for a hall's own set-up, beside the form: the welcome of the
// first start, "Anagrafiche", backups and restore. Each gives the program's exit code
// and tells failures in one line on standard error (and in a box where there is a window).
class AvvioSala final {
public:
    // The welcome window; gives the database chosen, empty when the user left.
    static QString benvenuto(const ArgomentiProgramma& argomenti, const QString& percorsoDemo);
    // --backup DEST, no window.
    static int backup(const IndirizzoDatabase& database, const QString& destinazione);
    // --ripristina FILE, after a confirmation box.
    static int ripristina(const IndirizzoDatabase& database, const QString& copia);
    // "Anagrafiche" on the host, with the import preview of `fileCsv` over it when given.
    static int anagrafiche(std::shared_ptr<DatabaseHost> host, const QString& fileCsv);
    // The day's automatic copy of the hall's database; a failure is told in a box and on
    // standard error and the program goes on.
    static void copiaGiornaliera(const IndirizzoDatabase& database, const QDate& giorno);
    // The newest copy in the configured folder, as a line for the operator; empty when
    // there is none.
    static QString ultimaCopia();
};

} // namespace KaloRefill
