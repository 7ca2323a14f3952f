// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DbDiretto.h"
#include "ParametriServer.h"

#include <QStringList>

// Everything that makes the refill documents of a database inconsistent, one row each: two
// headers a day, rows or entries without a header, a machine twice in a header, a header
// without rows, with a total that is not their sum, or without its two balanced entries on
// the hall's accounts (C.01.001, C.01.010); on a file, a damaged file too. Read through a
// connection of the caller's own, not through the host under test; empty when all is well.
inline QStringList incoerenze(const QString& indirizzo) {
    const QString controllo = QStringLiteral(R"(
select 'testate doppie il ' || dataregistrazione from noteteste where codcausale = 'REF'
 group by dataregistrazione having count(*) > 1
union all select 'riga senza testata ' || x.id from noteincassi x
 where not exists (select 1 from noteteste t where t.id = x.idtesta)
union all select 'scrittura senza testata ' || x.id from noterighe x
 where not exists (select 1 from noteteste t where t.id = x.idtesta)
union all select 'apparecchio doppio ' || linkscheda from noteincassi
 group by idtesta, linkscheda having count(*) > 1
union all select 'testata incoerente ' || t.id from noteteste t where t.codcausale = 'REF' and (
   not exists (select 1 from noteincassi i where i.idtesta = t.id) or t.refillnoleggiatore is null
   or round(t.refillnoleggiatore * 100) <>
      (select round(sum(refillgestore) * 100) from noteincassi i where i.idtesta = t.id)
   or (select count(*) from noterighe r where r.idtesta = t.id) <> 2
   or not exists (select 1 from noterighe r where r.idtesta = t.id and r.riga = 1 and r.dare = 0
      and round(r.avere * 100) = round(t.refillnoleggiatore * 100) and r.codconto = 'C.01.001')
   or not exists (select 1 from noterighe r where r.idtesta = t.id and r.riga = 2 and r.avere = 0
      and round(r.dare * 100) = round(t.refillnoleggiatore * 100) and r.codconto = 'C.01.010')))");
    DbDiretto db(indirizzo);
    QStringList trovate;
    if (!KaloRefill::ParametriServer::eIndirizzo(indirizzo) &&
        db.valore(QStringLiteral("PRAGMA integrity_check")).toString() != QLatin1String("ok"))
        trovate << QStringLiteral("integrity_check non ok");
    if (!db.esegui(controllo)) // a look that fails must not pass for a clean database
        trovate << QStringLiteral("controllo rifiutato");
    for (const QVariantList& r : db.righe(controllo))
        trovate << r.at(0).toString();
    return trovate;
}
