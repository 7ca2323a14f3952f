#pragma once

#include "Riepilogo.h"
#include "host/HostApplication.h"

#include <QDate>
#include <QString>

namespace KaloRefill {

// Sums the venue's refills of a period per machine and per day and applies the frequency
// alert, reading only through the host: a handful of grouped queries whose date range
// the index on noteincassi.dataincasso serves, so a year opens as fast as a week.
//
// A refill is a machine row (noteincassi) of a 'REF' header with an amount above zero.
// The form keeps one row per machine and date and a later save of the same machine and
// date replaces its amount, so a row is "the machine was refilled that day"; rows saved
// with 0,00 are corrections, not refills. The operations log would count every save,
// corrections included, and names the machine only in a free text, so it is not used.
class CalcoloRiepilogo {
public:
    explicit CalcoloRiepilogo(HostApplication& host) : m_host(host) {}

    // Errore from the host when a query is refused. soglia is the alert's multiplier.
    Riepilogo calcola(const QDate& dal, const QDate& al, int soglia);

    // The texts sent to the host, built as the rest of the module builds them.
    static QString sqlPerApparecchio(const QString& codLocale, const QDate& dal, const QDate& al);
    static QString sqlPerGiorno(const QString& codLocale, const QDate& dal, const QDate& al);
    static QString sqlFrequenza(const QString& codLocale, const QDate& dal, const QDate& al);

    // The 7 days ending on the period's last day, and the 12 weeks before them.
    static QDate inizioUltimaSettimana(const QDate& al) { return al.addDays(-6); }
    static QDate inizioStorico(const QDate& al);

private:
    QString codiceLocale();

    HostApplication& m_host;
};

} // namespace KaloRefill
