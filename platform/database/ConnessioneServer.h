// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Connessione.h"

#include <QSqlQuery>

namespace KaloRefill {

class ParametriServer;

// A database on a PostgreSQL server, shared by the cash desks of a chain. A unit takes a
// transaction-level advisory lock before anything else, and each statement in it runs in a
// savepoint of its own, so a failed statement undoes only itself as it does on a file. A
// connection the server dropped is made again: at the next unit, or once for a call
// outside a unit that changes nothing.
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
    QSqlQuery& prepara(const QString& sql, const QVariantList& valori);
    // BEGIN, COMMIT, ROLLBACK: the server will not prepare them; they run as they are.
    bool comando(const QString& sql, QSqlError* errore = nullptr);
    template <typename Chiamata> auto riprovandoSePersa(Chiamata&& chiamata);
    Risultato leggiPreparata(const QString& sql, const QVariantList& valori);
    // Runs a call of the connection; inside a unit, in a savepoint that undoes only that
    // call when it fails.
    template <typename Chiamata> auto protetto(Chiamata&& chiamata);
    // A statement of the unit's own bookkeeping: when it fails the unit cannot go on.
    void istruzioneUnita(const QString& sql);
    void impostaSessione();
    bool riconnetti();
    void esegui(QSqlQuery& query, const QString& sql);
    // A failed statement is undone by its savepoint; a lost connection loses the unit,
    // and the server has rolled its transaction back.
    [[noreturn]] void fallito(const QString& contesto, const QSqlError& errore);
    QString motivo(const QSqlError& errore) const;

    // The statement of the call under way.
    std::unique_ptr<QSqlQuery> m_inCorso;
    // A connection that was lost: made again at the next unit.
    bool m_daRiconnettere = false;
    // The server as messages name it: host and port.
    QString m_server;
};

} // namespace KaloRefill
