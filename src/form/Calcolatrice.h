// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Valuta.h"
#include "kalorefill_export.h"

#include <QString>

#include <optional>

namespace KaloRefill {

// The keypad's four-function calculator. Its whole state is the three texts the form
// shows (entry, operand, operator) and whether the operand is visible; the form copies
// them in from its labels, hands over a token and copies them back.
class KALOREFILL_EXPORT Calcolatrice {
public:
    struct Stato {
        QString valore = QStringLiteral("0,00"); // the entry or the last result
        QString conto = QStringLiteral("0,00");  // the first operand of a pending operation
        bool contoVisibile = false;
        QString operazione; // "+", "-", "X", "/" or empty
        friend bool operator==(const Stato&, const Stato&) = default;
    };

    enum class Esito { Gestito, Salva, Ignorato };

    static inline const QString Vuoto = QStringLiteral("0,00");

    Calcolatrice();
    explicit Calcolatrice(Stato stato) : m_stato(std::move(stato)) {}

    const Stato& stato() const { return m_stato; }

    // Digits, zero keys, comma, "Canc", "del", operators and "=" (any letter case).
    // "Salva" is only recognised: saving is the form's business. A digit that would make
    // the entry an amount no amount column holds exactly is not taken.
    Esito premi(const QString& tasto);

    // Carries out the pending operation. Stops silently, changing nothing more, when an
    // operand is not a number or the arithmetic fails (division by zero, overflow, a
    // result no amount column holds exactly).
    void conteggiaValori();

    // Whether an entry can be saved as it is: an amount column holds it exactly.
    static bool memorizzabile(const QString& valore);
    // The entry as the amount it stands for, when an amount column holds it exactly.
    std::optional<Valuta> importo() const;

private:
    Stato m_stato;
};

} // namespace KaloRefill
