#include "ConnessioneSqlite.h"

#include "ParametriServer.h"
#include "SchemaDatabase.h"
#include "host/Errore.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>

namespace KaloRefill {

namespace {

std::atomic<int> contatoreConnessioni{0};

// Errors after which SQLite may have rolled the whole transaction back on its own.
bool abbandonaTransazione(int codice) {
    switch (codice & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_BUSY:
    case SQLITE_NOMEM:
    case SQLITE_INTERRUPT:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return true;
    default:
        return false;
    }
}

QString motivoOperatore(int codice, int attesaBloccoMs, const QString& testoMotore) {
    switch (codice & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("il database è occupato da un'altra postazione e non si è liberato "
                              "entro %1 secondi")
            .arg(QLocale().toString(attesaBloccoMs / 1000.0, 'g', 3));
    case SQLITE_READONLY:
        return QStringLiteral("il database è in sola lettura");
    case SQLITE_FULL:
        return QStringLiteral("il disco è pieno");
    case SQLITE_IOERR:
        return QStringLiteral("errore di lettura o scrittura sul disco (%1)").arg(testoMotore);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("il database è danneggiato (%1)").arg(testoMotore);
    default:
        return testoMotore;
    }
}

// One line: a server's message comes with a detail and a hint on lines of their own.
QString testoErrore(const QSqlError& errore) {
    QString testo = errore.databaseText().simplified();
    return testo.isEmpty() ? errore.text().simplified() : testo;
}

QString nuovoNome() {
    return QStringLiteral("KaloRefill-database-%1").arg(contatoreConnessioni.fetch_add(1) + 1);
}

// The server is gone (restarted, killed, network cut), not merely refusing a statement.
bool connessionePersa(const QSqlError& errore) {
    const QString codice = errore.nativeErrorCode();
    if (codice.startsWith(u"08") || codice == u"57P01" || codice == u"57P02" ||
        codice == u"57P03" || errore.type() == QSqlError::ConnectionError)
        return true;
    // libpq tells a broken connection without a SQLSTATE.
    const QString testo = errore.text();
    return codice.isEmpty() && (testo.contains(u"server closed the connection") ||
                                testo.contains(u"no connection to the server") ||
                                testo.contains(u"terminating connection") ||
                                testo.contains(u"could not send data to server") ||
                                testo.contains(u"could not receive data from server"));
}

QString motivoServer(const QSqlError& errore, int attesaBloccoMs) {
    const QString codice = errore.nativeErrorCode();
    if (codice == u"55P03" || codice == u"40P01")
        return QStringLiteral("il database è occupato da un'altra postazione e non si è liberato "
                              "entro %1 secondi")
            .arg(QLocale().toString(attesaBloccoMs / 1000.0, 'g', 3));
    if (connessionePersa(errore))
        return QStringLiteral("la connessione al server del database si è interrotta (%1)")
            .arg(testoErrore(errore));
    if (codice == u"53100")
        return QStringLiteral("il disco del server è pieno");
    if (codice == u"25006")
        return QStringLiteral("il database è in sola lettura");
    return testoErrore(errore);
}

} // namespace

ConnessioneSqlite::ConnessioneSqlite(QString nome, MotoreSql motore, int attesaBloccoMs)
    : m_nome(std::move(nome)), m_dialetto(DialettoSql::per(motore)),
      m_attesaBloccoMs(attesaBloccoMs), m_traduttore(motore) {}

std::shared_ptr<ConnessioneSqlite> ConnessioneSqlite::apri(const QString& percorsoFile,
                                                           Accesso accesso, int attesaBloccoMs) {
    const QString nome = nuovoNome();
    std::shared_ptr<ConnessioneSqlite> connessione(
        new ConnessioneSqlite(nome, MotoreSql::Sqlite, attesaBloccoMs));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        // Another host writing the same file makes this one wait, not fail.
        QString opzioni = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(attesaBloccoMs);
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

std::shared_ptr<ConnessioneSqlite> ConnessioneSqlite::apriServer(const ParametriServer& parametri,
                                                                 int attesaBloccoMs) {
    const QString nome = nuovoNome();
    std::shared_ptr<ConnessioneSqlite> connessione(
        new ConnessioneSqlite(nome, MotoreSql::PostgreSql, attesaBloccoMs));
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
    connessione->impostaSessione();
    return connessione;
}

void ConnessioneSqlite::impostaSessione() {
    // Dates travel as ISO text whatever the server's settings, and no notice clutters
    // the output of the program.
    esegui(QStringLiteral("SET datestyle = 'ISO, YMD'"));
    esegui(QStringLiteral("SET client_min_messages = warning"));
}

bool ConnessioneSqlite::riconnetti() {
    QSqlDatabase db = database();
    db.close();
    if (!db.open())
        return false;
    m_daRiconnettere = false;
    try {
        impostaSessione();
    } catch (const Errore&) {
        m_daRiconnettere = true;
        return false;
    }
    return true;
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

QSqlQuery ConnessioneSqlite::prepara(const QString& sql, const QVariantList& valori) {
    soloSeUnitaViva();
    // Outside a unit a lost server connection is made again at the next call.
    if (m_daRiconnettere && m_unita == StatoUnita::Nessuna)
        riconnetti();
    QSqlQuery query(database());
    query.setForwardOnly(true);
    // A server prepares only queries and writes: a statement without values runs as it is
    // when esegui gives exec its text.
    if (valori.isEmpty() && !m_dialetto->preparaSenzaValori())
        return query;
    if (!query.prepare(sql))
        fallito(QStringLiteral("Istruzione rifiutata dal database"), query.lastError());
    for (const QVariant& v : valori)
        query.addBindValue(v);
    return query;
}

void ConnessioneSqlite::esegui(QSqlQuery& query, const QString& sql) {
    if (!(query.lastQuery().isEmpty() ? query.exec(sql) : query.exec()))
        fallito(QStringLiteral("Errore del database"), query.lastError());
}

QString ConnessioneSqlite::nomeColonna(const QString& nomeMotore) const {
    return m_dialetto->motore() == MotoreSql::PostgreSql ? SchemaDatabase::nomeDichiarato(nomeMotore)
                                                         : nomeMotore;
}

template <typename Chiamata> auto ConnessioneSqlite::protetto(Chiamata&& chiamata) {
    if (m_dialetto->motore() != MotoreSql::PostgreSql || m_unita != StatoUnita::Attiva)
        return chiamata();
    // A failed statement would abort the server's whole transaction: the savepoint keeps
    // the failure to this one call, as SQLite does by itself.
    istruzioneServer(QStringLiteral("SAVEPOINT istruzione"));
    try {
        auto risultato = chiamata();
        istruzioneServer(QStringLiteral("RELEASE SAVEPOINT istruzione"));
        return risultato;
    } catch (const Errore&) {
        if (m_unita == StatoUnita::Attiva)
            istruzioneServer(QStringLiteral("ROLLBACK TO SAVEPOINT istruzione"));
        throw;
    }
}

// A statement of the unit's own bookkeeping: when it fails the unit cannot go on.
void ConnessioneSqlite::istruzioneServer(const QString& sql) {
    QSqlQuery query(database());
    if (query.exec(sql))
        return;
    const QSqlError errore = query.lastError();
    if (connessionePersa(errore))
        m_daRiconnettere = true;
    else
        QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
    m_unita = StatoUnita::Persa;
    m_motivoPerdita = motivoServer(errore, m_attesaBloccoMs);
    throw Errore::unitaNonRiuscita(m_motivoPerdita);
}

ConnessioneSqlite::Risultato ConnessioneSqlite::leggi(const QString& sql,
                                                      const QVariantList& valori) {
    return protetto([&] {
        QSqlQuery query = prepara(sql, valori);
        esegui(query, sql);
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
            fallito(QStringLiteral("Errore del database"), query.lastError());
        query.finish();
        return risultato;
    });
}

int ConnessioneSqlite::esegui(const QString& sql, const QVariantList& valori) {
    return protetto([&] {
        QSqlQuery query = prepara(sql, valori);
        esegui(query, sql);
        const int righe = query.numRowsAffected();
        query.finish();
        return righe;
    });
}

qint64 ConnessioneSqlite::inserisci(const QString& sql, const QVariantList& valori) {
    // A server gives the key as the result of the insert itself.
    if (const QString conChiave = m_dialetto->insertConChiave(sql); !conChiave.isEmpty()) {
        const QVariant chiave = leggi(conChiave, valori).righe.value(0).value(0);
        if (!chiave.isValid() || chiave.isNull())
            throw Errore::database(
                QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
        return chiave.toLongLong();
    }
    QSqlQuery query = prepara(sql, valori);
    esegui(query, sql);
    const QVariant chiave = query.lastInsertId();
    query.finish();
    if (!chiave.isValid())
        throw Errore::database(
            QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
    return chiave.toLongLong();
}

void ConnessioneSqlite::verifica(const QString& sql) {
    protetto([&] {
        soloSeUnitaViva();
        QSqlQuery query(database());
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            fallito(QStringLiteral("Istruzione rifiutata dal database"), query.lastError());
        query.finish();
        return 0;
    });
}

Errore ConnessioneSqlite::errore(const QString& contesto, const QSqlError& errore) {
    return Errore::database(contesto + QStringLiteral(": ") + testoErrore(errore));
}

void ConnessioneSqlite::iniziaUnita() {
    if (m_unita != StatoUnita::Nessuna)
        throw Errore::chiamataNonValida();
    if (m_dialetto->motore() == MotoreSql::PostgreSql) {
        iniziaUnitaServer();
        return;
    }
    QSqlQuery query(database());
    if (!query.exec(m_dialetto->inizioUnita(m_attesaBloccoMs).constFirst())) {
        const QString motivo =
            motivoOperatore(codiceMotore(), m_attesaBloccoMs, testoErrore(query.lastError()));
        if (transazioneAperta())
            QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
        throw Errore::unitaNonRiuscita(motivo);
    }
    m_unita = StatoUnita::Attiva;
    m_motivoPerdita.clear();
}

void ConnessioneSqlite::iniziaUnitaServer() {
    // The next save makes a lost connection again; a server that is still away fails it.
    if (m_daRiconnettere && !riconnetti())
        throw Errore::unitaNonRiuscita(
            QStringLiteral("il server del database non risponde (%1)")
                .arg(testoErrore(database().lastError())));
    const QStringList inizio = m_dialetto->inizioUnita(m_attesaBloccoMs);
    {
        QSqlQuery query(database());
        if (!query.exec(inizio.constFirst())) {
            // A connection the server dropped while idle shows only now.
            if (!connessionePersa(query.lastError()) || !riconnetti() ||
                !query.exec(inizio.constFirst()))
                throw Errore::unitaNonRiuscita(motivoServer(query.lastError(), m_attesaBloccoMs));
        }
    }
    m_unita = StatoUnita::Attiva;
    m_motivoPerdita.clear();
    // The write lock, before any savepoint: a savepoint rolled back would let it go.
    for (qsizetype i = 1; i < inizio.size(); ++i) {
        try {
            istruzioneServer(inizio.at(i));
        } catch (const Errore&) {
            const QString motivo = m_motivoPerdita;
            m_unita = StatoUnita::Nessuna;
            m_motivoPerdita.clear();
            throw Errore::unitaNonRiuscita(motivo);
        }
    }
}

void ConnessioneSqlite::confermaUnita() {
    if (m_unita == StatoUnita::Persa) {
        // Confirming a lost unit ends it: the next one can start.
        const QString motivo = m_motivoPerdita;
        annullaUnita();
        throw Errore::unitaNonRiuscita(motivo);
    }
    if (m_unita != StatoUnita::Attiva)
        throw Errore::chiamataNonValida();
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const bool server = m_dialetto->motore() == MotoreSql::PostgreSql;
        const QString motivo =
            server ? motivoServer(query.lastError(), m_attesaBloccoMs)
                   : motivoOperatore(codiceMotore(), m_attesaBloccoMs,
                                     testoErrore(query.lastError()));
        if (server && connessionePersa(query.lastError()))
            m_daRiconnettere = true;
        annullaUnita();
        throw Errore::unitaNonRiuscita(motivo);
    }
    m_unita = StatoUnita::Nessuna;
}

void ConnessioneSqlite::annullaUnita() {
    if (transazioneAperta() && !m_daRiconnettere)
        QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
    m_unita = StatoUnita::Nessuna;
    m_motivoPerdita.clear();
}

void ConnessioneSqlite::fallito(const QString& contesto, const QSqlError& errore) {
    if (m_dialetto->motore() == MotoreSql::PostgreSql) {
        // A failed statement is undone by its savepoint; a lost connection loses the unit,
        // and the server has rolled its transaction back.
        if (connessionePersa(errore)) {
            m_daRiconnettere = true;
            if (m_unita == StatoUnita::Attiva) {
                m_unita = StatoUnita::Persa;
                m_motivoPerdita = motivoServer(errore, m_attesaBloccoMs);
                throw Errore::unitaNonRiuscita(m_motivoPerdita);
            }
        }
        throw ConnessioneSqlite::errore(contesto, errore);
    }
    if (m_unita == StatoUnita::Attiva) {
        const int codice = codiceMotore();
        if (!transazioneAperta() || abbandonaTransazione(codice)) {
            // What the engine may have kept of the transaction is dropped too: the unit
            // is kept whole or not at all.
            if (transazioneAperta())
                QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
            m_unita = StatoUnita::Persa;
            m_motivoPerdita = motivoOperatore(codice, m_attesaBloccoMs, testoErrore(errore));
            throw Errore::unitaNonRiuscita(m_motivoPerdita);
        }
    }
    throw ConnessioneSqlite::errore(contesto, errore);
}

void ConnessioneSqlite::soloSeUnitaViva() const {
    if (m_unita == StatoUnita::Persa)
        throw Errore::unitaNonRiuscita(m_motivoPerdita);
}

namespace {
sqlite3* maniglia(const QSqlDatabase& db) {
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.data());
}
} // namespace

bool ConnessioneSqlite::transazioneAperta() const {
    // The server's transaction is the unit's own: open while the unit is alive.
    if (m_dialetto->motore() == MotoreSql::PostgreSql)
        return m_unita == StatoUnita::Attiva;
    sqlite3* handle = maniglia(database());
    return handle != nullptr && sqlite3_get_autocommit(handle) == 0;
}

int ConnessioneSqlite::codiceMotore() const {
    sqlite3* handle = maniglia(database());
    return handle != nullptr ? sqlite3_extended_errcode(handle) : SQLITE_ERROR;
}

} // namespace KaloRefill
