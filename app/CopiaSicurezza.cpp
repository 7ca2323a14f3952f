// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "CopiaSicurezza.h"

#include "SchemaDatabase.h"
#include "host/Errore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <functional>

#include <fcntl.h>
#include <unistd.h>

namespace KaloRefill {

namespace {

const QString suffissoProvvisorio = QStringLiteral(".parziale");

Errore errore(const QString& testo) {
    return Errore::database(testo);
}


// The file's bytes on the disk before its name says it is complete.
void suDisco(const QString& percorso) {
    const int fd = ::open(QFile::encodeName(percorso).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void rimuoviFileSqlite(const QString& percorso) {
    for (const QString& suffisso : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                                    QStringLiteral("-journal")})
        QFile::remove(percorso + suffisso);
}

// A connection of the engine's own on a file; closed with the object.
class Sqlite {
public:
    Sqlite(const QString& percorso, int modo) {
        if (sqlite3_open_v2(QFile::encodeName(percorso).constData(), &m_db, modo, nullptr) !=
            SQLITE_OK)
            throw errore(QStringLiteral("Impossibile aprire %1: %2")
                             .arg(percorso, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }
    ~Sqlite() { sqlite3_close(m_db); }
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;
    sqlite3* maniglia() const { return m_db; }
    // The first column of every row; Errore when the engine refuses.
    QStringList leggi(const char* sql) const {
        sqlite3_stmt* istruzione = nullptr;
        QStringList righe;
        int esito = sqlite3_prepare_v2(m_db, sql, -1, &istruzione, nullptr);
        if (esito == SQLITE_OK)
            while ((esito = sqlite3_step(istruzione)) == SQLITE_ROW)
                righe.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(istruzione, 0))));
        sqlite3_finalize(istruzione);
        if (esito != SQLITE_DONE && esito != SQLITE_OK)
            throw errore(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return righe;
    }

private:
    sqlite3* m_db = nullptr;
};

// Every page of `sorgente` into a new file, in one step: the copy is the database as one
// read transaction sees it, while writers of other connections carry on in the WAL.
void copiaPagine(sqlite3* sorgente, const QString& file) {
    const Sqlite copia(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* copiatura = sqlite3_backup_init(copia.maniglia(), "main", sorgente, "main");
    if (!copiatura)
        throw errore(QString::fromUtf8(sqlite3_errmsg(copia.maniglia())));
    sqlite3_busy_timeout(sorgente, 5000);
    const int passo = sqlite3_backup_step(copiatura, -1);
    sqlite3_backup_finish(copiatura);
    if (passo != SQLITE_DONE)
        throw errore(QString::fromUtf8(sqlite3_errstr(passo)));
    // A copy is one plain file: nothing beside it to lose when it is moved.
    copia.leggi("PRAGMA journal_mode = DELETE");
}

void copiaFile(const QString& database, const QString& provvisorio) {
    const QString nome = QStringLiteral("copia-%1").arg(QUuid::createUuid().toString());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(database);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!QFileInfo::exists(database) || !db.open())
            throw errore(QStringLiteral("Impossibile aprire il database %1.").arg(database));
        sqlite3* sorgente = *static_cast<sqlite3* const*>(db.driver()->handle().data());
        copiaPagine(sorgente, provvisorio);
    }
    QSqlDatabase::removeDatabase(nome);
}

// The libpq connection string of an address: the programs of the server take it as
// their database name.
QString stringaConnessione(const ParametriServer& p) {
    const auto valore = [](QString v) {
        return QLatin1Char('\'') +
               v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
                   .replace(QLatin1Char('\''), QStringLiteral("\\'")) +
               QLatin1Char('\'');
    };
    QStringList parti{QStringLiteral("dbname=") + valore(p.database())};
    if (!p.host().isEmpty())
        parti.append(QStringLiteral("host=") + valore(p.host()));
    if (p.porta() > 0)
        parti.append(QStringLiteral("port=") + QString::number(p.porta()));
    if (!p.utente().isEmpty())
        parti.append(QStringLiteral("user=") + valore(p.utente()));
    for (const QString& opzione : p.opzioni().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype uguale = opzione.indexOf(QLatin1Char('='));
        parti.append(opzione.left(uguale) + QLatin1Char('=') + valore(opzione.mid(uguale + 1)));
    }
    return parti.join(QLatin1Char(' '));
}

QString lancia(const QString& programma, const QStringList& argomenti, QByteArray* uscita = nullptr) {
    const QString percorso = CopiaSicurezza::programmaPostgreSql(programma);
    if (percorso.isEmpty())
        throw errore(QStringLiteral("%1 non è installato: installare il pacchetto "
                                    "postgresql-client (apt-get install postgresql-client).")
                         .arg(programma));
    QProcess processo;
    processo.start(percorso, argomenti);
    if (!processo.waitForFinished(-1) || processo.exitStatus() != QProcess::NormalExit ||
        processo.exitCode() != 0)
        return QString::fromLocal8Bit(processo.readAllStandardError()).trimmed() +
               (processo.error() == QProcess::FailedToStart ? processo.errorString() : QString());
    if (uscita)
        *uscita = processo.readAllStandardOutput();
    return {};
}

// A connection to the server, for the few statements pg_dump and pg_restore do not run.
class Server {
public:
    explicit Server(const IndirizzoDatabase& indirizzo)
        : m_nome(QStringLiteral("copia-%1").arg(QUuid::createUuid().toString())) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_nome);
        indirizzo.parametri().applica(db);
        if (!db.open())
            throw errore(QStringLiteral("Impossibile collegarsi a %1.").arg(indirizzo.mostrabile()));
    }
    ~Server() { QSqlDatabase::removeDatabase(m_nome); }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    QVariant valore(const QString& sql) const {
        QSqlQuery q(QSqlDatabase::database(m_nome));
        if (!q.exec(sql) || !q.next())
            throw errore(QStringLiteral("Il server ha rifiutato: %1").arg(sql));
        return q.value(0);
    }
    void esegui(const QString& sql) const {
        QSqlQuery q(QSqlDatabase::database(m_nome));
        if (!q.exec(sql))
            throw errore(QStringLiteral("Il server ha rifiutato: %1").arg(sql));
    }

private:
    QString m_nome;
};

