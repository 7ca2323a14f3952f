// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "IndirizzoDatabase.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace KaloRefill {

class ArgomentiProgramma;
class DatabaseHost;

// The reference host program: reads the options, opens the database (or makes the demo
// one), hands it to Configura and calls Start. Every failure ends in one Italian line on
// standard error and a non-zero exit code, never in a crash.
class Programma {
public:
    static constexpr int esitoRigaDiComando = 2;
    static constexpr int esitoFallito = 1;

    static int esegui(int argc, char** argv);

    // The database the options name (--database, --demo), else the one of the hall's
    // configuration, read once; empty when none is chosen yet.
    static IndirizzoDatabase indirizzoDatabase(const ArgomentiProgramma& argomenti);
    // Where the demo database lives for this user.
    static QString percorsoDemo();
    // Opens the database the options name; the demo database is made, with its data, the
    // first time it is wanted. Throws Errore when the file cannot be used; such a file is
    // left exactly as it was.
    // `indirizzo`, when given, instead of the one the options name.
    static std::shared_ptr<DatabaseHost> apriDatabase(const ArgomentiProgramma& argomenti,
                                                      IndirizzoDatabase indirizzo = {});
    // Qt's own options (-platform, -style, ...) are only known once QApplication has taken
    // them; before that a single-dash word may be one of them.
    static bool puoEssereOpzioneQt(const QStringList& argomenti);
};

} // namespace KaloRefill
