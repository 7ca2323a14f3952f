// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QDate>
#include <QString>

// Every SQL text the module sends to the host, built exactly as the host's database
// expects it: values joined in, numbers unquoted, texts in single quotes, dates as
// #month-first# literals. Nothing is escaped.
namespace KaloRefill::SqlTesti {

KALOREFILL_EXPORT QString dataTrattini(const QDate& data); // "12-04-2026"
KALOREFILL_EXPORT QString dataBarre(const QDate& data);    // "12/04/2026"
// A date as the texts write it: "#12-04-2026#". Every date literal goes through here.
KALOREFILL_EXPORT QString dataSql(const QDate& data);

KALOREFILL_EXPORT QString locali();
KALOREFILL_EXPORT QString apparecchiAttivi();
KALOREFILL_EXPORT QString associazioneConti();
KALOREFILL_EXPORT QString testataRefill(const QDate& data);
KALOREFILL_EXPORT QString rigaApparecchio(const QString& idTesta, const QString& idScheda);
KALOREFILL_EXPORT QString logVuoto();
KALOREFILL_EXPORT QString tuttiApparecchi();
KALOREFILL_EXPORT QString totaleGiorno(const QString& codLocale, const QDate& data);
// The same query as the save sends it: only the letter case of its first clause differs.
KALOREFILL_EXPORT QString totaleGiornoSalvataggio(const QString& codLocale, const QDate& data);
KALOREFILL_EXPORT QString totaleDocumento(const QString& idTesta);
KALOREFILL_EXPORT QString cancellaRighe(const QString& idTesta);
KALOREFILL_EXPORT QString righeContabili();
KALOREFILL_EXPORT QString elencoRefill();
KALOREFILL_EXPORT QString refillDelGiorno(const QDate& data);
KALOREFILL_EXPORT QString operatori();
KALOREFILL_EXPORT QString viste();

// The check and repair of the refill documents. `periodo` is " and <colonna> >= #...#
// and <colonna> <= #...#", an invalid date leaving that end open.
KALOREFILL_EXPORT QString periodo(const QString& colonna, const QDate& dal, const QDate& al);
KALOREFILL_EXPORT QString testataPerId(const QString& idTesta);
KALOREFILL_EXPORT QString testateDelPeriodo(const QDate& dal, const QDate& al);
KALOREFILL_EXPORT QString righeDelPeriodo(const QDate& dal, const QDate& al);
KALOREFILL_EXPORT QString scrittureDelPeriodo(const QDate& dal, const QDate& al);
// Machine rows (righe) or entries (!righe) of the period whose header is gone: id, idtesta,
// giorno, and linkscheda and refillgestore or descrizione.
KALOREFILL_EXPORT QString orfaneDelPeriodo(bool righe, const QDate& dal, const QDate& al);
// A header's machine rows, oldest first: id, linkscheda, iddata.
KALOREFILL_EXPORT QString righeDellaTestata(qint64 idTesta);
KALOREFILL_EXPORT QString spostaRiga(qint64 idRiga, qint64 idTesta);
KALOREFILL_EXPORT QString cancellaRiga(qint64 idRiga);
KALOREFILL_EXPORT QString cancellaScrittura(qint64 idScrittura);
KALOREFILL_EXPORT QString cancellaTestata(qint64 idTesta);

} // namespace KaloRefill::SqlTesti
