#include "ConnessioneSqlite.h"

#include "SqlTokenizer.h"
#include "host/Errore.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>
#include <optional>

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

QString testoErrore(const QSqlError& errore) {
    QString testo = errore.databaseText().trimmed();
    return testo.isEmpty() ? errore.text().trimmed() : testo;
}

} // namespace

ConnessioneSqlite::ConnessioneSqlite(QString nome, int attesaBloccoMs)
    : m_nome(std::move(nome)), m_attesaBloccoMs(attesaBloccoMs) {}

std::shared_ptr<ConnessioneSqlite> ConnessioneSqlite::apri(const QString& percorsoFile,
                                                           Accesso accesso, int attesaBloccoMs) {
    const QString nome =
        QStringLiteral("KaloRefill-database-%1").arg(contatoreConnessioni.fetch_add(1) + 1);
    std::shared_ptr<ConnessioneSqlite> connessione(new ConnessioneSqlite(nome, attesaBloccoMs));
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
    connessione->m_versioneSchema = connessione->versioneSchema();
    return connessione;
}

ConnessioneSqlite::~ConnessioneSqlite() {
    // Compiled statements go before the connection they belong to.
    m_preparate.clear();
    m_comandi.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_nome, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nome);
}

QSqlDatabase ConnessioneSqlite::database() const {
    return QSqlDatabase::database(m_nome, false);
}

namespace {

bool confronto(const SqlToken& t) {
    return t.kind == SqlTokenKind::Operator &&
           (t.text == u"=" || t.text == u"<>" || t.text == u"<" || t.text == u">" ||
            t.text == u"<=" || t.text == u">=");
}

// A number or a 'text' that stands right after a comparison.
std::optional<QVariant> valoreConfrontato(const SqlToken& t) {
    if (t.kind == SqlTokenKind::String && t.text.startsWith(QLatin1Char('\'')))
        return QVariant(t.value);
    if (t.kind != SqlTokenKind::Number)
        return std::nullopt;
    bool ok = false;
    const qlonglong intero = t.text.toLongLong(&ok);
    if (ok)
        return QVariant(intero);
    const double reale = t.text.toDouble(&ok);
    return ok ? std::optional<QVariant>(QVariant(reale)) : std::nullopt;
}

} // namespace

ConnessioneSqlite::Parametrizzata ConnessioneSqlite::parametrizza(const QString& sql) {
    // The module writes its values into its texts: a header's date, a document's id. The
    // values compared in them are bound instead, so that one compiled statement serves
    // every date and every document.
    Parametrizzata risultato{sql, {}};
    if (sql.contains(QLatin1Char('?')) || !(sql.startsWith(u"select", Qt::CaseInsensitive) ||
                                            sql.startsWith(u"delete", Qt::CaseInsensitive)))
        return risultato;
    QList<SqlToken> pezzi;
    try {
        pezzi = SqlTokenizer::tokenize(sql);
    } catch (const Errore&) {
        return risultato; // a text the tokenizer does not know is run as it is
    }
    QString testo;
    testo.reserve(sql.size());
    const SqlToken* precedente = nullptr;
    for (const SqlToken& t : pezzi) {
        const std::optional<QVariant> valore =
            precedente && confronto(*precedente) ? valoreConfrontato(t) : std::nullopt;
        if (valore) {
            testo.append(QLatin1Char('?'));
            risultato.valori.append(*valore);
        } else {
            testo.append(t.text);
        }
        if (t.kind != SqlTokenKind::Whitespace)
            precedente = &t;
    }
    risultato.testo = std::move(testo);
    return risultato;
}

