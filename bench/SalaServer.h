// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class ClusterProva;

// A hall on the chain's server. Every text of the module reads the one hall of its
// database (the first row of anagraficalocali, the day's header by date alone, every
// machine of apparecchi), so a hall is a database of its own; a chain is many databases
// on one server.
struct SalaServer {
    QString nome;
    // For the host (postgresql://...) and for libpq.
    QString indirizzo;
    QByteArray conninfo;

    // The address of database `nome` on the bench's server, through its socket.
    static SalaServer su(const ClusterProva& server, const QString& nome);
    // The same database through a relay listening on loopback at `porta`.
    SalaServer tramite(int porta) const;

    // A new hall: the database made, the schema made by the host, the machines, operators
    // and `giorni` days of history ending on `ultimoGiorno` written with COPY.
    static SalaServer crea(const ClusterProva& server, const QString& nome, const QDate& ultimoGiorno, int giorni);
    // A copy of an existing hall, file by file (no one may be connected to it meanwhile).
    static SalaServer copia(const ClusterProva& server, const SalaServer& modello, const QString& nome);
    // Bytes the hall's database takes on the server.
    long long dimensione() const;
};
