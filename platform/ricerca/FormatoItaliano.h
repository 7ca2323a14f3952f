// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Valuta.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

// How the lists show values to the operators: Italian dates and amounts, readable
// column headings.
namespace KaloRefill::FormatoItaliano {

// "15/03/2011".
QString data(const QDate& data);
// The date alone at midnight (dates stored as moments), else "15/03/2011 10:20:05".
QString momento(const QDateTime& momento);
// Two decimals, decimal comma, no grouping, halves away from zero: "12,50", "-0,30".
QString importo(Valuta valore);

// An amount held by the value: a double, a float or a Valuta; nothing for null or for
// any other type.
std::optional<Valuta> comeImporto(const QVariant& valore);

// A whole number of any integer type (not null).
bool eIntero(const QVariant& valore);

// The value as the list shows it; amounts with two decimals when comeImportoFisso is
// true, in their shortest form otherwise. Null shows as nothing.
QString testo(const QVariant& valore, bool comeImportoFisso);

// The heading of a field ("DataIncasso" -> "Data"); unknown fields keep their name.
QString intestazione(const QString& campo);

} // namespace KaloRefill::FormatoItaliano