QSqlQuery& ConnessioneSqlite::prepara(const QString& testoOriginale, const QVariantList& valoriOriginali) {
    soloSeUnitaViva();
    const QString* testo = &testoOriginale;
    const QVariantList* valoriDaLegare = &valoriOriginali;
    if (valoriOriginali.isEmpty()) {
        auto nota = m_parametrizzate.find(testoOriginale);
        if (nota == m_parametrizzate.end()) {
            if (m_parametrizzate.size() >= MassimoPreparate)
                m_parametrizzate.clear();
            nota = m_parametrizzate.emplace(testoOriginale, parametrizza(testoOriginale)).first;
        }
        testo = &nota->second.testo;
        valoriDaLegare = &nota->second.valori;
    }
    const QString& sql = *testo;
    const QVariantList& valori = *valoriDaLegare;
    auto trovata = m_preparate.find(sql);
    if (trovata == m_preparate.end()) {
        // The texts with their values written in are many over a long session: past a
        // bound the kept statements start over rather than grow without end.
        if (m_preparate.size() >= MassimoPreparate)
            m_preparate.clear();
        auto query = std::make_unique<QSqlQuery>(database());
        query->setForwardOnly(true);
        if (!query->prepare(sql))
            fallito(QStringLiteral("Istruzione rifiutata dal database"), query->lastError());
        trovata = m_preparate.emplace(sql, std::move(query)).first;
    }
    QSqlQuery& query = *trovata->second;
    for (int i = 0; i < valori.size(); ++i)
        query.bindValue(i, valori.at(i));
    return query;
}

QSqlQuery& ConnessioneSqlite::comando(const QString& sql) {
    auto trovata = m_comandi.find(sql);
    if (trovata == m_comandi.end()) {
        auto query = std::make_unique<QSqlQuery>(database());
        query->prepare(sql);
        trovata = m_comandi.emplace(sql, std::move(query)).first;
    }
    return *trovata->second;
}

const TranslatedStatement& ConnessioneSqlite::traduci(const QString& sql) {
    auto trovata = m_traduzioni.find(sql);
    if (trovata != m_traduzioni.end())
        return trovata->second;
    TranslatedStatement tradotta = m_traduttore.translate(sql);
    if (m_traduzioni.size() >= MassimoPreparate)
        m_traduzioni.clear();
    return m_traduzioni.emplace(sql, std::move(tradotta)).first->second;
}

void ConnessioneSqlite::esegui(QSqlQuery& query) {
    if (!query.exec())
        fallito(QStringLiteral("Errore del database"), query.lastError());
}

ConnessioneSqlite::Risultato ConnessioneSqlite::leggi(const QString& sql,
                                                      const QVariantList& valori) {
    // The engine compiles a kept statement again when another program has changed the
    // tables, and "*" may then stand for more columns than QtSql made room for. Such a
    // read therefore runs in a read transaction of its own, where the schema can be seen
    // unchanged first; in a unit of work the write lock keeps it unchanged.
    const bool protetta =
        conAsterisco(sql) && m_unita == StatoUnita::Nessuna && !transazioneAperta();
    if (protetta) {
        comando(QStringLiteral("BEGIN")).exec();
        schemaInvariato();
    }
    try {
        Risultato risultato = leggiPreparata(sql, valori);
        if (protetta)
            comando(QStringLiteral("COMMIT")).exec();
        return risultato;
    } catch (...) {
        if (protetta && transazioneAperta())
            comando(QStringLiteral("ROLLBACK")).exec();
        throw;
    }
}

ConnessioneSqlite::Risultato ConnessioneSqlite::leggiPreparata(const QString& sql,
                                                               const QVariantList& valori) {
    QSqlQuery& query = prepara(sql, valori);
    try {
        esegui(query);
    } catch (...) {
        // Compiled afresh next time: a table it read may have gone or changed.
        scarta(sql);
        throw;
    }
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
    if (query.lastError().isValid()) {
        query.finish();
        const QSqlError errore = query.lastError();
        scarta(sql);
        fallito(QStringLiteral("Errore del database"), errore);
    }
    query.finish();
    return risultato;
}

void ConnessioneSqlite::scarta(const QString& sql) {
    const auto nota = m_parametrizzate.find(sql);
    m_preparate.erase(nota != m_parametrizzate.end() ? nota->second.testo : sql);
}

bool ConnessioneSqlite::conAsterisco(const QString& sql) {
    if (!sql.startsWith(u"select", Qt::CaseInsensitive))
        return false;
    const qsizetype stella = sql.indexOf(QLatin1Char('*'));
    const qsizetype da = sql.indexOf(u" from ", 0, Qt::CaseInsensitive);
    return stella >= 0 && (da < 0 || stella < da);
}

