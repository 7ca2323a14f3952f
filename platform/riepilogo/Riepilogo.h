// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Valuta.h"

#include <QDate>
#include <QList>
#include <QString>

namespace KaloRefill {

// One machine in a period: what was put into its hopper and how often.
struct RiepilogoApparecchio {
    qint64 idScheda = 0;
    QString codice;
    QString nome;
    QString codiceAams;
    QString categoria;
    int numero = 0;
    Valuta totale;
    Valuta massimo;
    QDate ultimo;
    // Refilled unusually often in the last week of the period; motivo says why.
    bool allarme = false;
    QString motivo;

    // Two decimals are what the owners settle on; the exact quotient is not needed.
    Valuta media() const {
        return numero > 0 ? Valuta::daDecimillesimi(totale.decimillesimi() / numero) : Valuta();
    }
};

// One day of the period with at least one refill.
struct RiepilogoGiorno {
    QDate data;
    int numero = 0;
    Valuta totale;
};

// The refills of the venue between two dates, both included.
struct Riepilogo {
    QDate dal;
    QDate al;
    QString codLocale;
    int soglia = 2;
    // Machines with at least one refill, in the hall's order.
    QList<RiepilogoApparecchio> apparecchi;
    // Days with at least one refill, oldest first.
    QList<RiepilogoGiorno> giorni;

    int numero() const {
        int n = 0;
        for (const auto& a : apparecchi)
            n += a.numero;
        return n;
    }
    Valuta totale() const {
        Valuta t;
        for (const auto& a : apparecchi)
            t = t + a.totale;
        return t;
    }
    bool vuoto() const { return apparecchi.isEmpty(); }
};

} // namespace KaloRefill
