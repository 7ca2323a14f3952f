// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Serie.h"
#include "SalaServer.h"

#include <QList>
#include <QStringList>

// Cash desks saving at once on the chain's server, each a process of its own with its own
// connection: the real form with the hall's accountable refills on (PIN, register),
// saving machine after machine for a given time. Afterwards the halls are checked: one
// header a day, the register's numbers without gaps or repeats.
namespace CasseConcorrenti {

struct Esito {
    Serie latenze;        // every save that went through, ms
    int salvataggi = 0;
    int errori = 0;       // saves that failed, boxes and PIN pads nobody expected
    int testateDoppie = 0;
    int buchiRegistro = 0;
    int numeriRipetuti = 0;
    // Register rows written during the run ÷ saves the desks saw go through: 0 when it
    // is not 1 in some hall.
    bool registroInPasso = true;
    QStringList messaggi;
    // Saves each desk made, and the share of the desks' time spent inside saves.
    QList<int> giriPerCassa;
    double msInSalvataggio = 0, msDiLavoro = 0;
    // CPU the desks' own processes used while saving: on a small machine they compete with
    // the server for the same cores.
    double msCpuCasse = 0;
    int secondi = 0;
    // How busy all the machine's cores were from the start to the end of the run.
    double quotaCpuMacchina = 0;  // the first few texts of the failures
};

// The hall's accountable refills on, with the operators and PINs the desks sign in with.
void preparaSala(const SalaServer& sala);

// `casse` desks spread in turn over `sale`, saving for `secondi` seconds from the same
// instant.
// With `ritmoMs` each desk starts a save every that many ms (an operator's pace; the desks'
// phases spread over the period); with 0 each saves again as soon as the last save ends.
Esito misura(const QList<SalaServer>& sale, int casse, int secondi, int ritmoMs);

// The desk itself, in the child process: "--cassa INDIRIZZO NUMERO SECONDI", NUMERO its
// place among the desks of its hall.
int eseguiCassa(const QString& indirizzo, int numero, int secondi, int ritmoMs, int faseMs);

} // namespace CasseConcorrenti