qint64 ConnessioneSqlite::versioneSchema() {
    QSqlQuery& query = comando(QStringLiteral("PRAGMA schema_version"));
    const qint64 versione = query.exec() && query.next() ? query.value(0).toLongLong() : -1;
    query.finish();
    return versione;
}

void ConnessioneSqlite::schemaInvariato() {
    const qint64 versione = versioneSchema();
    if (versione == m_versioneSchema)
        return;
    // A statement that reads the tables makes the engine load their new definitions, so
    // what is compiled next is compiled against them.
    QSqlQuery& ricarica = comando(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    ricarica.exec();
    ricarica.finish();
    m_preparate.clear();
    m_catalogo.dimentica();
    m_versioneSchema = versione;
}

int ConnessioneSqlite::esegui(const QString& sql, const QVariantList& valori) {
    QSqlQuery& query = prepara(sql, valori);
    esegui(query);
    const int righe = query.numRowsAffected();
    query.finish();
    return righe;
}

qint64 ConnessioneSqlite::inserisci(const QString& sql, const QVariantList& valori) {
    QSqlQuery& query = prepara(sql, valori);
    esegui(query);
    const QVariant chiave = query.lastInsertId();
    query.finish();
    if (!chiave.isValid())
        throw Errore::database(
            QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
    return chiave.toLongLong();
}

void ConnessioneSqlite::verifica(const QString& sql) {
    prepara(sql, {});
}

Errore ConnessioneSqlite::errore(const QString& contesto, const QSqlError& errore) {
    return Errore::database(contesto + QStringLiteral(": ") + testoErrore(errore));
}

void ConnessioneSqlite::iniziaUnita() {
    if (m_unita != StatoUnita::Nessuna)
        throw Errore::chiamataNonValida();
    QSqlQuery& query = comando(QStringLiteral("BEGIN IMMEDIATE"));
    if (!query.exec()) {
        const QString motivo =
            motivoOperatore(codiceMotore(), m_attesaBloccoMs, testoErrore(query.lastError()));
        if (transazioneAperta())
            comando(QStringLiteral("ROLLBACK")).exec();
        throw Errore::unitaNonRiuscita(motivo);
    }
    m_unita = StatoUnita::Attiva;
    m_motivoPerdita.clear();
    schemaInvariato();
}

void ConnessioneSqlite::confermaUnita() {
    soloSeUnitaViva();
    if (m_unita != StatoUnita::Attiva)
        throw Errore::chiamataNonValida();
    QSqlQuery& query = comando(QStringLiteral("COMMIT"));
    if (!query.exec()) {
        const QString motivo =
            motivoOperatore(codiceMotore(), m_attesaBloccoMs, testoErrore(query.lastError()));
        annullaUnita();
        throw Errore::unitaNonRiuscita(motivo);
    }
    m_unita = StatoUnita::Nessuna;
}

void ConnessioneSqlite::annullaUnita() {
    if (transazioneAperta())
        comando(QStringLiteral("ROLLBACK")).exec();
    m_unita = StatoUnita::Nessuna;
    m_motivoPerdita.clear();
}

void ConnessioneSqlite::fallito(const QString& contesto, const QSqlError& errore) {
    if (m_unita == StatoUnita::Attiva) {
        const int codice = codiceMotore();
        if (!transazioneAperta() || abbandonaTransazione(codice)) {
            // What the engine may have kept of the transaction is dropped too: the unit
            // is kept whole or not at all.
            if (transazioneAperta())
                comando(QStringLiteral("ROLLBACK")).exec();
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
    sqlite3* handle = maniglia(database());
    return handle != nullptr && sqlite3_get_autocommit(handle) == 0;
}

int ConnessioneSqlite::codiceMotore() const {
    sqlite3* handle = maniglia(database());
    return handle != nullptr ? sqlite3_extended_errcode(handle) : SQLITE_ERROR;
}

} // namespace KaloRefill
