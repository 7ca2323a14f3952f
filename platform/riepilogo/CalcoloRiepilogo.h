// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Riepilogo.h"
#include "host/HostApplication.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

namespace KaloRefill {

// Sums the venue's refills of a period per machine and per day and applies the frequency
// alert, reading only through the host: a handful of grouped queries whose date range
// the index on noteincassi.dataincasso serves, so a year opens as fast as a week.
//
// Money comes from the machine rows (noteincassi) of the 'REF' headers, every amount
// counted, zero and decreases included: the period's total is what the day documents and
// their accounting entries hold. A refill is a save that raised a machine's day amount;
// the form keeps one row per machine and date, so only the operations log, one row per
// save with the new and the previous amount, can count them. Saves are dated by the
// moment they were made.
class CalcoloRiepilogo {
public:
    explicit CalcoloRiepilogo(HostApplication& host) : m_host(host) {}

    // Errore from the host when a query is refused. soglia is the alert's multiplier.
    Riepilogo calcola(const QDate& dal, const QDate& al, int soglia);

    // The texts sent to the host, built as the rest of the module builds them.
    static QString sqlPerApparecchio(const QString& codLocale, const QDate& dal, const QDate& al);
    static QString sqlPerGiorno(const QString& codLocale, const QDate& dal, const QDate& al);
    static QString sqlRegistro(const QDate& dal, const QDate& al);

    // The 7 days ending on the period's last day, and the 12 weeks before them.
    static QDate inizioUltimaSettimana(const QDate& al) { return al.addDays(-6); }
    static QDate inizioStorico(const QDate& al);

private:
    struct Refill {
        qint64 idScheda = 0;
        QDate giorno;
    };
    QString codiceLocale();
    // The saves of the log between the two days that raised an amount, with their machine.
    QList<Refill> refillDelRegistro(const QDate& dal, const QDate& al,
                                    const QHash<QString, qint64>& perDescrizione,
                                    const QHash<QString, qint64>& perCodice);

    HostApplication& m_host;
};

} // namespace KaloRefill
