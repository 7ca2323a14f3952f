// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// What a list says when it has no row to show.
namespace KaloRefill::StatoVuoto {

// The first date literal of a statement ("#03-15-2011#", month first): the day a
// report is about. Invalid when there is none.
QDate dataDellaSorgente(const QString& sorgente);

// "Nessun refill registrato il 06/12/2026" for a day's refill report (without the date
// when the statement names none), "Nessuna registrazione" for any other list.
QString testo(const QString& modulo, const QString& sorgente);

} // namespace KaloRefill::StatoVuoto
