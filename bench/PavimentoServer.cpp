// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "PavimentoServer.h"

#include <QDateTime>

namespace {
const QByteArray Nulla; // a NULL parameter

QByteArray adesso(bool soloOra = false) {
    return QDateTime::currentDateTime()
        .toString(soloOra ? QStringLiteral("HH:mm:ss") : QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toUtf8();
}
} // namespace

PavimentoServer::PavimentoServer(const QByteArray& indirizzo, const QString& codLocale, const QString& operatore)
    : m_db(indirizzo), m_codLocale(codLocale.toUtf8()), m_operatore(operatore.toUtf8()) {
    m_db.prepara("blocco", "SELECT pg_advisory_xact_lock(1263683148)");
    m_db.prepara("apparecchio", "SELECT idapparecchio, codiceinterno, nomescheda, nomemobile, codiceaams, "
                                "tipologiaincasso, categoria FROM apparecchi WHERE idscheda = $1");
    m_db.prepara("testa", "SELECT * FROM noteteste WHERE codcausale = 'ref' AND dataregistrazione = $1");
    m_db.prepara("nuovaTesta", "INSERT INTO noteteste (dataregistrazione, codlocale, codcausale, codiceazienda, "
                               "idoperatore, chiuso, import, iddata) VALUES ($1, $2, $3, $4, $5, $6, $7, $8) "
                               "RETURNING id");
    m_db.prepara("aggiornaTesta", "UPDATE noteteste SET dataregistrazione = $1, codlocale = $2, codcausale = $3, "
                                  "codiceazienda = $4, idoperatore = $5, chiuso = $6, import = $7, iddata = $8 "
                                  "WHERE id = $9");
    m_db.prepara("riga", "SELECT id, refilllocale FROM noteincassi WHERE idtesta = $1 AND linkscheda = $2");
    m_db.prepara("log", "INSERT INTO logoperazioni (iddata, idoperatore, orario, importo1, descrizione, "
                        "notevarie, operazione) VALUES ($1, $2, $3, $4, $5, $6, $7)");
    m_db.prepara("nuovaRiga", "INSERT INTO noteincassi (idtesta, codarticolo, linkapparecchio, linkscheda, "
                              "codlocale, dataincasso, tipoincasso, descrizione, refillgestore, riga, "
                              "catapparecchio, idoperatore, iddata) "
                              "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13)");
    m_db.prepara("aggiornaRiga", "UPDATE noteincassi SET idtesta = $1, codarticolo = $2, linkapparecchio = $3, "
                                 "linkscheda = $4, codlocale = $5, dataincasso = $6, tipoincasso = $7, "
                                 "descrizione = $8, refillgestore = $9, riga = $10, catapparecchio = $11, "
                                 "idoperatore = $12, iddata = $13 WHERE id = $14");
    m_db.prepara("totaleDocumento", "SELECT sum(refillgestore) FROM noteincassi WHERE idtesta = $1");
    m_db.prepara("totaleGiorno", "SELECT sum(noteincassi.refillgestore) FROM noteincassi INNER JOIN noteteste "
                                 "ON noteincassi.idtesta = noteteste.id WHERE noteteste.codcausale = 'REF' AND "
                                 "noteteste.codlocale = $1 AND noteincassi.dataincasso = $2 "
                                 "GROUP BY noteincassi.dataincasso");
    m_db.prepara("totaleInTesta", "UPDATE noteteste SET refillnoleggiatore = $1 WHERE id = $2");
    m_db.prepara("cancellaMovimenti", "DELETE FROM noterighe WHERE idtesta = $1");
    m_db.prepara("movimento", "INSERT INTO noterighe (idtesta, data, descrizione, dare, avere, codconto, "
                              "codlocale, iddata, idoperatore, riga) "
                              "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)");
}

void PavimentoServer::salva(const QDate& giorno, int idScheda, const QString& importoTesto) {
    const QByteArray data = giorno.toString(Qt::ISODate).toUtf8();
    QString punto = importoTesto;
    const QByteArray importo = punto.replace(QLatin1Char(','), QLatin1Char('.')).toUtf8();
    const QByteArray scheda = QByteArray::number(idScheda);
    m_db.esegui("BEGIN");
    m_db.eseguiPreparata("blocco", {});

    const ConnessionePg::Risultato apparecchio = m_db.eseguiPreparata("apparecchio", {scheda});
    const auto testo = [&apparecchio](int c) { return apparecchio.valore(0, c); };
    const QByteArray interno = testo(1), nome = testo(2), mobile = testo(3), codiceAams = testo(4);

    const ConnessionePg::Risultato testa = m_db.eseguiPreparata("testa", {data});
    QByteArray idTesta = testa.valore(0, 0);
    const QList<QByteArray> campiTesta{data, m_codLocale, "REF", "Salagiochi", m_operatore, "0", "0", adesso()};
    if (idTesta.isEmpty())
        idTesta = m_db.eseguiPreparata("nuovaTesta", campiTesta).valore(0, 0);
    else
        m_db.eseguiPreparata("aggiornaTesta", QList<QByteArray>(campiTesta) << idTesta);

    const ConnessionePg::Risultato riga = m_db.eseguiPreparata("riga", {idTesta, scheda});
    const bool esiste = riga.righe() > 0;
    m_db.eseguiPreparata("log", {adesso(), m_operatore, adesso(true), importo,
                                 interno + " - " + nome + " - " + mobile + " - " + codiceAams,
                                 esiste ? "Valore precedente =" + riga.valore(0, 1) : Nulla,
                                 esiste ? QByteArrayLiteral("Modifica Refill") : QByteArrayLiteral("Inserimento Refill")});
    QList<QByteArray> campiRiga{idTesta, "newslot", testo(0), scheda, m_codLocale, data, testo(5),
                                interno + " - " + nome + " - " + codiceAams, importo, "0", testo(6), m_operatore,
                                adesso()};
    if (esiste)
        m_db.eseguiPreparata("aggiornaRiga", campiRiga << riga.valore(0, 0));
    else
        m_db.eseguiPreparata("nuovaRiga", campiRiga);

    const QByteArray totaleDocumento = m_db.eseguiPreparata("totaleDocumento", {idTesta}).valore(0, 0);
    const ConnessionePg::Risultato giornata = m_db.eseguiPreparata("totaleGiorno", {m_codLocale, data});
    if (giornata.righe() > 0) {
        m_db.eseguiPreparata("testa", {data});
        m_db.eseguiPreparata("totaleInTesta", {giornata.valore(0, 0), idTesta});
    }
    m_db.eseguiPreparata("cancellaMovimenti", {idTesta});
    for (int r = 1; r <= 2; ++r)
        m_db.eseguiPreparata("movimento",
                             {idTesta, data, r == 1 ? "Refill Hopper" : "Carico Hopper(Refill)",
                              r == 1 ? "0" : totaleDocumento, r == 1 ? totaleDocumento : "0",
                              r == 1 ? "C.01.001" : "C.01.010", m_codLocale, adesso(), m_operatore,
                              QByteArray::number(r)});
    // The day's total on the form.
    m_db.eseguiPreparata("totaleGiorno", {m_codLocale, data});
    m_db.esegui("COMMIT");
}