// The schema the hall's tables live in (the one the address's search_path names first).
QString schemaDellaSala(const Server& server) {
    return server.valore(QStringLiteral("SELECT current_schema()")).toString();
}

void copiaServer(const IndirizzoDatabase& database, const QString& provvisorio) {
    const ParametriServer& parametri = database.parametri();
    const QString schema = schemaDellaSala(Server(database));
    const QString problema =
        lancia(QStringLiteral("pg_dump"), {QStringLiteral("--format=custom"), QStringLiteral("--schema"),
                                           schema, QStringLiteral("--file"), provvisorio,
                                           QStringLiteral("--dbname"), stringaConnessione(parametri)});
    if (!problema.isEmpty())
        throw errore(QStringLiteral("pg_dump non è riuscito: %1").arg(problema));
}

// Writes through `scrivi` under a provisional name, checks, then gives the final name.
void scriviControllato(const QString& destinazione, bool suServer,
                       const std::function<void(const QString&)>& scrivi) {
    const QString provvisorio = destinazione + suffissoProvvisorio;
    rimuoviFileSqlite(provvisorio);
    try {
        scrivi(provvisorio);
        CopiaSicurezza::verifica(provvisorio, suServer);
        suDisco(provvisorio);
        if (!QFile::rename(provvisorio, destinazione))
            throw errore(QStringLiteral("Impossibile dare il nome %1 alla copia.").arg(destinazione));
        suDisco(QFileInfo(destinazione).absolutePath());
    } catch (...) {
        rimuoviFileSqlite(provvisorio);
        throw;
    }
}

} // namespace

