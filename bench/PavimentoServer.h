// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ConnessionePg.h"

#include <QDate>
#include <QString>

// The floor of a save on a PostgreSQL server: the statements one save of the form runs
// (those of PavimentoSalvataggio, with the lock the host takes on a server), in the same
// order and over the same rows, kept prepared on the server and run through libpq in one
// transaction with no savepoints, one round trip each. What a save costs above this is
// the host's.
class PavimentoServer final {
public:
    PavimentoServer(const QByteArray& indirizzo, const QString& codLocale, const QString& operatore);

    void salva(const QDate& data, int idScheda, const QString& importoTesto);
    // Milliseconds in each of its statements, over every save so far.
    const QMap<QByteArray, double>& tempi() const { return m_db.tempi(); }
    // Statements sent so far, each waiting for its answer.
    long long richieste() const { return m_db.richieste(); }

private:
    ConnessionePg m_db;
    QByteArray m_codLocale;
    QByteArray m_operatore;
};
