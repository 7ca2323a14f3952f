// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "UnitaLavoro.h"

#include "Connessione.h"

namespace KaloRefill {

UnitaLavoro::UnitaLavoro(std::shared_ptr<Connessione> connessione)
    : m_connessione(std::move(connessione)) {
    m_connessione->iniziaUnita();
}

UnitaLavoro::~UnitaLavoro() {
    if (m_aperta)
        m_connessione->annullaUnita();
}

void UnitaLavoro::Conferma() {
    m_aperta = false;
    m_connessione->confermaUnita();
}

void UnitaLavoro::RitardaScritture(bool si) {
    m_connessione->ritardaScritture(si);
}

std::vector<Errore> UnitaLavoro::ScrittureFallite() {
    return m_connessione->scrittureFallite();
}

} // namespace KaloRefill
