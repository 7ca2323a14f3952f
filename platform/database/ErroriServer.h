// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Connessione.h"

#include <QSqlError>
#include <QString>

// What a PostgreSQL server's error says about the connection and the statement.
namespace KaloRefill::ErroriServer {

// The server is gone (restarted, killed, network cut), not merely refusing a statement.
// Whatever the server refuses comes with a SQLSTATE; a failure without one is the client
// library's own, and the connection cannot be trusted after it.
inline bool connessionePersa(const QSqlError& errore) {
    const QString codice = errore.nativeErrorCode();
    return codice.isEmpty() || codice.startsWith(u"08") || codice == u"57P01" ||
           codice == u"57P02" || codice == u"57P03" ||
           errore.type() == QSqlError::ConnectionError;
}

// The server reprepares a kept statement by itself, except when the columns of a "*" have
// changed under it (another program upgraded the tables).
inline bool piano(const QSqlError& errore) {
    return errore.nativeErrorCode() == u"0A000";
}

// "il server del database HOST:PORTA non risponde", with what the client library said when
// it said anything.
inline QString serverNonRisponde(const QString& server, const QSqlError& errore) {
    const QString dettaglio = Connessione::testoErrore(errore);
    QString testo = QStringLiteral("il server del database %1 non risponde").arg(server);
    if (!dettaglio.isEmpty())
        testo += QStringLiteral(" (%1)").arg(dettaglio);
    return testo;
}

} // namespace KaloRefill::ErroriServer
