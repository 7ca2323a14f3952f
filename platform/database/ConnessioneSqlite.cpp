#include "ConnessioneSqlite.h"

#include "host/Errore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace KaloRefill {

namespace {

std::atomic<int> contatoreConnessioni{0};

QSqlQuery prepara(const QSqlDatabase& db, const QString& sql, const QVariantList& valori) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw ConnessioneSqlite::errore(QStringLiteral("Istruzione rifiutata dal database"),
                                        query.lastError());
    for (const QVariant& v : valori)
        query.addBindValue(v);
    return query;
}

void eseguiQuery(QSqlQuery& query) {
    if (!query.exec())
        throw ConnessioneSqlite::errore(QStringLiteral("Errore del database"), query.lastError());
}

} // namespace

ConnessioneSqlite::ConnessioneSqlite(QString nome) : m_nome(std::move(nome)) {}

std::shared_ptr<ConnessioneSqlite> ConnessioneSqlite::apri(const QString& percorsoFile,
                                                           Accesso accesso) {
    const QString nome =
        QStringLiteral("KaloRefill-database-%1").arg(contatoreConnessioni.fetch_add(1) + 1);
    std::shared_ptr<ConnessioneSqlite> connessione(new ConnessioneSqlite(nome));
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
    QSqlQuery query = prepara(database(), sql, valori);
    eseguiQuery(query);
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
    QSqlQuery query = prepara(database(), sql, valori);
    eseguiQuery(query);
    const int righe = query.numRowsAffected();
    query.finish();
    return righe;
}

qint64 ConnessioneSqlite::inserisci(const QString& sql, const QVariantList& valori) {
    QSqlQuery query = prepara(database(), sql, valori);
    eseguiQuery(query);
    const QVariant chiave = query.lastInsertId();
    query.finish();
    if (!chiave.isValid())
        throw Errore::database(
            QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
    return chiave.toLongLong();
}

void ConnessioneSqlite::verifica(const QString& sql) {
    QSqlQuery query = prepara(database(), sql, {});
    query.finish();
}

Errore ConnessioneSqlite::errore(const QString& contesto, const QSqlError& errore) {
    QString testo = errore.databaseText().trimmed();
    if (testo.isEmpty())
        testo = errore.text().trimmed();
    return Errore::database(contesto + QStringLiteral(": ") + testo);
}

} // namespace KaloRefill
