// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_database_export.h"

#include <QList>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace KaloRefill {

// One statement compiled on a connection's SQLite handle and run with the engine's own
// calls, without QtSql's per-call bookkeeping of bound values, records and cached rows.
// Values are bound and rows read as Qt's SQLite driver binds and reads them, so a value
// stored one way reads back the same the other way. Each run goes to its end and resets
// the statement before it returns: no read stays open.
class KALOREFILL_DATABASE_EXPORT IstruzioneSqlite final {
public:
    // Null, with `errore` set, when the engine refuses the text or it holds more than
    // one statement.
    static std::unique_ptr<IstruzioneSqlite> compila(sqlite3* db, const QString& sql,
                                                     QSqlError& errore);
    ~IstruzioneSqlite();
    IstruzioneSqlite(const IstruzioneSqlite&) = delete;
    IstruzioneSqlite& operator=(const IstruzioneSqlite&) = delete;

    // Binds the values and runs the statement to its end; every row it returns goes into
    // `righe` when given. False, with `errore` set, when binding or running fails.
    bool esegui(const QVariantList& valori, QList<QVariantList>* righe, QSqlError& errore);
    // The columns' names and the tables they come from (empty for an expression), as the
    // driver's records give them.
    const QStringList& nomi();
    const QStringList& tabelle();

private:
    IstruzioneSqlite(sqlite3* db, sqlite3_stmt* istruzione);
    bool lega(const QVariantList& valori, QList<QByteArray>& testi, QSqlError& errore);
    QVariant valore(int colonna) const;
    void descriviColonne();

    sqlite3* m_db;
    sqlite3_stmt* m_istruzione;
    bool m_descritta = false;
    QStringList m_nomi;
    QStringList m_tabelle;
};

} // namespace KaloRefill
