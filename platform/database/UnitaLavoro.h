// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/UnitaDiLavoro.h"

#include <memory>

namespace KaloRefill {

class Connessione;

// A save as one unit of work of the host's connection: begun when made, committed by
// Conferma, dropped when it ends without.
class UnitaLavoro final : public UnitaDiLavoro {
public:
    explicit UnitaLavoro(std::shared_ptr<Connessione> connessione);
    ~UnitaLavoro() override;
    void Conferma() override;
    void RitardaScritture(bool si) override;
    std::vector<Errore> ScrittureFallite() override;

private:
    std::shared_ptr<Connessione> m_connessione;
    bool m_aperta = true;
};

} // namespace KaloRefill
