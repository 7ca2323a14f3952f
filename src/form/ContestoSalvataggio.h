// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "../host/Recordset.h"
#include "../host/Valuta.h"

namespace KaloRefill {

// The working sets and values of one save; nothing outlives the call.
struct ContestoSalvataggio {
    RecordsetPtr rsLog;
    RecordsetPtr rsApparecchi;
    RecordsetPtr rsTesta;
    RecordsetPtr rsRiga;
    RecordsetPtr rsTotaleDocumento;
    RecordsetPtr rsTotaleGiorno;
    RecordsetPtr rsRighe;
    Valuta totaleDocumento;
    QString sqlTotaleGiorno;
    bool rigaNuova = true;
    bool totaleGiornoPresente = true;
};

// The set a step works on; Errore 91 when an earlier step failed to open it.
Recordset& insieme(const RecordsetPtr& rs);

} // namespace KaloRefill
