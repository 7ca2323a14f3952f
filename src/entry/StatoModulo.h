// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"
#include "kalorefill_export.h"

#include <QString>

namespace KaloRefill {

// What the module keeps while it is loaded: one copy shared by every Configura and every
// form.
struct KALOREFILL_EXPORT StatoModulo {
    HostApplicationPtr applicazione;
    QString codiceStampa;
    QString codiceEsportazione;
    QString codice;
    QString parametri;
    QString campoRicerca;
    QString risposta;
    QString modale;
    // Account associations, read again at every form start-up.
    RecordsetPtr rsAssociazioneConti;
    // Where refill slips go: a printer of the system, else PDF files in the folder (empty:
    // the host's folder + "buoni").
    QString stampanteBuoni;
    QString cartellaBuoni;
    // What the engine's check of the database found wrong; empty while it is sound.
    QString databaseDanneggiato;

    static StatoModulo& istanza();
};

} // namespace KaloRefill
