// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SqlTesti.h"

namespace KaloRefill::SqlTesti {

namespace {
// The day-total query, from its FROM clause on.
QString totaleGiornoDopoSelect(const QString& codLocale, const QDate& data) {
    return QStringLiteral(" FROM NoteIncassi INNER JOIN NoteTeste ON NoteIncassi.IdTesta = NoteTeste.id")
         + QStringLiteral(" where NoteTeste.CodCausale = 'REF' And NoteTeste.CodLocale = '") + codLocale
         + QStringLiteral("'") + QStringLiteral(" GROUP BY NoteIncassi.DataIncasso")
         + QStringLiteral(" having noteincassi.dataincasso = #") + dataBarre(data) + QStringLiteral("#")
         + QStringLiteral(" ORDER BY NoteIncassi.DataIncasso DESC;");
}
} // namespace

QString dataTrattini(const QDate& data) { return data.toString(QStringLiteral("MM-dd-yyyy")); }

QString dataBarre(const QDate& data) { return data.toString(QStringLiteral("MM/dd/yyyy")); }

QString locali() { return QStringLiteral("select * from anagraficalocali"); }

QString apparecchiAttivi() {
    return QStringLiteral(
        "select * from apparecchi where attiva<>0 and tipologiaincasso=6 order by ordineincasso");
}

QString associazioneConti() { return QStringLiteral("select * from TabAssociazioneConti"); }

QString testataRefill(const QDate& data) {
    return QStringLiteral("Select * from noteteste where codcausale='ref' and dataregistrazione=#")
         + dataTrattini(data) + QStringLiteral("#");
}

QString rigaApparecchio(const QString& idTesta, const QString& idScheda) {
    return QStringLiteral("Select * from noteincassi where idtesta=") + idTesta
         + QStringLiteral(" and linkscheda=") + idScheda;
}

QString logVuoto() { return QStringLiteral("select * from LogOperazioni where id=-1"); }

QString tuttiApparecchi() { return QStringLiteral("select * from apparecchi"); }

QString totaleGiorno(const QString& codLocale, const QDate& data) {
    return QStringLiteral("SELECT Sum(NoteIncassi.RefillGestore) AS SommaDiRefillGestore")
         + totaleGiornoDopoSelect(codLocale, data);
}

QString totaleGiornoSalvataggio(const QString& codLocale, const QDate& data) {
    return QStringLiteral("SELECT Sum(NoteIncassi.Refillgestore) AS SommaDiRefillgestore")
         + totaleGiornoDopoSelect(codLocale, data);
}

QString totaleDocumento(const QString& idTesta) {
    return QStringLiteral("select sum(refillgestore) as TotaleRefill from noteincassi where idtesta=")
         + idTesta;
}

QString cancellaRighe(const QString& idTesta) {
    return QStringLiteral("delete * from noterighe where idtesta=") + idTesta;
}

QString righeContabili() { return QStringLiteral("Select * from noterighe"); }

QString elencoRefill() {
    return QStringLiteral(
        "select * from noteteste where codcausale='Ref' order by dataregistrazione desc");
}

QString refillDelGiorno(const QDate& data) {
    return QStringLiteral("SELECT NoteIncassi.DataIncasso, NoteIncassi.Descrizione, "
                          "NoteIncassi.RefillGestore, NoteIncassi.IdOperatore, NoteTeste.CodCausale")
         + QStringLiteral(" FROM NoteIncassi INNER JOIN NoteTeste ON NoteIncassi.IdTesta = NoteTeste.id")
         + QStringLiteral(" where (((NoteIncassi.DataIncasso) = #") + dataTrattini(data)
         + QStringLiteral("#) And ((NoteTeste.CodCausale) = 'Ref'))")
         + QStringLiteral(" ORDER BY NoteIncassi.DataIncasso DESC");
}

QString operatori() { return QStringLiteral("select * from operatori"); }

QString viste() { return QStringLiteral("select * from viste"); }

} // namespace KaloRefill::SqlTesti
