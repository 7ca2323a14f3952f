// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The requests that wait for the next round trip: reads sent ahead of their use, writes
// held back in a save until a statement needs an answer, and what came back for each.
#include "ConnessioneServer.h"

#include "ErroriServer.h"
#include "host/Errore.h"

#include <QSqlError>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace KaloRefill {

using ErroriServer::connessionePersa;
using ErroriServer::piano;
using ErroriServer::serverNonRisponde;

struct ConnessioneServer::InAttesa final : LetturaAnticipata {
    CanalePg::Richiesta richiesta;
    bool conValori = false;
    // The writes of this connection before it was asked for.
    quint64 scritture = 0;
    std::optional<CanalePg::Esito> esito;
    bool ritentata = false;
    // A write held back: what it means when it changes no row (nothing when that is fine).
    bool trattenuta = false;
    QString seNessunaRiga;
};

std::optional<CanalePg::Esito> ConnessioneServer::inviaCoda(const QString& poi) {
    std::optional<CanalePg::Esito> esitoPoi;
    // Set once a statement of a unit failed among others: from then on each goes alone.
    bool unaAllaVolta = false;
    while (!m_coda.empty() || (!poi.isEmpty() && !esitoPoi)) {
        soloSeUnitaViva();
        // Outside a unit a lost server connection is made again at the next call.
        if ((m_daRiconnettere || !database().isOpen()) && m_unita == StatoUnita::Nessuna)
            riconnetti();
        // A read sent ahead for a set that is gone, or that this connection has written
        // after, is not sent: it would be read again anyway.
        std::erase_if(m_coda, [this](const std::shared_ptr<InAttesa>& a) {
            return !a->trattenuta && (a.use_count() == 1 || a->scritture != m_scritture);
        });
        if (m_coda.empty() && poi.isEmpty())
            return esitoPoi;
        // A failed statement would abort the server's whole transaction: a savepoint keeps
        // the failure to that one call, as SQLite does by itself. The statements of a round
        // trip share one; when one of them fails they all go again, each in its own.
        const bool inUnita = m_unita == StatoUnita::Attiva;
        const bool ognuna = inUnita && unaAllaVolta;
        const bool insieme = inUnita && !unaAllaVolta && !m_coda.empty();
        const qsizetype passo = ognuna ? 3 : 1;
        // The session's settings and the unit's BEGIN and lock travel with the first
        // statements.
        QList<CanalePg::Richiesta> richieste = m_preambolo + m_inizio;
        const qsizetype preambolo = m_preambolo.size();
        const qsizetype inizio = preambolo + m_inizio.size();
        const CanalePg::Richiesta salva{QStringLiteral("SAVEPOINT istruzione"), {}, true};
        const CanalePg::Richiesta rilascia{QStringLiteral("RELEASE SAVEPOINT istruzione"), {}, true};
        if (insieme)
            richieste.append(salva);
        for (const auto& a : std::as_const(m_coda)) {
            if (ognuna)
                richieste.append(salva);
            richieste.append(a->richiesta);
            if (ognuna)
                richieste.append(rilascia);
        }
        if (insieme)
            richieste.append(rilascia);
        if (!poi.isEmpty())
            richieste.append({poi, {}, true});
        const QList<CanalePg::Esito> esiti = m_canale.invia(richieste);
        if (preambolo > 0) {
            m_preambolo.clear();
            if (esiti.at(preambolo - 1).riuscito()) {
                m_canale.conosciTabelle(esiti.at(2));
                if (preambolo > 3)
                    catalogo().carica(m_canale.righe(esiti.at(3)).righe);
            } else {
                const QSqlError errore = esiti.at(preambolo - 1).errore;
                m_coda.clear();
                m_trattenute.clear();
                if (m_unita == StatoUnita::Attiva) {
                    m_inizio.clear();
                    m_daRiconnettere = m_daRiconnettere || connessionePersa(errore);
                    perdiUnita(motivo(errore));
                }
                fallito(QStringLiteral("Errore del database"), errore);
            }
        }
        if (inizio > preambolo && !unitaIniziata(esiti.mid(preambolo, inizio - preambolo)))
            continue;
        if (insieme && !esiti.at(inizio).riuscito())
            unitaPersa(esiti.at(inizio).errore);
        const qsizetype primo = inizio + (insieme ? 1 : 0);
        if (insieme) {
            const auto prima = esiti.cbegin() + primo;
            const auto fallita = std::find_if(prima, prima + qsizetype(m_coda.size()),
                                              [](const CanalePg::Esito& e) { return !e.riuscito(); });
            if (fallita == prima + qsizetype(m_coda.size())) {
                const CanalePg::Esito& rilascio = esiti.at(primo + qsizetype(m_coda.size()));
                if (!rilascio.riuscito())
                    unitaPersa(rilascio.errore);
            } else if (!connessionePersa(fallita->errore)) {
                // What ran before it is undone too, and sent again with the rest.
                istruzioneUnita(QStringLiteral("ROLLBACK TO SAVEPOINT istruzione"));
                unaAllaVolta = true;
                continue;
            }
        }
        // After a failure the server skips the rest until the sync: they go again.
        bool tutte = true;
        for (std::size_t fatte = 0; tutte && fatte < m_coda.size(); ++fatte) {
            const qsizetype i = primo + qsizetype(fatte) * passo;
            const CanalePg::Esito& esito = esiti.at(ognuna ? i + 1 : i);
            if (esiti.at(i + passo - 1).riuscito()) {
                m_coda[fatte]->esito = esito;
                continue;
            }
            tutte = false;
            InAttesa& fallita = *m_coda[fatte];
            const auto coda = std::exchange(m_coda, {});
            if (ognuna && (!esiti.at(i).riuscito() || esito.riuscito()))
                unitaPersa(esiti.at(i).riuscito() ? esiti.at(i + 2).errore : esiti.at(i).errore);
            const bool persa = connessionePersa(esito.errore);
            if (ognuna && !persa)
                istruzioneUnita(QStringLiteral("ROLLBACK TO SAVEPOINT istruzione"));
            m_coda.assign(coda.begin() + qsizetype(fatte) + 1, coda.end());
            if (!fallita.ritentata && !persa && piano(esito.errore)) {
                m_canale.dimentica();
                fallita.ritentata = true;
                m_coda.insert(m_coda.begin(), coda.at(fatte));
                continue;
            }
            fallita.esito = esito;
            if (persa) {
                // Nothing more reaches this server: what waited fails with the same error.
                for (const auto& a : std::as_const(m_coda))
                    a->esito = esito;
                m_coda.clear();
            }
        }
        if (tutte) {
            m_coda.clear();
            if (!poi.isEmpty())
                esitoPoi = esiti.constLast();
        }
    }
    esaminaScritture();
    return esitoPoi;
}