QString CopiaSicurezza::programmaPostgreSql(const QString& nome) {
    QString trovato = QStandardPaths::findExecutable(nome);
    if (!trovato.isEmpty())
        return trovato;
    QStringList versioni = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versioni.begin(), versioni.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& versione : versioni)
        if (const QString p = QStringLiteral("/usr/lib/postgresql/%1/bin/%2").arg(versione, nome);
            QFileInfo(p).isExecutable())
            return p;
    return {};
}

QString CopiaSicurezza::nomeCopia(const IndirizzoDatabase& database, const QDateTime& momento) {
    return QStringLiteral("kalorefill_%1%2")
        .arg(momento.toString(QStringLiteral("yyyy-MM-dd_HHmmss")),
             database.server() ? QStringLiteral(".dump") : QStringLiteral(".db"));
}

void CopiaSicurezza::verifica(const QString& copia, bool suServer) {
    if (suServer) {
        QByteArray elenco;
        const QString problema = lancia(QStringLiteral("pg_restore"), {QStringLiteral("--list"), copia}, &elenco);
        if (!problema.isEmpty() || !elenco.contains("TABLE DATA"))
            throw errore(QStringLiteral("La copia %1 non è leggibile: %2").arg(copia, problema));
        return;
    }
    try {
        const Sqlite db(copia, SQLITE_OPEN_READONLY);
        const QStringList esito = db.leggi("PRAGMA integrity_check");
        if (esito != QStringList{QStringLiteral("ok")})
            throw errore(esito.join(QStringLiteral("; ")));
        if (db.leggi("PRAGMA application_id").value(0).toInt() != SchemaDatabase::idApplicazione)
            throw errore(QStringLiteral("non è un database KaloRefill"));
    } catch (const Errore& e) {
        throw errore(QStringLiteral("La copia %1 non è integra: %2").arg(copia, e.descrizione()));
    }
}

QString CopiaSicurezza::esegui(const IndirizzoDatabase& database, const QString& destinazione) {
    QString file = destinazione;
    if (QFileInfo(destinazione).isDir())
        file = QDir(destinazione).filePath(nomeCopia(database, QDateTime::currentDateTime()));
    if (QFileInfo::exists(file))
        throw errore(QStringLiteral("Il file %1 esiste già: la copia non lo sovrascrive.").arg(file));
    file = QFileInfo(file).absoluteFilePath();
    scriviControllato(file, database.server(), [&database](const QString& provvisorio) {
        if (database.server())
            copiaServer(database, provvisorio);
        else
            copiaFile(database.file(), provvisorio);
    });
    return file;
}

QString CopiaSicurezza::giornaliera(const IndirizzoDatabase& database, const QString& cartella,
                                    int daTenere, const QDate& giorno) {
    if (!QDir().mkpath(cartella))
        throw errore(QStringLiteral("Impossibile creare la cartella delle copie %1.").arg(cartella));
    const QDir dir(cartella);
    static const QRegularExpression forma(
        QStringLiteral("^kalorefill_\\d{4}-\\d{2}-\\d{2}_\\d{6}\\.(db|dump)$"));
    // What an interrupted copy left behind is no copy.
    for (const QString& resto : dir.entryList({QStringLiteral("kalorefill_*") + suffissoProvvisorio + QLatin1Char('*')}, QDir::Files))
        QFile::remove(dir.filePath(resto));
    QStringList copie;
    for (const QString& nome : dir.entryList({QStringLiteral("kalorefill_*")}, QDir::Files, QDir::Name))
        if (forma.match(nome).hasMatch())
            copie.append(nome);
    const QString delGiorno = QStringLiteral("kalorefill_") + giorno.toString(Qt::ISODate) + QLatin1Char('_');
    QString scritta;
    if (std::none_of(copie.cbegin(), copie.cend(), [&](const QString& n) { return n.startsWith(delGiorno); })) {
        const QString nome = nomeCopia(database, QDateTime(giorno, QTime::currentTime()));
        scritta = esegui(database, dir.filePath(nome));
        copie.append(nome);
        copie.sort();
    }
    while (copie.size() > std::max(daTenere, 1))
        QFile::remove(dir.filePath(copie.takeFirst()));
    return scritta;
}

