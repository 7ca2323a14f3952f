// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// History as the refill form and the rest of the suite leave it in the shared tables:
// every day a refill document of the venue (header with its timestamps and operator, one
// row per machine, the two accounting entries, one log row per save) and documents of
// other kinds (takings, payments, withdrawals) with their own rows. Written straight into
// the file in one transaction, far faster than through the host, and read by the form as
// any other history.
class GeneratoreStorico final {
public:
    static constexpr int Apparecchi = 40;
    static constexpr int Operatori = 5;
    static const QString CodLocale;

    // The machines, the venue, the account associations and the operators; a new database
    // made by the host.
    static void preparaSala(const QString& percorsoFile);
    // giorni days of history ending on ultimoGiorno. Without rows, only the document
    // headers are written (what the list of registrations reads).
    static void scrivi(const QString& percorsoFile, const QDate& ultimoGiorno, int giorni,
                       bool conRighe = true);
};