std::shared_ptr<ConnessioneServer::InAttesa> ConnessioneServer::trattieni(const CanalePg::Richiesta& richiesta,
                                                                      const QString& seNessunaRiga) {
    ++m_scritture;
    auto attesa = std::make_shared<InAttesa>();
    attesa->richiesta = richiesta;
    attesa->conValori = true;
    attesa->scritture = m_scritture;
    attesa->trattenuta = true;
    attesa->seNessunaRiga = seNessunaRiga;
    m_coda.push_back(attesa);
    m_trattenute.push_back(attesa);
    return attesa;
}

void ConnessioneServer::esaminaScritture() {
    while (!m_trattenute.empty() && m_trattenute.front()->esito) {
        const std::shared_ptr<InAttesa> attesa = m_trattenute.front();
        m_trattenute.erase(m_trattenute.begin());
        try {
            if (CanalePg::cambiate(esitoDi(*attesa)) == 0 && !attesa->seNessunaRiga.isEmpty())
                throw Errore::database(attesa->seNessunaRiga);
        } catch (const Errore& errore) {
            // A lost unit is the caller's failure, at once; anything else was the write's.
            if (errore.numero() == CodiceErrore::UnitaNonRiuscita)
                throw;
            m_fallite.push_back(errore);
        }
    }
}

