// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "IstruzioneDiretta.h"

#include "ConnessioneDiretta.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void fallisci(sqlite3* db, const QByteArray& sql) {
    std::fprintf(stderr, "%s: %s\n", sql.constData(), sqlite3_errmsg(db));
    std::exit(1);
}
} // namespace

IstruzioneDiretta::IstruzioneDiretta(ConnessioneDiretta& connessione, const QByteArray& sql)
    : m_connessione(connessione), m_sql(sql) {
    if (sqlite3_prepare_v3(connessione.handle(), sql.constData(), static_cast<int>(sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
        fallisci(connessione.handle(), sql);
}

IstruzioneDiretta::~IstruzioneDiretta() {
    sqlite3_finalize(m_stmt);
}

IstruzioneDiretta& IstruzioneDiretta::lega(int posizione, long long valore) {
    sqlite3_bind_int64(m_stmt, posizione, valore);
    return *this;
}

IstruzioneDiretta& IstruzioneDiretta::lega(int posizione, double valore) {
    sqlite3_bind_double(m_stmt, posizione, valore);
    return *this;
}

IstruzioneDiretta& IstruzioneDiretta::lega(int posizione, const QByteArray& testo) {
    sqlite3_bind_text(m_stmt, posizione, testo.constData(), static_cast<int>(testo.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

IstruzioneDiretta& IstruzioneDiretta::legaNullo(int posizione) {
    sqlite3_bind_null(m_stmt, posizione);
    return *this;
}

bool IstruzioneDiretta::passo() {
    const int esito = sqlite3_step(m_stmt);
    if (esito == SQLITE_ROW)
        return true;
    if (esito != SQLITE_DONE)
        fallisci(m_connessione.handle(), m_sql);
    return false;
}

void IstruzioneDiretta::esegui() {
    while (passo()) {
    }
    azzera();
}

int IstruzioneDiretta::leggiTutto() {
    int righe = 0;
    volatile long long somma = 0;
    while (passo()) {
        ++righe;
        const int colonne = sqlite3_column_count(m_stmt);
        for (int c = 0; c < colonne; ++c) {
            switch (sqlite3_column_type(m_stmt, c)) {
            case SQLITE_INTEGER:
                somma = somma + sqlite3_column_int64(m_stmt, c);
                break;
            case SQLITE_FLOAT:
                somma = somma + static_cast<long long>(sqlite3_column_double(m_stmt, c));
                break;
            case SQLITE_TEXT:
                somma = somma + sqlite3_column_bytes(m_stmt, c) +
                        *sqlite3_column_text(m_stmt, c);
                break;
            default:
                break;
            }
        }
    }
    azzera();
    return righe;
}

void IstruzioneDiretta::azzera() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

long long IstruzioneDiretta::intero(int colonna) const {
    return sqlite3_column_int64(m_stmt, colonna);
}

double IstruzioneDiretta::reale(int colonna) const {
    return sqlite3_column_double(m_stmt, colonna);
}

bool IstruzioneDiretta::nullo(int colonna) const {
    return sqlite3_column_type(m_stmt, colonna) == SQLITE_NULL;
}

QByteArray IstruzioneDiretta::testo(int colonna) const {
    const auto* caratteri = sqlite3_column_text(m_stmt, colonna);
    return caratteri ? QByteArray(reinterpret_cast<const char*>(caratteri),
                                  sqlite3_column_bytes(m_stmt, colonna))
                     : QByteArray();
}
