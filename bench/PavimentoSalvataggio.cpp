// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "PavimentoSalvataggio.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Column positions of "select *" in the tables as the host creates them.
enum ColonneApparecchi { ApIdapparecchio = 2, ApCodiceInterno, ApNomeScheda, ApNomeMobile, ApAams,
                         ApTipologia, ApCategoria };
constexpr int RigaRefillLocale = 10;

QByteArray adesso(bool soloOra = false) {
    const std::time_t t = std::time(nullptr);
    std::tm locale{};
    localtime_r(&t, &locale);
    char testo[32];
    std::strftime(testo, sizeof testo, soloOra ? "%H:%M:%S" : "%Y-%m-%d %H:%M:%S", &locale);
    return QByteArray(testo);
}

QByteArray testoColonna(const IstruzioneDiretta& q, int c) {
    return q.nullo(c) ? QByteArray() : QByteArray::number(q.intero(c));
}

} // namespace

PavimentoSalvataggio::PavimentoSalvataggio(const QString& percorsoFile, const QString& codLocale,
                                           const QString& operatore)
    : m_db(percorsoFile), m_codLocale(codLocale.toUtf8()), m_operatore(operatore.toUtf8()),
      m_apparecchio(m_db, "SELECT * FROM apparecchi WHERE idscheda = ?"),
      m_testa(m_db, "SELECT * FROM noteteste WHERE codcausale = 'ref' AND dataregistrazione = ?"),
      m_nuovaTesta(m_db, "INSERT INTO noteteste (dataregistrazione, Codlocale, codcausale, "
                         "codiceazienda, idoperatore, chiuso, import, iddata) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
      m_aggiornaTesta(m_db, "UPDATE noteteste SET dataregistrazione = ?, Codlocale = ?, "
                            "codcausale = ?, codiceazienda = ?, idoperatore = ?, chiuso = ?, "
                            "import = ?, iddata = ? WHERE id = ?"),
      m_riga(m_db, "SELECT * FROM noteincassi WHERE idtesta = ? AND linkscheda = ?"),
      m_log(m_db, "INSERT INTO LogOperazioni (iddata, idoperatore, orario, importo1, "
                  "Descrizione, notevarie, operazione) VALUES (?, ?, ?, ?, ?, ?, ?)"),
      m_nuovaRiga(m_db, "INSERT INTO noteincassi (idtesta, codarticolo, linkapparecchio, "
                        "linkscheda, Codlocale, dataincasso, tipoincasso, Descrizione, "
                        "refillgestore, riga, catapparecchio, idoperatore, iddata) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
      m_aggiornaRiga(m_db, "UPDATE noteincassi SET idtesta = ?, codarticolo = ?, "
                           "linkapparecchio = ?, linkscheda = ?, Codlocale = ?, dataincasso = ?, "
                           "tipoincasso = ?, Descrizione = ?, refillgestore = ?, riga = ?, "
                           "catapparecchio = ?, idoperatore = ?, iddata = ? WHERE id = ?"),
      m_totaleDocumento(m_db, "SELECT sum(refillgestore) AS TotaleRefill FROM noteincassi "
                              "WHERE idtesta = ?"),
      m_totaleGiorno(m_db, "SELECT Sum(NoteIncassi.Refillgestore) AS SommaDiRefillgestore "
                           "FROM NoteIncassi INNER JOIN NoteTeste ON NoteIncassi.IdTesta = "
                           "NoteTeste.id WHERE NoteTeste.CodCausale = 'REF' AND "
                           "NoteTeste.CodLocale = ? AND noteincassi.dataincasso = ? "
                           "GROUP BY NoteIncassi.DataIncasso ORDER BY NoteIncassi.DataIncasso "
                           "DESC"),
      m_totaleInTesta(m_db, "UPDATE noteteste SET refillnoleggiatore = ? WHERE id = ?"),
      m_cancellaMovimenti(m_db, "DELETE FROM noterighe WHERE idtesta = ?"),
      m_movimento(m_db, "INSERT INTO noterighe (idtesta, Data, Descrizione, dare, avere, "
                        "codconto, Codlocale, iddata, idoperatore, riga) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)") {
    m_db.esegui("PRAGMA journal_mode = WAL");
}

void PavimentoSalvataggio::totaleGiorno(const QByteArray& data) {
    m_totaleGiorno.lega(1, m_codLocale).lega(2, data);
    m_totaleGiorno.leggiTutto();
}

void PavimentoSalvataggio::salva(const QDate& giorno, int idScheda, const QString& importoTesto,
                                 Modo modo) {
    if (modo == Modo::UnaTransazione)
        m_db.esegui("BEGIN IMMEDIATE");
    const QByteArray data = giorno.toString(Qt::ISODate).toUtf8();
    QString punto = importoTesto;
    const double importo = punto.replace(QLatin1Char(','), QLatin1Char('.')).toDouble();

    // The machine, with what the rows copy from it.
    m_apparecchio.lega(1, static_cast<long long>(idScheda));
    if (!m_apparecchio.passo()) {
        std::fprintf(stderr, "apparecchio %d mancante\n", idScheda);
        std::exit(1);
    }
    const auto testo = [this](int c) { return m_apparecchio.testo(c); };
    const QByteArray idApparecchio = testo(ApIdapparecchio);
    const QByteArray interno = testo(ApCodiceInterno);
    const QByteArray nome = testo(ApNomeScheda);
    const QByteArray mobile = testo(ApNomeMobile);
    const QByteArray codiceAams = testo(ApAams);
    const long long tipologia = m_apparecchio.intero(ApTipologia);
    const QByteArray categoria = testo(ApCategoria);
    m_apparecchio.azzera();

    // Header of the date: rewritten, or made at the first save.
    m_testa.lega(1, data);
    long long idTesta = m_testa.passo() ? m_testa.intero(0) : 0;
    m_testa.azzera();
    IstruzioneDiretta& testa = idTesta ? m_aggiornaTesta : m_nuovaTesta;
    testa.lega(1, data)
        .lega(2, m_codLocale)
        .lega(3, QByteArrayLiteral("REF"))
        .lega(4, QByteArrayLiteral("Salagiochi"))
        .lega(5, m_operatore)
        .lega(6, 0LL)
        .lega(7, 0LL)
        .lega(8, adesso());
    if (idTesta)
        testa.lega(9, idTesta);
    testa.esegui();
    if (!idTesta)
        idTesta = m_db.ultimoId();

    // The machine's row of the document, if it has one.
    m_riga.lega(1, idTesta).lega(2, static_cast<long long>(idScheda));
    const bool esiste = m_riga.passo();
    const long long idRiga = esiste ? m_riga.intero(0) : 0;
    const QByteArray precedente = esiste ? testoColonna(m_riga, RigaRefillLocale) : QByteArray();
    m_riga.azzera();

    m_log.lega(1, adesso())
        .lega(2, m_operatore)
        .lega(3, adesso(true))
        .lega(4, importo)
        .lega(5, interno + " - " + nome + " - " + mobile + " - " + codiceAams);
    if (esiste)
        m_log.lega(6, QByteArrayLiteral("Valore precedente =") + precedente)
            .lega(7, QByteArrayLiteral("Modifica Refill"));
    else
        m_log.legaNullo(6).lega(7, QByteArrayLiteral("Inserimento Refill"));
    m_log.esegui();

    IstruzioneDiretta& riga = esiste ? m_aggiornaRiga : m_nuovaRiga;
    riga.lega(1, idTesta)
        .lega(2, QByteArrayLiteral("newslot"))
        .lega(3, idApparecchio)
        .lega(4, static_cast<long long>(idScheda))
        .lega(5, m_codLocale)
        .lega(6, data)
        .lega(7, tipologia)
        .lega(8, interno + " - " + nome + " - " + codiceAams)
        .lega(9, importo)
        .lega(10, 0LL)
        .lega(11, categoria)
        .lega(12, m_operatore)
        .lega(13, adesso());
    if (esiste)
        riga.lega(14, idRiga);
    riga.esegui();

    m_totaleDocumento.lega(1, idTesta);
    m_totaleDocumento.passo();
    const double totaleDocumento = m_totaleDocumento.reale(0);
    m_totaleDocumento.azzera();

    // The venue's day total into the header, read again as the form does.
    m_totaleGiorno.lega(1, m_codLocale).lega(2, data);
    const bool giornoPresente = m_totaleGiorno.passo();
    const double sommaGiorno = giornoPresente ? m_totaleGiorno.reale(0) : 0;
    m_totaleGiorno.azzera();
    if (giornoPresente) {
        m_testa.lega(1, data);
        m_testa.leggiTutto();
        m_totaleInTesta.lega(1, sommaGiorno).lega(2, idTesta);
        m_totaleInTesta.esegui();
    }

    m_cancellaMovimenti.lega(1, idTesta);
    m_cancellaMovimenti.esegui();
    for (long long r = 1; r <= 2; ++r) {
        m_movimento.lega(1, idTesta)
            .lega(2, data)
            .lega(3, r == 1 ? QByteArrayLiteral("Refill Hopper")
                            : QByteArrayLiteral("Carico Hopper(Refill)"))
            .lega(4, r == 1 ? 0.0 : totaleDocumento)
            .lega(5, r == 1 ? totaleDocumento : 0.0)
            .lega(6, r == 1 ? QByteArrayLiteral("C.01.001") : QByteArrayLiteral("C.01.010"))
            .lega(7, m_codLocale)
            .lega(8, adesso())
            .lega(9, m_operatore)
            .lega(10, r);
        m_movimento.esegui();
    }
    // The day's total on the form.
    totaleGiorno(data);
    if (modo == Modo::UnaTransazione)
        m_db.esegui("COMMIT");
}