QString CopiaSicurezza::ripristina(const IndirizzoDatabase& database, const QString& copia,
                                   const QString& cartellaCopie) {
    verifica(copia, database.server());
    if (!QDir().mkpath(cartellaCopie))
        throw errore(QStringLiteral("Impossibile creare la cartella %1.").arg(cartellaCopie));
    const QString primaDelRipristino = QDir(cartellaCopie).filePath(
        QStringLiteral("prima-del-ripristino_") + nomeCopia(database, QDateTime::currentDateTime()));
    const QString inUso = QStringLiteral(
        "Il database %1 è aperto da un altro programma (una Gestione Refill su questa o su "
        "un'altra cassa): chiuderlo ovunque e riprovare. Nulla è stato cambiato.")
                              .arg(database.mostrabile());
    if (database.server()) {
        const Server collegamento(database);
        // A session closed a moment ago may still be listed while its server process ends.
        const QString altri = QStringLiteral(
            "SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
            "AND pid <> pg_backend_pid() AND application_name = '%1'").arg(ParametriServer::nomeApplicazione);
        for (int volta = 0; collegamento.valore(altri).toInt() > 0; ++volta) {
            if (volta == 30)
                throw errore(inUso);
            QThread::msleep(100);
        }
        esegui(database, primaDelRipristino);
        // The current tables step aside under another name; they go only once the copy
        // is in, and come back if it fails.
        const QString schema = schemaDellaSala(collegamento);
        const QString accantonato = schema + QStringLiteral("_prima_del_ripristino");
        collegamento.esegui(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(accantonato));
        collegamento.esegui(QStringLiteral("ALTER SCHEMA \"%1\" RENAME TO \"%2\"").arg(schema, accantonato));
        const QString problema = lancia(
            QStringLiteral("pg_restore"),
            {QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"), QStringLiteral("--no-owner"),
             QStringLiteral("--dbname"), stringaConnessione(database.parametri()), copia});
        if (!problema.isEmpty()) {
            collegamento.esegui(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(schema));
            collegamento.esegui(QStringLiteral("ALTER SCHEMA \"%1\" RENAME TO \"%2\"").arg(accantonato, schema));
            throw errore(QStringLiteral("pg_restore non è riuscito, il database è com'era: %1").arg(problema));
        }
        collegamento.esegui(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(accantonato));
        return primaDelRipristino;
    }
    // Leaving WAL mode needs every other connection closed; in exclusive locking mode the
    // lock then stays with this connection until the copy is in.
    const Sqlite destinazione(database.file(), SQLITE_OPEN_READWRITE);
    try {
        destinazione.leggi("PRAGMA locking_mode = EXCLUSIVE");
        if (destinazione.leggi("PRAGMA journal_mode = DELETE").value(0).compare(u"delete", Qt::CaseInsensitive) != 0)
            throw errore(inUso);
    } catch (const Errore&) {
        throw errore(inUso);
    }
    scriviControllato(primaDelRipristino, false, [&](const QString& provvisorio) {
        copiaPagine(destinazione.maniglia(), provvisorio);
    });
    {
        const Sqlite sorgente(copia, SQLITE_OPEN_READONLY);
        sqlite3_backup* copiatura =
            sqlite3_backup_init(destinazione.maniglia(), "main", sorgente.maniglia(), "main");
        const int passo = copiatura ? sqlite3_backup_step(copiatura, -1) : SQLITE_ERROR;
        sqlite3_backup_finish(copiatura);
        if (passo != SQLITE_DONE)
            throw errore(QStringLiteral("Ripristino non riuscito, il database è com'era: %1")
                             .arg(QString::fromUtf8(sqlite3_errmsg(destinazione.maniglia()))));
    }
    destinazione.leggi("PRAGMA journal_mode = WAL");
    return primaDelRipristino;
}

} // namespace KaloRefill
