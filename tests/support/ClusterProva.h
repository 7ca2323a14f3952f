// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A PostgreSQL server of a test's own, for what the shared test server cannot show
// (encrypted connections, a standby taking over): a cluster in a temporary folder, listening
// on a free loopback port and on a socket in that folder. As root the server runs as an
// unprivileged user, since initdb refuses root. Stopped and removed with the object.
class ClusterProva final {
public:
    ClusterProva();
    ~ClusterProva();
    ClusterProva(const ClusterProva&) = delete;
    ClusterProva& operator=(const ClusterProva&) = delete;

    // Why the last step failed, with what the server's tools printed.
    QString errore() const { return m_errore; }
    QString cartella() const { return m_cartella.path(); }
    QString dati() const;
    int porta() const { return m_porta; }

    // A new cluster; user "tester", every local and loopback connection trusted.
    bool inizializza();
    // A copy of `primario` made with pg_basebackup that follows it as a streaming standby.
    bool standbyDi(const ClusterProva& primario);
    // Starts the server; each entry of `parametri` is a "name=value" setting.
    bool avvia(const QStringList& parametri = {});
    // "fast" or "immediate" (as a crash of the server's machine).
    bool ferma(const QString& modo = QStringLiteral("fast"));
    bool promuovi();
    // Runs SQL with psql on the socket; the output when `uscita` is given.
    bool sql(const QString& testo, const QString& database = QStringLiteral("postgres"),
             QString* uscita = nullptr);
    // A file in the cluster's folder, readable only by the server (keys, certificates,
    // pg_hba.conf); gives its path.
    QString scrivi(const QString& nome, const QByteArray& contenuto);
    // The tools of the newest PostgreSQL installed; empty when there is none.
    static QString binari();

private:
    bool esegui(const QString& programma, const QStringList& argomenti, QString* uscita = nullptr);
    void appartieneAlServer(const QString& percorso);

    QTemporaryDir m_cartella;
    QString m_utente;
    int m_porta = 0;
    bool m_avviato = false;
    QString m_errore;
};
