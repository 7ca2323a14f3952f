// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Connessione.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSqlError>
#include <QString>
#include <QVariant>

#include <memory>

struct pg_conn;
struct pg_result;

namespace KaloRefill {

// The libpq connection under QtSql's PostgreSQL driver, spoken to directly: the statements
// of one call travel together in one round trip (pipeline mode), each text is prepared on
// the server once per connection and kept, and the types of the columns and the names of
// their tables are asked once per connection. Rows come back as the driver would give
// them (bigint as qlonglong, numeric as double, dates as QDate, ...).
class CanalePg final {
public:
    struct Richiesta {
        // With ? for each value (outside quotes).
        QString sql;
        QVariantList valori;
        // Kept prepared on the server under a name of its own; otherwise sent as it is.
        bool preparata = true;
        // Only prepared (and kept), not run: the server looks at it and reads no row.
        bool soloPrepara = false;
    };
    struct Esito {
        std::shared_ptr<pg_result> risultato;
        // Not valid when the statement ran.
        QSqlError errore;
        // The server refused to prepare it.
        bool rifiutata = false;
        // The name it is kept prepared under; empty for a text sent as it is.
        QByteArray preparata;
        bool riuscito() const { return !errore.isValid(); }
    };

    void collega(pg_conn* connessione);
    pg_conn* connessione() const { return m_pg; }
    // The connection was made again: the server has forgotten the prepared statements.
    void dimentica();

    // Sends every request and a sync in one round trip and gives one result per request.
    // After a failed request the server skips the rest: they come back failed too, with
    // the same error. A connection lost on the way fails every request.
    QList<Esito> invia(const QList<Richiesta>& richieste);
    // Whether the text is kept prepared already.
    bool preparata(const QString& sql) const { return m_preparate.contains(sql); }

    // The rows of a result, read to the end; the columns' tables are asked of the server
    // the first time each appears.
    Connessione::Risultato righe(const Esito& esito);
    static int cambiate(const Esito& esito);
    // The names of every table the connection sees: asked for with the session's first
    // round trip, taken from what came back.
    static Richiesta richiestaTabelle();
    void conosciTabelle(const Esito& esito);

private:
    struct Preparata {
        QByteArray nome;
        QByteArray testo;
        int valori = 0;
    };
    const Preparata& preparata(const QString& sql, bool& nuova);
    // A result's columns: names, tables (empty for an expression) and types.
    struct Colonne {
        QStringList nomi;
        QStringList tabelle;
        QList<unsigned> tipi;
    };
    Colonne colonne(const pg_result* r, const QByteArray& preparata);
    QVariant valore(const pg_result* risultato, int riga, int colonna, unsigned tipo) const;
    unsigned tipoBase(unsigned tipo) const;
    void conosciTipi(const QList<unsigned>& tipi);
    void conosciTabelle(const QList<unsigned>& tabelle);
    QSqlError erroreConnessione() const;

    pg_conn* m_pg = nullptr;
    QHash<QString, Preparata> m_preparate;
    int m_prossimoNome = 0;
    // A domain (yesno, currency) by the type it is made of; other types by themselves.
    QHash<unsigned, unsigned> m_tipi;
    QHash<unsigned, QString> m_tabelle;
    // The columns of each prepared statement's results, by its name: the server refuses to
    // run a prepared statement whose columns would change.
    QHash<QByteArray, Colonne> m_colonne;
};

} // namespace KaloRefill
