// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "registro_prova_export.h"

#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

// What the test component and the test share across the plugin boundary: one log of what
// the component was given and asked, in order, and how it is to behave. The test and the
// plugin both link this library, so there is one copy of it in the process.
struct RegistroProva {
    // "Member=value" for each property set, "Ricerca", "Risposta", "~componente".
    QStringList voci;
    // The answer the component gives after Ricerca; when guastoInRicerca, Ricerca throws
    // "3021 - Nessun record corrente." instead.
    QVariant risposta;
    bool guastoInRicerca = false;
    // The factory hands out a plain QObject instead of a search component.
    bool oggettoEstraneo = false;
    // Fields of the Recordset read in Ricerca, and their values as text ("a|b"), row by row
    // in the recordset's order.
    QStringList campiDaLeggere;
    QStringList righeLette;
    // Every recordset the component was given, weakly: expired once everyone let it go.
    std::vector<std::weak_ptr<const void>> ricevuti;
    // Components made and not yet destroyed.
    int componentiVivi = 0;

    REGISTRO_PROVA_EXPORT static RegistroProva& istanza();
};
