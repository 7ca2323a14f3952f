// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/Calcolatrice.h"

#include "form/Letture.h"
#include "host/Errore.h"
#include "host/Valuta.h"

#include <cmath>

namespace KaloRefill {

namespace {
bool uguale(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool operatore(const QString& tasto) {
    return uguale(tasto, "/") || uguale(tasto, "X") || uguale(tasto, "-") || uguale(tasto, "+");
}

double calcola(double conto, double valore, const QString& operazione) {
    double risultato = 0;
    if (uguale(operazione, "+")) {
        risultato = valore + conto;
    } else if (uguale(operazione, "-")) {
        risultato = conto - valore;
    } else if (uguale(operazione, "/")) {
        if (valore == 0)
            throw conto == 0 ? Errore::overflow() : Errore::divisionePerZero();
        risultato = conto / valore;
    } else {
        risultato = valore * conto;
    }
    if (!std::isfinite(risultato))
        throw Errore::overflow();
    return risultato;
}
} // namespace

Calcolatrice::Calcolatrice() = default;

Calcolatrice::Esito Calcolatrice::premi(const QString& tasto) {
    using Letture::letturaIntera;
    Stato& s = m_stato;
    if (tasto.size() == 1 && tasto[0] >= QLatin1Char('1') && tasto[0] <= QLatin1Char('9')) {
        const QString nuovo = (s.valore == Vuoto ? QString() : s.valore) + tasto;
        if (memorizzabile(nuovo))
            s.valore = nuovo;
    } else if (tasto == QLatin1String("0") || tasto == QLatin1String("00")) {
        // Zeros never lead an entry, and not after "0," either: that reads as zero too.
        if (letturaIntera(s.valore) > 0 && memorizzabile(s.valore + tasto))
            s.valore.append(tasto);
    } else if (tasto == QLatin1String(",")) {
        if (letturaIntera(s.valore) > 0) {
            if (!s.valore.contains(QLatin1Char(',')))
                s.valore.append(QLatin1Char(','));
        } else {
            s.valore = QStringLiteral("0,");
        }
    } else if (uguale(tasto, "Canc")) {
        // The pending operation stays, now with 0 as its operand: this is how a carried
        // over amount is replaced instead of added to.
        s.valore = Vuoto;
        s.conto = QStringLiteral("0");
    } else if (uguale(tasto, "del")) {
        if (s.valore.size() >= 2)
            s.valore.chop(1);
        else
            s.valore = Vuoto;
    } else if (operatore(tasto)) {
        s.contoVisibile = true;
        if (letturaIntera(s.valore) != 0)
            s.conto = s.valore;
        s.valore = Vuoto;
        s.operazione = tasto;
    } else if (tasto == QLatin1String("=")) {
        conteggiaValori();
    } else if (uguale(tasto, "Salva")) {
        return Esito::Salva;
    } else {
        return Esito::Ignorato;
    }
    return Esito::Gestito;
}

void Calcolatrice::conteggiaValori() {
    Stato& s = m_stato;
    try {
        const double conto = Letture::letturaImporto(s.conto);
        const double valore = Letture::letturaImporto(s.valore);
        if (operatore(s.operazione)) {
            const QString risultato = Letture::testoRisultato(calcola(conto, valore, s.operazione));
            if (!memorizzabile(risultato))
                throw Errore::overflow();
            s.valore = risultato;
        }
        s.conto = QStringLiteral("0");
        s.contoVisibile = false;
        s.operazione.clear();
    } catch (const Errore&) {
        // A failed operation leaves everything not yet done as it was.
    }
}

bool Calcolatrice::memorizzabile(const QString& valore) {
    return Valuta::daTestoEsatto(valore).has_value();
}

std::optional<Valuta> Calcolatrice::importo() const {
    return Valuta::daTestoEsatto(m_stato.valore);
}

} // namespace KaloRefill
