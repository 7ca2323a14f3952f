// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Errore.h"

#include <vector>

namespace KaloRefill {

// A group of host calls that the storage keeps or drops as a whole: one save. While a unit
// is open every call made to its host belongs to it. A statement that fails inside the
// unit undoes only itself and the unit goes on; when the unit itself cannot go on (the
// write lock is not obtained in time, the disk is full, the engine abandons the
// transaction, the connection to a server is lost) the host throws Errore with number
// CodiceErrore::UnitaNonRiuscita, at that call and at every later call of the unit, and
// nothing of the unit is kept.
class UnitaDiLavoro {
public:
    // A unit let go without Conferma is dropped: nothing of it is kept.
    virtual ~UnitaDiLavoro() = default;
    // Makes everything done in the unit permanent, or throws UnitaNonRiuscita and keeps
    // nothing.
    virtual void Conferma() = 0;
    // While `si`, lets the host hold back the writes whose outcome no caller waits for (a
    // row stored, a statement run) and send them with the next call that needs an answer,
    // or with Conferma: a server far away is then asked once, not once per write. Whoever
    // asks collects their failures with ScrittureFallite and reports them where it reports
    // its own. A host that writes at once ignores it.
    virtual void RitardaScritture(bool si) { (void)si; }
    // Sends what is held back and gives the failures of the writes sent late, in the order
    // the writes were made, each as the write itself would have thrown it. Also after
    // Conferma, for the writes that went with it.
    virtual std::vector<Errore> ScrittureFallite() { return {}; }
};

} // namespace KaloRefill
