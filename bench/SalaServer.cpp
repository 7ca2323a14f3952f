// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SalaServer.h"

#include "ClusterProva.h"
#include "ConnessionePg.h"
#include "DatabaseHost.h"
#include "StoricoServer.h"

namespace {
QByteArray amministrazione(const ClusterProva& server) {
    return QStringLiteral("host=%1 port=%2 user=tester dbname=postgres").arg(server.cartella()).arg(server.porta()).toUtf8();
}
} // namespace

SalaServer SalaServer::su(const ClusterProva& server, const QString& nome) {
    SalaServer s;
    s.nome = nome;
    s.indirizzo = QStringLiteral("postgresql://tester@/%1?host=%2&port=%3").arg(nome, server.cartella()).arg(server.porta());
    s.conninfo = QStringLiteral("host=%1 port=%2 user=tester dbname=%3").arg(server.cartella()).arg(server.porta()).arg(nome).toUtf8();
    return s;
}

SalaServer SalaServer::tramite(int porta) const {
    SalaServer s;
    s.nome = nome;
    s.indirizzo = QStringLiteral("postgresql://tester@127.0.0.1:%1/%2").arg(porta).arg(nome);
    s.conninfo = QStringLiteral("host=127.0.0.1 port=%1 user=tester dbname=%2").arg(porta).arg(nome).toUtf8();
    return s;
}

SalaServer SalaServer::crea(const ClusterProva& server, const QString& nome, const QDate& ultimoGiorno, int giorni) {
    {
        ConnessionePg admin(amministrazione(server));
        admin.esegui("CREATE DATABASE " + nome.toUtf8());
    }
    const SalaServer s = su(server, nome);
    KaloRefill::DatabaseHost::crea(s.indirizzo);
    ConnessionePg db(s.conninfo);
    StoricoServer::preparaSala(db);
    if (giorni > 0)
        StoricoServer::scrivi(db, ultimoGiorno, giorni);
    return s;
}

SalaServer SalaServer::copia(const ClusterProva& server, const SalaServer& modello, const QString& nome) {
    ConnessionePg admin(amministrazione(server));
    admin.esegui("CREATE DATABASE " + nome.toUtf8() + " TEMPLATE " + modello.nome.toUtf8() + " STRATEGY FILE_COPY");
    return su(server, nome);
}

long long SalaServer::dimensione() const {
    ConnessionePg db(conninfo);
    return db.numero("SELECT pg_database_size(current_database())");
}
