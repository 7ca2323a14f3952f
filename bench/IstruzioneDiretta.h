// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QByteArray>

struct sqlite3_stmt;
class ConnessioneDiretta;

// One statement prepared once on a direct connection and run many times: values bound by
// position (from 1), rows stepped through, reset for the next run. Any failure aborts the
// benchmark: a floor that silently did less work would flatter the host.
class IstruzioneDiretta final {
public:
    IstruzioneDiretta(ConnessioneDiretta& connessione, const QByteArray& sql);
    ~IstruzioneDiretta();
    IstruzioneDiretta(const IstruzioneDiretta&) = delete;
    IstruzioneDiretta& operator=(const IstruzioneDiretta&) = delete;

    IstruzioneDiretta& lega(int posizione, long long valore);
    IstruzioneDiretta& lega(int posizione, double valore);
    IstruzioneDiretta& lega(int posizione, const QByteArray& testo);
    IstruzioneDiretta& legaNullo(int posizione);

    // True while there is a row; false at the end.
    bool passo();
    // Runs a statement that gives no rows, then makes it ready again.
    void esegui();
    // Steps through every row and reads each of its columns as its stored kind, as a
    // caller that uses the rows would; gives the number of rows.
    int leggiTutto();
    void azzera();

    long long intero(int colonna) const;
    double reale(int colonna) const;
    bool nullo(int colonna) const;
    // Empty for a null.
    QByteArray testo(int colonna) const;

private:
    ConnessioneDiretta& m_connessione;
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_sql;
};
