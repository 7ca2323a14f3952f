// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "MotoreProva.h"

#include "ParametriServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

using namespace KaloRefill;

namespace {

const QString connessioneAmministrazione = QStringLiteral("MotoreProva-amministrazione");
const QString connessioneProgramma = QStringLiteral("MotoreProva-programma");

QString indirizzoServer() {
    QFile file(qEnvironmentVariable("KALOREFILL_TEST_PG_URI_FILE"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

// This program's database on the server: made at first use, dropped when the program
// ends (the throwaway cluster goes anyway if the program dies).
class DatabaseDelProgramma {
public:
    static DatabaseDelProgramma& istanza() {
        static DatabaseDelProgramma db;
        return db;
    }

    QString errore;
    QString indirizzo; // of the server's own database, as the cluster script wrote it
    QString nome;

    bool pronto() {
        if (!nome.isEmpty())
            return true;
        if (!errore.isEmpty())
            return false;
        const auto fallito = [this](const QString& motivo) {
            errore = QStringLiteral("PostgreSQL non disponibile: ") + motivo;
            return false;
        };
        indirizzo = indirizzoServer();
        if (indirizzo.isEmpty())
            return fallito(QStringLiteral(
                "nessun server di prova (manca il file KALOREFILL_TEST_PG_URI_FILE)"));
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connessioneAmministrazione);
        if (!db.isValid())
            return fallito(QStringLiteral("manca il driver QPSQL"));
        try {
            ParametriServer::leggi(indirizzo).applica(db);
        } catch (const std::exception& e) {
            return fallito(QString::fromLocal8Bit(e.what()));
        }
        if (!db.open())
            return fallito(QStringLiteral("%1 (%2)").arg(db.lastError().text(), indirizzo));
        const QString candidato = QStringLiteral("prova_%1_%2")
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(QCoreApplication::applicationName().toLower());
        if (QSqlQuery query(db);
            !query.exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(candidato)))
            return fallito(query.lastError().text());
        QSqlDatabase programma =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connessioneProgramma);
        ParametriServer::leggi(indirizzo).conDatabase(candidato).applica(programma);
        // Not a cash desk: a restore need not wait for this session to end.
        programma.setConnectOptions(programma.connectOptions().replace(
            QStringLiteral("application_name=") + ParametriServer::nomeApplicazione,
            QStringLiteral("application_name=prove")));
        if (!programma.open())
            return fallito(programma.lastError().text());
        nome = candidato;
        qAddPostRoutine([] { istanza().elimina(); });
        return true;
    }

    void elimina() {
        if (nome.isEmpty())
            return;
        QSqlDatabase::database(connessioneProgramma, false).close();
        QSqlDatabase::removeDatabase(connessioneProgramma);
        {
            QSqlDatabase db = QSqlDatabase::database(connessioneAmministrazione, false);
            if (db.isOpen())
                QSqlQuery(db).exec(
                    QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(nome));
            db.close();
        }
        QSqlDatabase::removeDatabase(connessioneAmministrazione);
        nome.clear();
    }
};

} // namespace

bool MotoreProva::postgreSql() {
    return qEnvironmentVariable("KALOREFILL_TEST_ENGINE").compare(u"pgsql", Qt::CaseInsensitive) ==
           0;
}

QString MotoreProva::nome() {
    return postgreSql() ? QStringLiteral("pgsql") : QStringLiteral("sqlite");
}

bool MotoreProva::obbligatorio() {
    const QStringList richiesti = qEnvironmentVariable("KALOREFILL_REQUIRE_ENGINES")
                                      .toLower()
                                      .split(QLatin1Char(','), Qt::SkipEmptyParts);
    return richiesti.contains(nome());
}

QString MotoreProva::nonDisponibile() {
    if (!postgreSql())
        return {};
    DatabaseDelProgramma& db = DatabaseDelProgramma::istanza();
    return db.pronto() ? QString() : db.errore;
}

QString MotoreProva::nuovoDatabase(const QString& cartella) {
    if (!postgreSql())
        return QDir(cartella).filePath(QStringLiteral("prova.db"));
    DatabaseDelProgramma& programma = DatabaseDelProgramma::istanza();
    if (!programma.pronto())
        qFatal("%s", qPrintable(programma.errore));
    static int contatore = 0;
    const QString schema = QStringLiteral("banco_%1").arg(++contatore);
    QSqlDatabase db = QSqlDatabase::database(connessioneProgramma, false);
    const QString crea = QStringLiteral("CREATE SCHEMA %1").arg(schema);
    QSqlQuery query(db);
    bool creato = query.exec(crea);
    if (!creato) {
        // A test that stopped and started the server has left this connection dead.
        db.close();
        query = QSqlQuery(db);
        creato = db.open() && query.exec(crea);
    }
    if (!creato)
        qFatal("Schema di prova non creato: %s", qPrintable(query.lastError().text()));
    // The host sees only its own schema, as if the database were its alone.
    QUrl url(programma.indirizzo);
    url.setPath(QLatin1Char('/') + programma.nome);
    QUrlQuery opzioni(url);
    opzioni.addQueryItem(QStringLiteral("options"), QStringLiteral("-csearch_path=") + schema);
    url.setQuery(opzioni);
    return url.toString();
}
