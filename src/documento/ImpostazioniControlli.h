// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"
#include "host/Valuta.h"
#include "kalorefill_export.h"

#include <QDateTime>
#include <QTime>

namespace KaloRefill {

// The hall's accountability settings, section "Refill" of the host's stored settings.
// "Controlli" 1 turns PINs, witnesses, slips and the register on; 0 or missing leaves the
// form as it has always been.
struct KALOREFILL_EXPORT ImpostazioniControlli {
    bool attivi = false;
    // A difference above it needs a witness ("SogliaTestimone", whole euros).
    Valuta sogliaTestimone = Valuta::daDecimillesimi(500'0000);
    // Above it operator or witness must be a responsabile ("SogliaResponsabile").
    Valuta sogliaResponsabile = Valuta::daDecimillesimi(2000'0000);
    // When the business day starts ("InizioGiornata", minutes after midnight).
    QTime inizioGiornata{6, 0};
    // Idle minutes before the form locks ("BloccoInattivita"; 0 never).
    int minutiInattivita = 5;
    // Copies of each slip ("CopieBuono") and its paper ("FormatoBuono": 0 A4, 1 80 mm roll).
    int copieBuono = 2;
    bool rotolo80mm = false;

    static ImpostazioniControlli leggi(HostApplication& host);

    // The business day a moment belongs to: before the start of the day it is still the
    // day before (a refill at 01:30 with the day starting at 06:00).
    static QDate giornata(const QDateTime& momento, const QTime& inizio);
    QDate giornata(const QDateTime& momento) const { return giornata(momento, inizioGiornata); }
};

} // namespace KaloRefill
