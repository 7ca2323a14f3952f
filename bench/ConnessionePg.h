// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>

#include <memory>

struct pg_conn;
struct pg_result;

// A connection straight to a PostgreSQL server through libpq, with nothing of QtSql or of
// the host in between: what the benchmark writes history with (COPY), what it checks the
// results with, and what the floor of a save runs on. Any failure aborts the benchmark: a
// floor that silently did less work would flatter the host.
class ConnessionePg final {
public:
    // A result kept until the next one is asked for; text values by row and column.
    class Risultato final {
    public:
        explicit Risultato(pg_result* r = nullptr);
        int righe() const;
        QByteArray valore(int riga, int colonna) const;
        bool nullo(int riga, int colonna) const;
        long long intero(int riga, int colonna) const { return valore(riga, colonna).toLongLong(); }
        double reale(int riga, int colonna) const { return valore(riga, colonna).toDouble(); }

    private:
        std::shared_ptr<pg_result> m_r;
    };

    // A libpq connection string or postgresql:// address.
    explicit ConnessionePg(const QByteArray& indirizzo);
    ~ConnessionePg();
    ConnessionePg(const ConnessionePg&) = delete;
    ConnessionePg& operator=(const ConnessionePg&) = delete;

    // One or more statements sent as they are.
    Risultato esegui(const QByteArray& sql);
    // A statement kept prepared on the server under `nome`, parameters $1, $2, ...
    void prepara(const QByteArray& nome, const QByteArray& sql);
    // Runs a prepared statement; a null QByteArray is a NULL.
    Risultato eseguiPreparata(const QByteArray& nome, const QList<QByteArray>& valori);
    // COPY ... FROM STDIN with rows already in COPY's text format.
    void copia(const QByteArray& sql, const QByteArray& righe);
    long long numero(const QByteArray& sql) { return esegui(sql).intero(0, 0); }

    // Requests sent that waited for their answer: the round trips this connection paid for.
    long long richieste() const { return m_richieste; }
    // Milliseconds spent in each prepared statement, by name, since the connection opened.
    const QMap<QByteArray, double>& tempi() const { return m_tempi; }

private:
    pg_conn* m_conn = nullptr;
    QMap<QByteArray, double> m_tempi;
    long long m_richieste = 0;
};
