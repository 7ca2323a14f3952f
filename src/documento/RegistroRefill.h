// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "documento/RigaRegistro.h"
#include "host/HostApplication.h"
#include "kalorefill_export.h"

#include <QList>

namespace KaloRefill {

// The refill register: rows are only ever appended, numbered without gaps in one sequence
// per hall and year and chained by SHA-256 to the hall's previous row. Appending is meant
// to run inside the save's unit of work, which holds the storage's write lock, so the
// number read as the last one is still the last one when the row is written; the unique
// index on (codlocale, anno, numero) refuses a duplicate whatever happens.
class KALOREFILL_EXPORT RegistroRefill {
public:
    explicit RegistroRefill(HostApplication& host) : m_host(host) {}

    // The machine's amount in the refill document of the date; 0 without a row.
    Valuta importoDelGiorno(const QDate& data, qint64 idScheda);
    // The row a decrease of the machine on the day corrects: its latest row with a
    // positive difference. False when there is none.
    bool ultimaRigaPositiva(const QString& codLocale, qint64 idScheda, const QDate& giornata,
                            int& anno, qint64& numero);
    // Gives the row its number in riga.anno (or the hall's latest year, if later) and its
    // impronta, and appends it.
    void aggiungi(RigaRegistro& riga);

    // The rows whose business day is in the period (an invalid date leaves that end
    // open), hall by hall in the order of their numbers; `id` gets each row's key.
    QList<RigaRegistro> leggi(const QDate& dal, const QDate& al, QList<qint64>* id = nullptr);

    // A text between single quotes for the SQL texts, quotes doubled.
    static QString testoSql(const QString& testo);

private:
    QVariant valore(const QString& sql);

    HostApplication& m_host;
};

} // namespace KaloRefill
