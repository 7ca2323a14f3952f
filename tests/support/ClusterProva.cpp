// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ClusterProva.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>

#include <unistd.h>

namespace {
// A port no one listens on now; the server takes it a moment later.
int portaLibera() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}
} // namespace

ClusterProva::ClusterProva() : m_cartella(QStringLiteral("/tmp/krsrv.XXXXXX")) {
    if (::geteuid() == 0)
        m_utente = QStringLiteral("postgres");
    m_porta = portaLibera();
    appartieneAlServer(m_cartella.path());
    QFile::setPermissions(m_cartella.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
}

ClusterProva::~ClusterProva() {
    if (m_avviato)
        ferma(QStringLiteral("immediate"));
}

QString ClusterProva::dati() const {
    return m_cartella.filePath(QStringLiteral("dati"));
}

QString ClusterProva::binari() {
    const QStringList versioni = QDir(QStringLiteral("/usr/lib/postgresql"))
                                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto v = versioni.crbegin(); v != versioni.crend(); ++v) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*v);
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    return {};
}

void ClusterProva::appartieneAlServer(const QString& percorso) {
    if (!m_utente.isEmpty())
        QProcess::execute(QStringLiteral("chown"), {m_utente, percorso});
}

bool ClusterProva::esegui(const QString& programma, const QStringList& argomenti, QString* uscita) {
    QProcess processo;
    processo.setProcessChannelMode(QProcess::MergedChannels);
    const QString percorso = binari() + QLatin1Char('/') + programma;
    if (m_utente.isEmpty())
        processo.start(percorso, argomenti);
    else
        processo.start(QStringLiteral("runuser"),
                       QStringList{QStringLiteral("-u"), m_utente, QStringLiteral("--"), percorso} +
                           argomenti);
    const bool finito = processo.waitForFinished(60000);
    const QString testo = QString::fromLocal8Bit(processo.readAll());
    if (uscita)
        *uscita = testo;
    if (finito && processo.exitStatus() == QProcess::NormalExit && processo.exitCode() == 0)
        return true;
    m_errore = programma + QStringLiteral(": ") + testo.trimmed();
    return false;
}

bool ClusterProva::inizializza() {
    if (binari().isEmpty()) {
        m_errore = QStringLiteral("PostgreSQL non è installato (manca initdb)");
        return false;
    }
    return esegui(QStringLiteral("initdb"),
                  {QStringLiteral("-D"), dati(), QStringLiteral("-U"), QStringLiteral("tester"),
                   QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("--no-sync"),
                   QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8")});
}

bool ClusterProva::standbyDi(const ClusterProva& primario) {
    return esegui(QStringLiteral("pg_basebackup"),
                  {QStringLiteral("-h"), primario.cartella(), QStringLiteral("-p"),
                   QString::number(primario.porta()), QStringLiteral("-U"), QStringLiteral("tester"),
                   QStringLiteral("-D"), dati(), QStringLiteral("-R"), QStringLiteral("-X"),
                   QStringLiteral("stream"), QStringLiteral("--no-sync"),
                   QStringLiteral("--checkpoint=fast")});
}

bool ClusterProva::avvia(const QStringList& parametri) {
    QStringList opzioni{QStringLiteral("-k %1").arg(cartella()), QStringLiteral("-p %1").arg(m_porta),
                        QStringLiteral("-c listen_addresses=localhost"),
                        QStringLiteral("-c fsync=off"), QStringLiteral("-c max_connections=30")};
    for (const QString& p : parametri)
        opzioni.append(QStringLiteral("-c ") + p);
    m_avviato = esegui(QStringLiteral("pg_ctl"),
                       {QStringLiteral("-D"), dati(), QStringLiteral("-l"),
                        m_cartella.filePath(QStringLiteral("registro")), QStringLiteral("-w"),
                        QStringLiteral("-t"), QStringLiteral("30"), QStringLiteral("-o"),
                        opzioni.join(QLatin1Char(' ')), QStringLiteral("start")});
    if (!m_avviato) {
        QFile registro(m_cartella.filePath(QStringLiteral("registro")));
        if (registro.open(QIODevice::ReadOnly))
            m_errore += QLatin1Char('\n') + QString::fromLocal8Bit(registro.readAll());
    }
    return m_avviato;
}

bool ClusterProva::ferma(const QString& modo) {
    const bool fermato = esegui(QStringLiteral("pg_ctl"),
                                {QStringLiteral("-D"), dati(), QStringLiteral("-m"), modo,
                                 QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("30"),
                                 QStringLiteral("stop")});
    m_avviato = m_avviato && !fermato;
    return fermato;
}

bool ClusterProva::promuovi() {
    return esegui(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dati(), QStringLiteral("-w"),
                                             QStringLiteral("promote")});
}

bool ClusterProva::sql(const QString& testo, const QString& database, QString* uscita) {
    return esegui(QStringLiteral("psql"),
                  {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
                   QStringLiteral("-t"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                   QStringLiteral("-h"), cartella(), QStringLiteral("-p"), QString::number(m_porta),
                   QStringLiteral("-U"), QStringLiteral("tester"), QStringLiteral("-d"), database,
                   QStringLiteral("-c"), testo},
                  uscita);
}

QString ClusterProva::scrivi(const QString& nome, const QByteArray& contenuto) {
    const QString percorso = m_cartella.filePath(nome);
    QFile file(percorso);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contenuto);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    appartieneAlServer(percorso);
    return percorso;
}
