// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>

class ConnessionePg;

// The history GeneratoreStorico writes into a file, written into a hall's database on a
// PostgreSQL server: the same machines, operators, documents of every kind and log rows,
// sent with COPY (row by row would take hours for a chain). The database must have been
// made by the host and be empty.
class StoricoServer final {
public:
    static void preparaSala(ConnessionePg& db);
    // giorni days of history ending on ultimoGiorno; then the keys' sequences are moved
    // past the rows written and the planner's statistics gathered.
    static void scrivi(ConnessionePg& db, const QDate& ultimoGiorno, int giorni);
};
