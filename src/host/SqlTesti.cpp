// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "host/SqlTesti.h"

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

// "MM?dd?yyyy" with `separatore` for ?, written digit by digit: QDate::toString goes
// through the locale's machinery, and every save writes a few of these.
QString meseGiornoAnno(const QDate& data, char16_t separatore) {
    if (!data.isValid() || data.year() < 1 || data.year() > 9999) {
        const QChar s(separatore);
        return data.toString(QStringLiteral("MM%1dd%1yyyy").arg(s));
    }
    QString testo;
    testo.reserve(10);
    const auto cifre = [&testo](int valore, int potenza) {
        for (; potenza > 0; potenza /= 10)
            testo.append(QChar(u'0' + (valore / potenza) % 10));
    };
    cifre(data.month(), 10);
    testo.append(QChar(separatore));
    cifre(data.day(), 10);
    testo.append(QChar(separatore));
    cifre(data.year(), 1000);
    return testo;
}
} // namespace

QString dataTrattini(const QDate& data) { return meseGiornoAnno(data, u'-'); }

QString dataBarre(const QDate& data) { return meseGiornoAnno(data, u'/'); }

QString dataSql(const QDate& giorno) { return QLatin1Char('#') + dataTrattini(giorno) + QLatin1Char('#'); }

QString locali() { return QStringLiteral("select * from anagraficalocali"); }

QString apparecchiAttivi() {
    return QStringLiteral(
        "select * from apparecchi where attiva<>0 and tipologiaincasso=6 order by ordineincasso");
}

QString associazioneConti() { return QStringLiteral("select * from TabAssociazioneConti"); }

QString testataRefill(const QDate& giorno) {
    return QStringLiteral("Select * from noteteste where codcausale='ref' and dataregistrazione=") + dataSql(giorno);
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

QString periodo(const QString& colonna, const QDate& dal, const QDate& al) {
    QString condizione;
    if (dal.isValid())
        condizione += QStringLiteral(" and ") + colonna + QStringLiteral(">=") + dataSql(dal);
    if (al.isValid())
        condizione += QStringLiteral(" and ") + colonna + QStringLiteral("<=") + dataSql(al);
    return condizione;
}

QString testataPerId(const QString& idTesta) { return QStringLiteral("select * from noteteste where id=") + idTesta; }

QString testateDelPeriodo(const QDate& dal, const QDate& al) {
    return QStringLiteral("select noteteste.id, noteteste.dataregistrazione, noteteste.refillnoleggiatore"
                          " from noteteste where noteteste.codcausale='REF'")
         + periodo(QStringLiteral("noteteste.dataregistrazione"), dal, al)
         + QStringLiteral(" order by noteteste.dataregistrazione, noteteste.id");
}

QString righeDelPeriodo(const QDate& dal, const QDate& al) {
    return QStringLiteral("select noteincassi.idtesta, noteincassi.linkscheda, noteincassi.refillgestore"
                          " from noteincassi inner join noteteste on noteincassi.idtesta = noteteste.id"
                          " where noteteste.codcausale='REF'")
         + periodo(QStringLiteral("noteteste.dataregistrazione"), dal, al);
}

QString scrittureDelPeriodo(const QDate& dal, const QDate& al) {
    return QStringLiteral("select noterighe.idtesta, noterighe.riga, noterighe.descrizione,"
                          " noterighe.dare, noterighe.avere, noterighe.codconto from noterighe"
                          " inner join noteteste on noterighe.idtesta = noteteste.id"
                          " where noteteste.codcausale='REF'")
         + periodo(QStringLiteral("noteteste.dataregistrazione"), dal, al)
         + QStringLiteral(" order by noterighe.idtesta, noterighe.riga");
}

QString orfaneDelPeriodo(bool righe, const QDate& dal, const QDate& al) {
    const QString tabella = righe ? QStringLiteral("noteincassi") : QStringLiteral("noterighe");
    const QString giorno = righe ? QStringLiteral("noteincassi.dataincasso") : QStringLiteral("noterighe.Data");
    const QString dettaglio = righe ? QStringLiteral("noteincassi.linkscheda, noteincassi.refillgestore")
                                    : QStringLiteral("noterighe.descrizione");
    return QStringLiteral("select %1.id, %1.idtesta, %2 as giorno, %3 from %1 left join noteteste on %1.idtesta = "
                          "noteteste.id where noteteste.id is null")
               .arg(tabella, giorno, dettaglio)
         + periodo(giorno, dal, al) + QStringLiteral(" order by %1.id").arg(tabella);
}

QString righeDellaTestata(qint64 idTesta) {
    return QStringLiteral("select id, linkscheda, iddata from noteincassi where idtesta=%1 order by id").arg(idTesta);
}

QString spostaRiga(qint64 idRiga, qint64 idTesta) {
    return QStringLiteral("update noteincassi set idtesta=%1 where id=%2").arg(idTesta).arg(idRiga);
}

QString cancellaRiga(qint64 idRiga) { return QStringLiteral("delete * from noteincassi where id=%1").arg(idRiga); }

QString cancellaScrittura(qint64 idScrittura) {
    return QStringLiteral("delete * from noterighe where id=%1").arg(idScrittura);
}

QString cancellaTestata(qint64 idTesta) { return QStringLiteral("delete * from noteteste where id=%1").arg(idTesta); }

} // namespace KaloRefill::SqlTesti
