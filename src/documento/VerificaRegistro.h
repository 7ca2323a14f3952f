// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"
#include "kalorefill_export.h"

#include <QDate>
#include <QList>
#include <QString>

namespace KaloRefill {

// Walks the refill register hall by hall in the order of its numbers and says where it
// stops being what the program wrote: a number missing, repeated or out of order, a row
// whose hash does not match its fields or whose amounts do not follow from the machine's
// previous row, and a day's refill document whose amount for a machine is not what the
// register's rows for that machine and day come to. It only reads.
class KALOREFILL_EXPORT VerificaRegistro {
public:
    struct Problema {
        QString codLocale;
        int anno = 0;
        qint64 numero = 0;
        QDate data;
        QString descrizione;
    };

    // Rows and documents whose business day is in the period (invalid: open end); the
    // numbers are followed across the whole register, since a gap may cross the period.
    VerificaRegistro(HostApplication& host, const QDate& dal, const QDate& al)
        : m_host(host), m_dal(dal), m_al(al) {}

    // The problems in the order of the register; empty when everything holds. Nothing
    // when the database has no register.
    QList<Problema> verifica();

    static QString tabella(const QList<Problema>& problemi);

private:
    bool nelPeriodo(const QDate& data) const;

    HostApplication& m_host;
    QDate m_dal;
    QDate m_al;
};

} // namespace KaloRefill
