// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConnessionePg.h"

#include <QElapsedTimer>

#include <libpq-fe.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
[[noreturn]] void fallisci(pg_conn* conn, const QByteArray& cosa) {
    std::fprintf(stderr, "PostgreSQL: %s: %s\n", cosa.left(200).constData(), PQerrorMessage(conn));
    std::exit(1);
}

ConnessionePg::Risultato controlla(pg_conn* conn, PGresult* r, const QByteArray& cosa) {
    const ExecStatusType stato = PQresultStatus(r);
    if (stato != PGRES_COMMAND_OK && stato != PGRES_TUPLES_OK) {
        PQclear(r);
        fallisci(conn, cosa);
    }
    return ConnessionePg::Risultato(r);
}
} // namespace

ConnessionePg::Risultato::Risultato(pg_result* r) : m_r(r, [](pg_result* p) { PQclear(p); }) {}

int ConnessionePg::Risultato::righe() const {
    return m_r ? PQntuples(m_r.get()) : 0;
}

QByteArray ConnessionePg::Risultato::valore(int riga, int colonna) const {
    if (riga >= righe() || PQgetisnull(m_r.get(), riga, colonna))
        return {};
    return QByteArray(PQgetvalue(m_r.get(), riga, colonna), PQgetlength(m_r.get(), riga, colonna));
}

bool ConnessionePg::Risultato::nullo(int riga, int colonna) const {
    return riga >= righe() || PQgetisnull(m_r.get(), riga, colonna);
}

ConnessionePg::ConnessionePg(const QByteArray& indirizzo) : m_conn(PQconnectdb(indirizzo.constData())) {
    if (PQstatus(m_conn) != CONNECTION_OK)
        fallisci(m_conn, indirizzo);
}

ConnessionePg::~ConnessionePg() {
    PQfinish(m_conn);
}

ConnessionePg::Risultato ConnessionePg::esegui(const QByteArray& sql) {
    ++m_richieste;
    return controlla(m_conn, PQexec(m_conn, sql.constData()), sql);
}

void ConnessionePg::prepara(const QByteArray& nome, const QByteArray& sql) {
    controlla(m_conn, PQprepare(m_conn, nome.constData(), sql.constData(), 0, nullptr), sql);
}

ConnessionePg::Risultato ConnessionePg::eseguiPreparata(const QByteArray& nome, const QList<QByteArray>& valori) {
    std::vector<const char*> puntatori;
    for (const QByteArray& v : valori)
        puntatori.push_back(v.isNull() ? nullptr : v.constData());
    ++m_richieste;
    QElapsedTimer t;
    t.start();
    Risultato r = controlla(m_conn,
                            PQexecPrepared(m_conn, nome.constData(), int(puntatori.size()), puntatori.data(),
                                           nullptr, nullptr, 0),
                            nome);
    m_tempi[nome] += static_cast<double>(t.nsecsElapsed()) / 1e6;
    return r;
}

void ConnessionePg::copia(const QByteArray& sql, const QByteArray& righe) {
    PGresult* inizio = PQexec(m_conn, sql.constData());
    if (PQresultStatus(inizio) != PGRES_COPY_IN) {
        PQclear(inizio);
        fallisci(m_conn, sql);
    }
    PQclear(inizio);
    constexpr qsizetype Pezzo = 1 << 20;
    for (qsizetype da = 0; da < righe.size(); da += Pezzo)
        if (PQputCopyData(m_conn, righe.constData() + da, int(std::min(Pezzo, righe.size() - da))) != 1)
            fallisci(m_conn, sql);
    if (PQputCopyEnd(m_conn, nullptr) != 1)
        fallisci(m_conn, sql);
    controlla(m_conn, PQgetResult(m_conn), sql);
    while (PGresult* altro = PQgetResult(m_conn))
        PQclear(altro);
}
