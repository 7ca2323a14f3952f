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

// With the hall's accountable refills on: the register's numbered rows instead of the
// dates, newest first; picking one opens its business day through apriData, and
// "Ristampa buono" (where the component offers buttons of its own) hands the selected
// row's key to ristampa while the list stays open.
KALOREFILL_EXPORT void cercaBuoni(QWidget* parent, HostApplication& host,
                                  const std::function<void(const QDate&)>& apriData,
                                  const std::function<void(qint64)>& ristampa);

// The refill rows of the date, under the day-total line as title, for printing.
KALOREFILL_EXPORT void stampaGiorno(QWidget* parent, HostApplication& host, const QDate& data,
                                    const QString& titolo);

} // namespace KaloRefill::RicercaRefill