void ConnessioneServer::eseguiDopo(const QString& sql, const QVariantList& valori, const QString& seNessunaRiga) {
    if (!m_ritarda || m_unita != StatoUnita::Attiva) {
        Connessione::eseguiDopo(sql, valori, seNessunaRiga);
        return;
    }
    trattieni(richiesta(sql, valori), seNessunaRiga);
}

std::function<qint64()> ConnessioneServer::inserisciDopo(const QString& sql, const QVariantList& valori) {
    if (!m_ritarda || m_unita != StatoUnita::Attiva)
        return Connessione::inserisciDopo(sql, valori);
    std::shared_ptr<InAttesa> attesa = trattieni(richiesta(m_dialetto->insertConChiave(sql), valori), {});
    return [this, attesa] {
        if (!attesa->esito)
            inviaCoda();
        const CanalePg::Esito* esito = attesa->esito ? &*attesa->esito : nullptr;
        const QVariant chiave =
            esito && esito->riuscito() ? m_canale.righe(*esito).righe.value(0).value(0) : QVariant();
        if (!chiave.isValid() || chiave.isNull())
            throw Errore::database(
                QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
        return chiave.toLongLong();
    };
}

std::vector<Errore> ConnessioneServer::scrittureFallite() {
    if (m_unita == StatoUnita::Attiva)
        inviaCoda();
    return std::exchange(m_fallite, {});
}

const CanalePg::Esito& ConnessioneServer::esitoDi(const InAttesa& attesa) {
    if (!attesa.esito)
        throw Errore::database(serverNonRisponde(m_server, {}));
    const CanalePg::Esito& esito = *attesa.esito;
    if (!esito.riuscito())
        fallito(esito.rifiutata && attesa.conValori ? QStringLiteral("Istruzione rifiutata dal database")
                                                    : QStringLiteral("Errore del database"),
                esito.errore);
    return esito;
}

CanalePg::Esito ConnessioneServer::esegui(const CanalePg::Richiesta& richiesta, bool conValori) {
    auto attesa = std::make_shared<InAttesa>();
    attesa->richiesta = richiesta;
    attesa->conValori = conValori;
    attesa->scritture = m_scritture;
    m_coda.push_back(attesa);
    inviaCoda();
    return esitoDi(*attesa);
}

std::shared_ptr<LetturaAnticipata> ConnessioneServer::anticipa(const QString& sql, bool tutta) {
    CanalePg::Richiesta r = richiesta(sql, {});
    if (!r.preparata || (tutta && m_canale.preparata(r.sql)))
        return {};
    auto attesa = std::make_shared<InAttesa>();
    attesa->richiesta = r;
    attesa->conValori = true;
    attesa->scritture = m_scritture;
    m_coda.push_back(attesa);
    // A text the server has not seen yet goes now: a wrong one fails where it is opened.
    if (!m_canale.preparata(r.sql)) {
        riprovandoSePersa([&] {
            inviaCoda();
            if (!attesa->esito)
                return 0;
            if (!attesa->esito->riuscito() && attesa->esito->rifiutata)
                esitoDi(*attesa);
            return 0;
        });
    }
    return attesa;
}

ConnessioneServer::Risultato ConnessioneServer::leggi(const std::shared_ptr<LetturaAnticipata>& anticipo,
                                                      const QString& sql) {
    auto attesa = std::dynamic_pointer_cast<InAttesa>(anticipo);
    if (attesa && attesa->scritture == m_scritture && !attesa->esito)
        inviaCoda();
    // Read again: written since, or failed on a connection that is made again.
    if (!attesa || attesa->scritture != m_scritture || !attesa->esito ||
        (!attesa->esito->riuscito() && m_unita == StatoUnita::Nessuna && connessionePersa(attesa->esito->errore)))
        return leggi(sql);
    return m_canale.righe(esitoDi(*attesa));
}

} // namespace KaloRefill
