// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"
#include "kalorefill_export.h"

#include <QDate>
#include <QString>

#include <functional>

class QWidget;

// "Cerca" and "Stampa": the refill registrations and the day's refill rows, shown by the
// search-and-report component "KaloviaRicerca.Ricerca". A failure anywhere shows
// "number - description" with the critical icon; whatever was obtained is let go.
namespace KaloRefill::RicercaRefill {

// Lists every refill registration, newest first; when the operator picks one, hands its
// date to apriData (which moves the form to it). Failures inside apriData are reported
// the same way.
KALOREFILL_EXPORT void cerca(QWidget* parent, HostApplication& host,
                             const std::function<void(const QDate&)>& apriData);

// The refill rows of the date, under the day-total line as title, for printing.
KALOREFILL_EXPORT void stampaGiorno(QWidget* parent, HostApplication& host, const QDate& data,
                                    const QString& titolo);

} // namespace KaloRefill::RicercaRefill
