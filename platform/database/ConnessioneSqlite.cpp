#include "ConnessioneSqlite.h"

#include "ParametriServer.h"
#include "host/Errore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace KaloRefill {

namespace {

std::atomic<int> contatoreConnessioni{0};

QString nuovoNome() {
    return QStringLiteral("KaloRefill-database-%1").arg(contatoreConnessioni.fetch_add(1) + 1);
}

// A query made ready to run. A server that prepares only queries and writes runs a
// statement without values as it is, when exec is called with the text.
QSqlQuery prepara(const QSqlDatabase& db, const DialettoSql& dialetto, const QString& sql,
                  const QVariantList& valori) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (valori.isEmpty() && !dialetto.preparaSenzaValori())
        return query;
    if (!query.prepare(sql))
        throw ConnessioneSqlite::errore(QStringLiteral("Istruzione rifiutata dal database"),
                                        query.lastError());
    for (const QVariant& v : valori)
        query.addBindValue(v);
    return query;
}

void eseguiQuery(QSqlQuery& query, const QString& sql) {
    // A query left unprepared has no text yet: it runs the statement as it is.
    if (!(query.lastQuery().isEmpty() ? query.exec(sql) : query.exec()))
        throw ConnessioneSqlite::errore(QStringLiteral("Errore del database"), query.lastError());
}

} // namespace

ConnessioneSqlite::ConnessioneSqlite(QString nome, MotoreSql motore)
    : m_nome(std::move(nome)), m_dialetto(DialettoSql::per(motore)), m_traduttore(motore) {}

std::shared_ptr<ConnessioneSqlite> ConnessioneSqlite::apri(const QString& percorsoFile,
                                                           Accesso accesso) {
    const QString nome = nuovoNome();
    std::shared_ptr<ConnessioneSqlite> connessione(new ConnessioneSqlite(nome, MotoreSql::Sqlite));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        // Another host writing the same file makes this one wait, not fail.
        QString opzioni = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
        if (accesso == Accesso::Immutabile) {
            db.setDatabaseName(QUrl::fromLocalFile(percorsoFile).toString(QUrl::FullyEncoded) +
                               QStringLiteral("?immutable=1&mode=ro"));
            opzioni.append(QStringLiteral(";QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        } else {
            db.setDatabaseName(percorsoFile);
            if (accesso == Accesso::SolaLettura)
                opzioni.append(QStringLiteral(";QSQLITE_OPEN_READONLY"));
        }
        db.setConnectOptions(opzioni);
        if (!db.open())
            throw errore(QStringLiteral("Impossibile aprire il database %1").arg(percorsoFile),
                         db.lastError());
    }
    return connessione;
}

std::shared_ptr<ConnessioneSqlite> ConnessioneSqlite::apriServer(const ParametriServer& parametri) {
    const QString nome = nuovoNome();
    std::shared_ptr<ConnessioneSqlite> connessione(
        new ConnessioneSqlite(nome, MotoreSql::PostgreSql));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
        if (!db.isValid())
            throw Errore::database(QStringLiteral(
                "Il driver PostgreSQL di Qt (QPSQL) non è installato: serve il pacchetto "
                "libqt6sql6-psql."));
        parametri.applica(db);
        if (!db.open())
            throw errore(QStringLiteral("Impossibile collegarsi al database %1")
                             .arg(parametri.descrizione()),
                         db.lastError());
    }
    // Dates travel as ISO text whatever the server's settings, and no notice clutters
    // the log of a program that only reads it on failure.
    connessione->esegui(QStringLiteral("SET datestyle = 'ISO, YMD'"));
    connessione->esegui(QStringLiteral("SET client_min_messages = warning"));
    return connessione;
}

ConnessioneSqlite::~ConnessioneSqlite() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_nome, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nome);
}

QSqlDatabase ConnessioneSqlite::database() const {
    return QSqlDatabase::database(m_nome, false);
}

ConnessioneSqlite::Risultato ConnessioneSqlite::leggi(const QString& sql,
                                                      const QVariantList& valori) {
    QSqlQuery query = prepara(database(), *m_dialetto, sql, valori);
    eseguiQuery(query, sql);
    Risultato risultato;
    risultato.record = query.record();
    const int colonne = risultato.record.count();
    while (query.next()) {
        QVariantList riga;
        riga.reserve(colonne);
        for (int i = 0; i < colonne; ++i)
            riga.append(query.value(i));
        risultato.righe.append(std::move(riga));
    }
    if (query.lastError().isValid())
        throw errore(QStringLiteral("Errore del database"), query.lastError());
    query.finish();
    return risultato;
}

int ConnessioneSqlite::esegui(const QString& sql, const QVariantList& valori) {
    QSqlQuery query = prepara(database(), *m_dialetto, sql, valori);
    eseguiQuery(query, sql);
    const int righe = query.numRowsAffected();
    query.finish();
    return righe;
}

qint64 ConnessioneSqlite::inserisci(const QString& sql, const QVariantList& valori) {
    QVariant chiave;
    if (const QString conChiave = m_dialetto->insertConChiave(sql); !conChiave.isEmpty()) {
        chiave = leggi(conChiave, valori).righe.value(0).value(0);
        if (!chiave.isValid() || chiave.isNull())
            throw Errore::database(
                QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
        return chiave.toLongLong();
    }
    QSqlQuery query = prepara(database(), *m_dialetto, sql, valori);
    eseguiQuery(query, sql);
    chiave = query.lastInsertId();
    query.finish();
    if (!chiave.isValid())
        throw Errore::database(
            QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
    return chiave.toLongLong();
}

void ConnessioneSqlite::verifica(const QString& sql) {
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw errore(QStringLiteral("Istruzione rifiutata dal database"), query.lastError());
    query.finish();
}

Errore ConnessioneSqlite::errore(const QString& contesto, const QSqlError& errore) {
    // One line: a server's message comes with a detail and a hint on lines of their own.
    QString testo = errore.databaseText().simplified();
    if (testo.isEmpty())
        testo = errore.text().simplified();
    return Errore::database(contesto + QStringLiteral(": ") + testo);
}

} // namespace KaloRefill
