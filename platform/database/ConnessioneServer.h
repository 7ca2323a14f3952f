// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "CanalePg.h"
#include "Connessione.h"
#include "host/Errore.h"

#include <functional>
#include <optional>
#include <vector>

namespace KaloRefill {

class ParametriServer;

// A database on a PostgreSQL server, shared by the cash desks of a chain, often over a
// VPN: round trips decide the speed. QtSql opens the connection; the statements go through
// libpq on its handle (CanalePg), each text prepared once per connection with the values
// the module writes into its texts bound instead. Only what decides the next step waits
// for the server: a set's query leaves when the set is opened, a save's writes wait for
// the next statement that needs an answer, and a unit's BEGIN and transaction-level
// advisory lock go with its first statements. The statements of a unit that travel
// together run inside one savepoint, sent in the same round trip; when one of them fails
// that savepoint is rolled back and they go again, each in a savepoint of its own, so a
// failed statement undoes only itself as it does on a file. A connection the server
// dropped is made again: at the next unit, or once for a call outside a unit that changes
// nothing.
class ConnessioneServer final : public Connessione {
public:
    // Errore (database) when the server cannot be reached or refuses the connection.
    static std::shared_ptr<ConnessioneServer> apri(const ParametriServer& parametri,
                                                   int attesaBloccoMs = AttesaBloccoPredefinitaMs);
    ~ConnessioneServer() override;

    Risultato leggi(const QString& sql, const QVariantList& valori = {}) override;
    int esegui(const QString& sql, const QVariantList& valori = {}) override;
    // The key comes back as the result of the insert itself.
    qint64 inserisci(const QString& sql, const QVariantList& valori) override;
    void verifica(const QString& sql) override;
    // A query whose text is kept prepared already waits for the next round trip (a whole
    // table waits until its rows are needed: a set of every machine is narrowed before it
    // is read); another goes now, prepared and run together, and comes back read.
    std::shared_ptr<LetturaAnticipata> anticipa(const QString& sql, bool tutta) override;
    Risultato leggi(const std::shared_ptr<LetturaAnticipata>& anticipo, const QString& sql) override;
    // Held back in a unit that allows it: they travel with the next statement that needs
    // an answer, or with the commit.
    void eseguiDopo(const QString& sql, const QVariantList& valori, const QString& seNessunaRiga) override;
    std::function<qint64()> inserisciDopo(const QString& sql, const QVariantList& valori) override;
    void ritardaScritture(bool si) override { m_ritarda = si && m_unita == StatoUnita::Attiva; }
    std::vector<Errore> scrittureFallite() override;
    // The table of marks exists, or the database holds no table at all.
    Contrassegno contrassegno(const QString& nome) override;

    // A role that may only read, or may not write one of the tables a save writes, would
    // see every save fail: it is refused when the database is opened, in one line.
    void verificaDiritti();

protected:
    void apriUnita() override;
    bool chiudiUnita(QString& motivo) override;
    void scartaUnita() override;

private:
    explicit ConnessioneServer(int attesaBloccoMs);
    void collega();
    // The statement as it travels: with the values compared in its text taken out.
    CanalePg::Richiesta richiesta(const QString& sql, const QVariantList& valori);
    struct InAttesa;
    // Runs one request, with the queue before it, in the same round trip. A failure is
    // thrown as fallito throws it, what the request did undone.
    CanalePg::Esito esegui(const CanalePg::Richiesta& richiesta, bool conValori);
    // Sends every request of the queue in one round trip (more only when one fails) and
    // keeps what came back for each. UnitaNonRiuscita when the unit is lost on the way.
    // `poi` (the commit) goes last, outside any savepoint; what came back for it.
    std::optional<CanalePg::Esito> inviaCoda(const QString& poi = {});
    // A write held back: queued, and kept until what came back for it is looked at.
    std::shared_ptr<InAttesa> trattieni(const CanalePg::Richiesta& richiesta, const QString& seNessunaRiga);
    // The failures of the writes held back that came back, as their calls would have thrown.
    void esaminaScritture();
    // What came back for the unit's BEGIN and lock: true when they were taken; false when
    // all is to be sent again on a connection made again. UnitaNonRiuscita otherwise.
    bool unitaIniziata(const QList<CanalePg::Esito>& esiti);
    // What came back for a request: thrown as fallito throws it when it failed.
    const CanalePg::Esito& esitoDi(const InAttesa& attesa);
    // BEGIN, COMMIT, ROLLBACK: false when the server refused it; `errore` says why.
    bool comando(const QString& sql, QSqlError* errore = nullptr);
    template <typename Chiamata> auto riprovandoSePersa(Chiamata&& chiamata);
    // A statement of the unit's own bookkeeping: when it fails the unit cannot go on.
    void istruzioneUnita(const QString& sql);
    [[noreturn]] void unitaPersa(const QSqlError& errore);
    void impostaSessione();
    bool riconnetti();
    // A failed statement is undone by its savepoint; a lost connection loses the unit,
    // and the server has rolled its transaction back.
    [[noreturn]] void fallito(const QString& contesto, const QSqlError& errore);
    QString motivo(const QSqlError& errore) const;

    CanalePg m_canale;
    // Requests waiting for the next round trip, in the order they were made.
    std::vector<std::shared_ptr<InAttesa>> m_coda;
    // Counts what this connection wrote, and its units: a read sent ahead of a later
    // write is read again.
    quint64 m_scritture = 0;
    // Writes may wait for the next answer: set for a unit that allows it.
    bool m_ritarda = false;
    // The session's settings, until they go with the connection's first statement.
    QList<CanalePg::Richiesta> m_preambolo;
    // The unit's BEGIN and lock, until they go with its first statements.
    QList<CanalePg::Richiesta> m_inizio;
    bool m_riavviata = false;
    std::vector<std::shared_ptr<InAttesa>> m_trattenute;
    std::vector<Errore> m_fallite;
    // A connection that was lost: made again at the next unit.
    bool m_daRiconnettere = false;
    // The server as messages name it: host and port.
    QString m_server;
};

template <typename Chiamata> auto ConnessioneServer::riprovandoSePersa(Chiamata&& chiamata) {
    // A call outside a unit that finds the server gone (restarted, or a standby promoted in
    // its place) is made once more on a new connection: it changes nothing, and the
    // operator would otherwise see a page or a total fail once after every server change.
    const bool giaPersa = m_daRiconnettere;
    try {
        return chiamata();
    } catch (const Errore&) {
        if (giaPersa || !m_daRiconnettere || m_unita != StatoUnita::Nessuna)
            throw;
    }
    return chiamata();
}

} // namespace KaloRefill
