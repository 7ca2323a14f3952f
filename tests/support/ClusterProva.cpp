// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ClusterProva.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// A port no one listens on now; the server takes it a moment later.
int portaLibera() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

QStringList parole(const QString& testo) {
    return testo.split(u' ');
}
} // namespace

ClusterProva::ClusterProva() : m_cartella(u"/tmp/krsrv.XXXXXX"_s) {
    if (::geteuid() == 0)
        m_utente = u"postgres"_s;
    m_porta = portaLibera();
    appartieneAlServer(m_cartella.path());
    QFile::setPermissions(m_cartella.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
    // A test that crashes or is killed never reaches the destructor: a watcher of its own
    // stops the server and removes the folder once this process is gone.
    const QString pgCtl = (m_utente.isEmpty() ? QString() : u"runuser -u %1 -- "_s.arg(m_utente)) +
                          binari() + u"/pg_ctl"_s;
    QProcess guardiano;
    guardiano.setProgram(u"sh"_s);
    guardiano.setArguments(
        {u"-c"_s, u"while kill -0 %1 2>/dev/null; do sleep 1; done; "
                  u"[ -f '%2/postmaster.pid' ] && %3 -D '%2' -m immediate stop; rm -rf '%4'"_s.arg(
                      QString::number(::getpid()), dati(), pgCtl, m_cartella.path())});
    guardiano.setStandardOutputFile(QProcess::nullDevice());
    guardiano.setStandardErrorFile(QProcess::nullDevice());
    guardiano.startDetached();
}

ClusterProva::~ClusterProva() {
    if (m_avviato)
        ferma(u"immediate"_s);
}

QString ClusterProva::dati() const {
    return m_cartella.filePath(u"dati"_s);
}

QString ClusterProva::binari() {
    const QStringList versioni =
        QDir(u"/usr/lib/postgresql"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto v = versioni.crbegin(); v != versioni.crend(); ++v) {
        const QString bin = u"/usr/lib/postgresql/%1/bin"_s.arg(*v);
        if (QFile::exists(bin + u"/initdb"_s))
            return bin;
    }
    return {};
}

void ClusterProva::appartieneAlServer(const QString& percorso) {
    if (!m_utente.isEmpty())
        QProcess::execute(u"chown"_s, {m_utente, percorso});
}

bool ClusterProva::esegui(const QString& programma, const QStringList& argomenti, QString* uscita) {
    QProcess processo;
    processo.setProcessChannelMode(QProcess::MergedChannels);
    const QString percorso = binari() + u'/' + programma;
    if (m_utente.isEmpty())
        processo.start(percorso, argomenti);
    else
        processo.start(u"runuser"_s, QStringList{u"-u"_s, m_utente, u"--"_s, percorso} + argomenti);
    const bool finito = processo.waitForFinished(60000);
    const QString testo = QString::fromLocal8Bit(processo.readAll());
    if (uscita)
        *uscita = testo;
    if (finito && processo.exitStatus() == QProcess::NormalExit && processo.exitCode() == 0)
        return true;
    m_errore = programma + u": "_s + testo.trimmed();
    return false;
}

bool ClusterProva::inizializza() {
    if (binari().isEmpty()) {
        m_errore = u"PostgreSQL non è installato (manca initdb)"_s;
        return false;
    }
    return esegui(u"initdb"_s,
                  QStringList{u"-D"_s, dati()} +
                      parole(u"-U tester -A trust --no-sync -E UTF8 --locale=C.UTF-8"_s));
}

bool ClusterProva::standbyDi(const ClusterProva& primario) {
    return esegui(u"pg_basebackup"_s,
                  QStringList{u"-h"_s, primario.cartella(), u"-p"_s,
                              QString::number(primario.porta()), u"-D"_s, dati()} +
                      parole(u"-U tester -R -X stream --no-sync --checkpoint=fast"_s));
}

bool ClusterProva::avvia(const QStringList& parametri) {
    QString opzioni = u"-k %1 -p %2 -c listen_addresses=localhost -c fsync=off "
                      u"-c max_connections=30"_s.arg(cartella())
                          .arg(m_porta);
    for (const QString& p : parametri)
        opzioni += u" -c "_s + p;
    const QString registro = m_cartella.filePath(u"registro"_s);
    m_avviato =
        esegui(u"pg_ctl"_s, QStringList{u"-D"_s, dati(), u"-l"_s, registro} +
                                parole(u"-w -t 30 -o"_s) + QStringList{opzioni, u"start"_s});
    QFile file(registro);
    if (!m_avviato && file.open(QIODevice::ReadOnly))
        m_errore += u'\n' + QString::fromLocal8Bit(file.readAll());
    return m_avviato;
}

bool ClusterProva::ferma(const QString& modo) {
    const bool fermato = esegui(u"pg_ctl"_s, QStringList{u"-D"_s, dati(), u"-m"_s, modo} +
                                                 parole(u"-w -t 30 stop"_s));
    m_avviato = m_avviato && !fermato;
    return fermato;
}

bool ClusterProva::promuovi() {
    return esegui(u"pg_ctl"_s, {u"-D"_s, dati(), u"-w"_s, u"promote"_s});
}

bool ClusterProva::sql(const QString& testo, const QString& database, QString* uscita) {
    return esegui(u"psql"_s,
                  parole(u"-X -q -A -t -v ON_ERROR_STOP=1 -U tester -h"_s) +
                      QStringList{cartella(), u"-p"_s, QString::number(m_porta), u"-d"_s, database,
                                  u"-c"_s, testo},
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
