// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// A connection of the test's own on a database, as another program would open it: a
// SQLite file or a server address, whichever the address names. What a test reads through
// it is what the database holds, not what the host under test believes. Closed with the
// object.
class DbDiretto {
public:
    explicit DbDiretto(const QString& indirizzo);
    ~DbDiretto();
    DbDiretto(const DbDiretto&) = delete;
    DbDiretto& operator=(const DbDiretto&) = delete;

    bool aperto() const;
    // Every statement in order; false at the first one refused (with a warning naming it).
    bool esegui(const QStringList& istruzioni) const;
    bool esegui(const QString& sql) const { return esegui(QStringList{sql}); }
    QList<QVariantList> righe(const QString& sql) const;
    // The first column of the first row; invalid when there is none.
    QVariant valore(const QString& sql) const;
    // "select count(*) from <tabella> [where <condizione>]".
    int conta(const QString& tabella, const QString& condizione = {}) const;

private:
    QString m_nome;
};
