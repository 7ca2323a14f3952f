// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "CanalePg.h"
#include "Connessione.h"

namespace KaloRefill {

class ParametriServer;

// A database on a PostgreSQL server, shared by the cash desks of a chain, often over a
// VPN: round trips decide the speed. QtSql opens the connection; the statements go through
// libpq on its handle (CanalePg), each text prepared once per connection with the values
// the module writes into its texts bound instead. A unit takes a transaction-level
// advisory lock before anything else, in the round trip that begins it; each statement in
// it runs in a savepoint of its own, sent in the same round trip as the statement, so a
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
    // The table of marks exists, or the database holds no table at all.
    Contrassegno contrassegno(const QString& nome) override;

    // A role that may only read, or may not write one of the tables a save writes, would
    // see every save fail: it is refused when the database is opened, in one line.
    void verificaDiritti();

protected:
    bool legaValoriConfrontati() const override { return false; }
    void apriUnita() override;
    bool chiudiUnita(QString& motivo) override;
    void scartaUnita() override;

private:
    explicit ConnessioneServer(int attesaBloccoMs);
    void collega();
    // The statement as it travels: with the values compared in its text taken out.
    CanalePg::Richiesta richiesta(const QString& sql, const QVariantList& valori);
    // Runs one request; inside a unit between a savepoint and its release, in the same
    // round trip. A failure is thrown as fallito throws it, the savepoint rolled back.
    CanalePg::Esito esegui(const CanalePg::Richiesta& richiesta, bool conValori);
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
    // A connection that was lost: made again at the next unit.
    bool m_daRiconnettere = false;
    // The server as messages name it: host and port.
    QString m_server;
};

} // namespace KaloRefill
