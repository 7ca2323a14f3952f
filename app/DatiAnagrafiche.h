// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>

namespace KaloRefill {

// The master data of a hall as "Anagrafiche" shows and edits it, one struct per table.

struct Locale {
    QString codice;
    QString nome;
    QString ragioneSociale;
};

struct Conti {
    QString cassaSalaGiochi;
    QString cassaRefill;
};

struct Apparecchio {
    qint64 id = 0; // 0: not stored yet
    qint64 idscheda = 0;
    QString codice; // codiceinterno
    QString nome;
    QString mobile;
    QString codiceAdm;
    QString categoria = QStringLiteral("AWP");
    int tipoIncasso = 6; // the refill form lists only the machines of kind 6
    int ordine = 0;
    bool inServizio = true;
};

struct Operatore {
    qint64 id = 0; // 0: not stored yet
    QString codice;
    QString nome;
    QString cognome;
    QString ruolo = QStringLiteral("operatore"); // or "responsabile"
    bool attivo = true;
};

} // namespace KaloRefill
