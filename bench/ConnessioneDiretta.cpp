// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConnessioneDiretta.h"

#include "IstruzioneDiretta.h"

#include <QFile>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

ConnessioneDiretta::ConnessioneDiretta(const QString& percorsoFile) {
    if (sqlite3_open_v2(QFile::encodeName(percorsoFile).constData(), &m_db,
                        SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "impossibile aprire %s: %s\n", qPrintable(percorsoFile),
                     sqlite3_errmsg(m_db));
        std::exit(1);
    }
    sqlite3_busy_timeout(m_db, 5000);
}

ConnessioneDiretta::~ConnessioneDiretta() {
    sqlite3_close_v2(m_db);
}

void ConnessioneDiretta::esegui(const char* sql) {
    char* errore = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &errore) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, errore ? errore : "?");
        std::exit(1);
    }
}

long long ConnessioneDiretta::numero(const char* sql) {
    IstruzioneDiretta q(*this, sql);
    q.passo();
    return q.intero(0);
}

long long ConnessioneDiretta::ultimoId() const {
    return sqlite3_last_insert_rowid(m_db);
}
