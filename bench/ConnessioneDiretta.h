// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>

struct sqlite3;

// A connection straight to the engine's C interface, with nothing of QtSql or of the host
// in between: what the benchmark writes history with, and what the floor of a save runs on.
class ConnessioneDiretta final {
public:
    // Aborts the benchmark when the file cannot be opened.
    explicit ConnessioneDiretta(const QString& percorsoFile);
    ~ConnessioneDiretta();
    ConnessioneDiretta(const ConnessioneDiretta&) = delete;
    ConnessioneDiretta& operator=(const ConnessioneDiretta&) = delete;

    sqlite3* handle() const { return m_db; }
    // Runs one or more statements that return nothing the caller needs.
    void esegui(const char* sql);
    // The single whole number a query gives (a count).
    long long numero(const char* sql);
    // The key of the row the last INSERT added.
    long long ultimoId() const;

private:
    sqlite3* m_db = nullptr;
};
