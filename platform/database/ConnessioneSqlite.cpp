// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConnessioneSqlite.h"

#include "JetDateLiteral.h"
#include "ParametriServer.h"
#include "SchemaDatabase.h"
#include "SqlTokenizer.h"
#include "host/Errore.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>
#include <optional>

namespace KaloRefill {

namespace {

std::atomic<int> contatoreConnessioni{0};

sqlite3* maniglia(const QSqlDatabase& db) {
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.data());
}

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

// Failures that say nothing about the file's contents.
bool guastoDelDisco(int codice) {
    switch (codice & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_NOMEM:
        return true;
    default:
        return false;
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
// Whatever the server refuses comes with a SQLSTATE; a failure without one is the client
// library's own, and the connection cannot be trusted after it.
bool connessionePersa(const QSqlError& errore) {
    const QString codice = errore.nativeErrorCode();
    return codice.isEmpty() || codice.startsWith(u"08") || codice == u"57P01" ||
           codice == u"57P02" || codice == u"57P03" ||
           errore.type() == QSqlError::ConnectionError;
}

// "il server del database HOST:PORTA non risponde", with what the client library said when
// it said anything.
QString serverNonRisponde(const QString& server, const QSqlError& errore) {
    const QString dettaglio = testoErrore(errore);
    QString testo = QStringLiteral("il server del database %1 non risponde").arg(server);
    if (!dettaglio.isEmpty())
        testo += QStringLiteral(" (%1)").arg(dettaglio);
    return testo;
}

QString motivoServer(const QSqlError& errore, int attesaBloccoMs, const QString& server) {
    const QString codice = errore.nativeErrorCode();
    if (codice == u"55P03" || codice == u"40P01")
        return QStringLiteral("il database è occupato da un'altra postazione e non si è liberato "
                              "entro %1 secondi")
            .arg(QLocale().toString(attesaBloccoMs / 1000.0, 'g', 3));
    if (connessionePersa(errore))
        return serverNonRisponde(server, errore);
    if (codice == u"53100")
        return QStringLiteral("il disco del server è pieno");
    if (codice == u"25006")
        return QStringLiteral("il database è in sola lettura");
    if (codice == u"42501")
        return QStringLiteral("il ruolo del database non ha il permesso di scrivere (%1)")
            .arg(testoErrore(errore));
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
        connessione->m_maniglia = maniglia(db);
        if (connessione->m_maniglia == nullptr)
            throw Errore::database(
                QStringLiteral("Il driver SQLite di Qt non dà accesso al database %1.").arg(percorsoFile));
    }
    connessione->m_versioneSchema = connessione->versioneSchema();
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
        connessione->m_server = parametri.server();
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
    // The statements of the old connection go with it.
    m_suServer.reset();
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
    // Compiled statements go before the connection they belong to.
    m_preparate.clear();
    m_comandi.clear();
    m_versione.reset();
    m_suServer.reset();
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

ConnessioneSqlite::Compilata ConnessioneSqlite::compila(const QString& testoOriginale,
                                                       const QVariantList& valoriOriginali) {
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
        QSqlError rifiuto;
        std::unique_ptr<IstruzioneSqlite> istruzione = IstruzioneSqlite::compila(m_maniglia, sql, rifiuto);
        if (!istruzione)
            fallito(QStringLiteral("Istruzione rifiutata dal database"), rifiuto);
        trovata = m_preparate.emplace(sql, std::move(istruzione)).first;
    }
    return {*trovata->second, valori};
}

QSqlQuery& ConnessioneSqlite::preparaServer(const QString& sql, const QVariantList& valori) {
    soloSeUnitaViva();
    // Outside a unit a lost server connection is made again at the next call.
    if ((m_daRiconnettere || !database().isOpen()) && m_unita == StatoUnita::Nessuna)
        riconnetti();
    m_suServer = std::make_unique<QSqlQuery>(database());
    QSqlQuery& query = *m_suServer;
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

bool ConnessioneSqlite::comando(const QString& sql, QSqlError* errore) {
    if (m_dialetto->motore() != MotoreSql::Sqlite) {
        // A server will not prepare BEGIN or COMMIT: they run as they are.
        QSqlQuery query(database());
        const bool ok = query.exec(sql);
        if (!ok && errore)
            *errore = query.lastError();
        return ok;
    }
    QSqlError rifiuto;
    auto trovata = m_comandi.find(sql);
    if (trovata == m_comandi.end()) {
        std::unique_ptr<IstruzioneSqlite> istruzione = IstruzioneSqlite::compila(m_maniglia, sql, rifiuto);
        if (!istruzione) {
            if (errore)
                *errore = rifiuto;
            return false;
        }
        trovata = m_comandi.emplace(sql, std::move(istruzione)).first;
    }
    const bool ok = trovata->second->esegui({}, nullptr, rifiuto);
    if (!ok && errore)
        *errore = rifiuto;
    return ok;
}

namespace {

// A compared value in a text becomes a mark no text of the module holds: a number between
// two characters of Unicode's private use area.
constexpr QChar InizioSegno{0xE000};
constexpr QChar FineSegno{0xE001};

QString segno(qsizetype numero) {
    return InizioSegno + QString::number(numero) + FineSegno;
}

bool confronto(const QString& sql, const SqlTokenizer::Pezzo& p) {
    if (p.kind != SqlTokenKind::Operator)
        return false;
    const QStringView t = QStringView(sql).mid(p.inizio, p.fine - p.inizio);
    return t == u"=" || t == u"<>" || t == u"<" || t == u">" || t == u"<=" || t == u">=";
}

// The value a mark stands for, as one token of the text.
bool valoreDaSegnare(const QString& sql, const QList<SqlTokenizer::Pezzo>& pezzi, qsizetype i) {
    const SqlTokenizer::Pezzo& p = pezzi.at(i);
    if (p.kind == SqlTokenKind::String || p.kind == SqlTokenKind::Date)
        return true;
    if (p.kind != SqlTokenKind::Number)
        return false;
    // "5and": a number would be emitted with a space before the word, a mark without.
    if (i + 1 < pezzi.size() && (pezzi.at(i + 1).kind == SqlTokenKind::Word ||
                                 pezzi.at(i + 1).kind == SqlTokenKind::Number))
        return false;
    const QStringView testo = QStringView(sql).mid(p.inizio, p.fine - p.inizio);
    bool intero = false;
    bool reale = false;
    static_cast<void>(testo.toLongLong(&intero));
    if (!intero)
        static_cast<void>(testo.toDouble(&reale));
    return intero || reale;
}

// The value written into the statement as the translator writes it.
QString testoValore(const SqlToken& t, MotoreSql motore) {
    switch (t.kind) {
    case SqlTokenKind::String: {
        QString valore = t.value;
        valore.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + valore + QLatin1Char('\'');
    }
    case SqlTokenKind::Date:
        return JetDateLiteral::parse(t.value).toSql(motore);
    default:
        return t.text;
    }
}

// The value bound in place of the mark on SQLite: what the engine compares the column with.
QVariant valoreLegato(const SqlToken& t) {
    switch (t.kind) {
    case SqlTokenKind::String:
        return t.value;
    case SqlTokenKind::Date:
        return JetDateLiteral::parse(t.value).valore(MotoreSql::Sqlite);
    default: {
        bool ok = false;
        const qlonglong intero = t.text.toLongLong(&ok);
        return ok ? QVariant(intero) : QVariant(t.text.toDouble());
    }
    }
}

// Calls `daSegno` for each mark of the text, `daTesto` for what stands between them.
template <typename DaTesto, typename DaSegno>
void percorriSegni(const QString& testo, DaTesto&& daTesto, DaSegno&& daSegno) {
    qsizetype da = 0;
    for (;;) {
        const qsizetype inizio = testo.indexOf(InizioSegno, da);
        if (inizio < 0) {
            daTesto(QStringView(testo).mid(da));
            return;
        }
        const qsizetype fine = testo.indexOf(FineSegno, inizio);
        daTesto(QStringView(testo).mid(da, inizio - da));
        daSegno(QStringView(testo).mid(inizio + 1, fine - inizio - 1).toLongLong());
        da = fine + 1;
    }
}

QString conValori(const QString& testo, const QStringList& valori) {
    if (!testo.contains(InizioSegno))
        return testo;
    QString risultato;
    risultato.reserve(testo.size() + 16 * valori.size());
    percorriSegni(
        testo, [&](QStringView pezzo) { risultato.append(pezzo); },
        [&](qsizetype n) { risultato.append(valori.at(n)); });
    return risultato;
}

} // namespace

const ConnessioneSqlite::Forma& ConnessioneSqlite::forma(const QString& chiave,
                                                         QList<SqlToken> tokens) {
    Forma nuova;
    nuova.tradotta = m_traduttore.translate(std::move(tokens));
    const QString& sql = nuova.tradotta.sql;
    // Bound as the connection binds the values compared in the texts it runs as they come.
    if (m_dialetto->motore() == MotoreSql::Sqlite &&
        (sql.startsWith(u"select", Qt::CaseInsensitive) ||
         sql.startsWith(u"delete", Qt::CaseInsensitive))) {
        nuova.parametrizzata.reserve(sql.size());
        percorriSegni(
            sql, [&](QStringView pezzo) { nuova.parametrizzata.append(pezzo); },
            [&](qsizetype n) {
                nuova.parametrizzata.append(QLatin1Char('?'));
                nuova.ordine.append(n);
            });
    }
    if (m_forme.size() >= MassimoPreparate)
        m_forme.clear();
    return m_forme.emplace(chiave, std::move(nuova)).first->second;
}

const TranslatedStatement& ConnessioneSqlite::traduci(const QString& sql) {
    auto trovata = m_traduzioni.find(sql);
    if (trovata != m_traduzioni.end())
        return trovata->second;
    if (m_traduzioni.size() >= MassimoPreparate)
        m_traduzioni.clear();
    if (sql.contains(InizioSegno) || sql.contains(FineSegno) || sql.contains(QLatin1Char('?')))
        return m_traduzioni.emplace(sql, m_traduttore.translate(sql)).first->second;

    // A new day or document brings texts that differ from known ones only in the values
    // they compare: those are taken out, and the rest is translated once. The text is
    // first only cut into pieces; its tokens are made for the values, and for the rest
    // only when its shape is new.
    const QList<SqlTokenizer::Pezzo> pezzi = SqlTokenizer::pezzi(sql);
    QList<qsizetype> segnati;
    QString chiave;
    chiave.reserve(sql.size());
    const SqlTokenizer::Pezzo* precedente = nullptr;
    for (qsizetype i = 0; i < pezzi.size(); ++i) {
        const SqlTokenizer::Pezzo& p = pezzi.at(i);
        if (precedente && confronto(sql, *precedente) && valoreDaSegnare(sql, pezzi, i)) {
            chiave.append(segno(segnati.size()));
            segnati.append(i);
        } else {
            chiave.append(QStringView(sql).mid(p.inizio, p.fine - p.inizio));
        }
        if (p.kind != SqlTokenKind::Whitespace)
            precedente = &p;
    }
    const auto tuttiITokens = [&] {
        QList<SqlToken> tokens;
        tokens.reserve(pezzi.size());
        for (const SqlTokenizer::Pezzo& p : pezzi)
            tokens.append(SqlTokenizer::token(sql, p));
        return tokens;
    };
    if (segnati.isEmpty())
        return m_traduzioni.emplace(sql, m_traduttore.translate(tuttiITokens())).first->second;

    QList<SqlToken> valori;
    valori.reserve(segnati.size());
    for (qsizetype i : std::as_const(segnati))
        valori.append(SqlTokenizer::token(sql, pezzi.at(i)));
    const auto nota = m_forme.find(chiave);
    const Forma& f = nota != m_forme.end() ? nota->second : [&]() -> const Forma& {
        QList<SqlToken> tokens = tuttiITokens();
        for (qsizetype n = 0; n < segnati.size(); ++n) {
            SqlToken& t = tokens[segnati.at(n)];
            t = SqlToken{SqlTokenKind::Number, segno(n), {}, t.position};
        }
        return forma(chiave, std::move(tokens));
    }();
    const MotoreSql motore = m_dialetto->motore();
    QStringList testi;
    testi.reserve(valori.size());
    for (const SqlToken& v : std::as_const(valori))
        testi.append(testoValore(v, motore));
    TranslatedStatement tradotta = f.tradotta;
    for (QString* testo : {&tradotta.sql, &tradotta.selectList, &tradotta.from, &tradotta.where,
                           &tradotta.groupBy, &tradotta.having, &tradotta.orderBy})
        *testo = conValori(*testo, testi);
    if (!f.parametrizzata.isEmpty() && m_parametrizzate.find(tradotta.sql) == m_parametrizzate.end()) {
        Parametrizzata p{f.parametrizzata, {}};
        p.valori.reserve(f.ordine.size());
        for (qsizetype n : f.ordine)
            p.valori.append(valoreLegato(valori.at(n)));
        if (m_parametrizzate.size() >= MassimoPreparate)
            m_parametrizzate.clear();
        m_parametrizzate.emplace(tradotta.sql, std::move(p));
    }
    return m_traduzioni.emplace(sql, std::move(tradotta)).first->second;
}

const QString& ConnessioneSqlite::traduciCondizione(const QString& condizione) {
    auto trovata = m_condizioni.find(condizione);
    if (trovata != m_condizioni.end())
        return trovata->second;
    QString tradotta = m_traduttore.translateCondition(condizione);
    if (m_condizioni.size() >= MassimoPreparate)
        m_condizioni.clear();
    return m_condizioni.emplace(condizione, std::move(tradotta)).first->second;
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
    m_motivoPerdita = motivoServer(errore, m_attesaBloccoMs, m_server);
    throw Errore::unitaNonRiuscita(m_motivoPerdita);
}

ConnessioneSqlite::Risultato ConnessioneSqlite::leggi(const QString& sql,
                                                      const QVariantList& valori) {
    return protetto([&] {
        // SQLite compiles a kept statement again when another program has changed the
        // tables, and "*" may then stand for more columns than QtSql made room for. Such a
        // read therefore runs in a read transaction of its own, where the schema can be
        // seen unchanged first; in a unit of work the write lock keeps it unchanged.
        const bool protetta = m_dialetto->motore() == MotoreSql::Sqlite &&
                              m_unita == StatoUnita::Nessuna && conAsterisco(sql) &&
                              !transazioneAperta();
        if (protetta) {
            comando(QStringLiteral("BEGIN"));
            schemaInvariato();
        }
        try {
            Risultato risultato = leggiRiprovando(sql, valori);
            if (protetta)
                comando(QStringLiteral("COMMIT"));
            return risultato;
        } catch (...) {
            if (protetta && transazioneAperta())
                comando(QStringLiteral("ROLLBACK"));
            throw;
        }
    });
}

template <typename Chiamata> auto ConnessioneSqlite::riprovandoSePersa(Chiamata&& chiamata) {
    // A call outside a unit that finds the server gone (restarted, or a standby promoted in
    // its place) is made once more on a new connection: it changes nothing, and the
    // operator would otherwise see a page or a total fail once after every server change.
    const bool giaPersa = m_daRiconnettere;
    try {
        return chiamata();
    } catch (const Errore&) {
        if (giaPersa || !m_daRiconnettere || m_unita != StatoUnita::Nessuna)
            throw;
    }
    return chiamata();
}

ConnessioneSqlite::Risultato ConnessioneSqlite::leggiRiprovando(const QString& sql,
                                                                const QVariantList& valori) {
    return riprovandoSePersa([&] { return leggiPreparata(sql, valori); });
}

ConnessioneSqlite::Risultato ConnessioneSqlite::leggiPreparata(const QString& sql,
                                                               const QVariantList& valori) {
    Risultato risultato;
    if (m_dialetto->motore() == MotoreSql::Sqlite) {
        const Compilata compilata = compila(sql, valori);
        QSqlError errore;
        if (!compilata.istruzione.esegui(compilata.valori, &risultato.righe, errore)) {
            // Compiled afresh next time: a table it read may have gone or changed.
            scarta(sql);
            fallito(QStringLiteral("Errore del database"), errore);
        }
        risultato.nomi = compilata.istruzione.nomi();
        risultato.tabelle = compilata.istruzione.tabelle();
        return risultato;
    }
    QSqlQuery& query = preparaServer(sql, valori);
    esegui(query, sql);
    const QSqlRecord record = query.record();
    const int colonne = record.count();
    for (int i = 0; i < colonne; ++i) {
        risultato.nomi.append(record.fieldName(i));
        risultato.tabelle.append(record.field(i).tableName());
    }
    while (query.next()) {
        QVariantList riga;
        riga.reserve(colonne);
        for (int i = 0; i < colonne; ++i)
            riga.append(query.value(i));
        risultato.righe.append(std::move(riga));
    }
    if (query.lastError().isValid()) {
        query.finish();
        fallito(QStringLiteral("Errore del database"), query.lastError());
    }
    query.finish();
    return risultato;
}

const QString& ConnessioneSqlite::testoCompilato(const QString& sql) const {
    const auto nota = m_parametrizzate.find(sql);
    return nota != m_parametrizzate.end() ? nota->second.testo : sql;
}

const QList<ColonnaInsieme>* ConnessioneSqlite::colonneNote(const QString& sql) const {
    const auto note = m_colonneNote.find(testoCompilato(sql));
    return note != m_colonneNote.end() ? &note->second : nullptr;
}

void ConnessioneSqlite::ricordaColonne(const QString& sql, QList<ColonnaInsieme> colonne) {
    if (m_colonneNote.size() >= MassimoPreparate)
        m_colonneNote.clear();
    m_colonneNote.insert_or_assign(testoCompilato(sql), std::move(colonne));
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
    // Asked at the start of every unit: compiled once.
    QSqlError errore;
    if (!m_versione)
        m_versione = IstruzioneSqlite::compila(m_maniglia, QStringLiteral("PRAGMA schema_version"), errore);
    QList<QVariantList> righe;
    if (!m_versione || !m_versione->esegui({}, &righe, errore) || righe.isEmpty())
        return -1;
    return righe.constFirst().value(0).toLongLong();
}

void ConnessioneSqlite::schemaInvariato() {
    const qint64 versione = versioneSchema();
    if (versione == m_versioneSchema)
        return;
    // A statement that reads the tables makes the engine load their new definitions, so
    // what is compiled next is compiled against them.
    QSqlQuery ricarica(database());
    ricarica.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    ricarica.finish();
    m_preparate.clear();
    m_catalogo.dimentica();
    m_colonneNote.clear();
    m_versioneSchema = versione;
}

int ConnessioneSqlite::esegui(const QString& sql, const QVariantList& valori) {
    return protetto([&] {
        if (m_dialetto->motore() == MotoreSql::Sqlite) {
            const Compilata compilata = compila(sql, valori);
            QSqlError errore;
            if (!compilata.istruzione.esegui(compilata.valori, nullptr, errore))
                fallito(QStringLiteral("Errore del database"), errore);
            return sqlite3_changes(m_maniglia);
        }
        QSqlQuery& query = preparaServer(sql, valori);
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
    const Compilata compilata = compila(sql, valori);
    QSqlError errore;
    if (!compilata.istruzione.esegui(compilata.valori, nullptr, errore))
        fallito(QStringLiteral("Errore del database"), errore);
    const qint64 chiave = sqlite3_last_insert_rowid(m_maniglia);
    if (chiave == 0)
        throw Errore::database(
            QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
    return chiave;
}

void ConnessioneSqlite::verifica(const QString& sql) {
    if (m_dialetto->motore() == MotoreSql::Sqlite) {
        // Compiled now and kept for the read that follows.
        compila(sql, {});
        return;
    }
    protetto([&] {
        return riprovandoSePersa([&] {
            soloSeUnitaViva();
            if ((m_daRiconnettere || !database().isOpen()) && m_unita == StatoUnita::Nessuna)
                riconnetti();
            QSqlQuery query(database());
            query.setForwardOnly(true);
            if (!query.prepare(sql))
                fallito(QStringLiteral("Istruzione rifiutata dal database"), query.lastError());
            query.finish();
            return 0;
        });
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
    QSqlError rifiuto;
    if (!comando(m_dialetto->inizioUnita(m_attesaBloccoMs).constFirst(), &rifiuto)) {
        const QString motivo = motivoOperatore(codiceMotore(), m_attesaBloccoMs, testoErrore(rifiuto));
        if (transazioneAperta())
            comando(QStringLiteral("ROLLBACK"));
        throw Errore::unitaNonRiuscita(motivo);
    }
    m_unita = StatoUnita::Attiva;
    m_motivoPerdita.clear();
    schemaInvariato();
}

void ConnessioneSqlite::iniziaUnitaServer() {
    // The next save makes a lost connection again; a server that is still away fails it.
    if ((m_daRiconnettere || !database().isOpen()) && !riconnetti())
        throw Errore::unitaNonRiuscita(serverNonRisponde(m_server, database().lastError()));
    const QStringList inizio = m_dialetto->inizioUnita(m_attesaBloccoMs);
    {
        QSqlError rifiuto;
        if (!comando(inizio.constFirst(), &rifiuto)) {
            // A connection the server dropped while idle shows only now: the unit starts
            // on a new one.
            if (!connessionePersa(rifiuto))
                throw Errore::unitaNonRiuscita(motivoServer(rifiuto, m_attesaBloccoMs, m_server));
            if (!riconnetti())
                throw Errore::unitaNonRiuscita(serverNonRisponde(m_server, database().lastError()));
            if (!comando(inizio.constFirst(), &rifiuto)) {
                m_daRiconnettere = connessionePersa(rifiuto);
                throw Errore::unitaNonRiuscita(motivoServer(rifiuto, m_attesaBloccoMs, m_server));
            }
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
    QSqlError rifiuto;
    if (!comando(QStringLiteral("COMMIT"), &rifiuto)) {
        const bool server = m_dialetto->motore() == MotoreSql::PostgreSql;
        const QString motivo =
            server ? motivoServer(rifiuto, m_attesaBloccoMs, m_server)
                   : motivoOperatore(codiceMotore(), m_attesaBloccoMs, testoErrore(rifiuto));
        if (server && connessionePersa(rifiuto))
            m_daRiconnettere = true;
        annullaUnita();
        throw Errore::unitaNonRiuscita(motivo);
    }
    m_unita = StatoUnita::Nessuna;
}

void ConnessioneSqlite::annullaUnita() {
    if (transazioneAperta() && !m_daRiconnettere)
        comando(QStringLiteral("ROLLBACK"));
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
                m_motivoPerdita = motivoServer(errore, m_attesaBloccoMs, m_server);
                throw Errore::unitaNonRiuscita(m_motivoPerdita);
            }
            throw Errore::database(serverNonRisponde(m_server, errore));
        }
        throw ConnessioneSqlite::errore(contesto, errore);
    }
    if (m_unita == StatoUnita::Attiva) {
        const int codice = codiceMotore();
        if (!transazioneAperta() || abbandonaTransazione(codice)) {
            // What the engine may have kept of the transaction is dropped too: the unit
            // is kept whole or not at all.
            if (transazioneAperta())
                comando(QStringLiteral("ROLLBACK"));
            m_unita = StatoUnita::Persa;
            m_motivoPerdita = motivoOperatore(codice, m_attesaBloccoMs, testoErrore(errore));
            throw Errore::unitaNonRiuscita(m_motivoPerdita);
        }
    }
    // A full disk, a busy or read-only file: said in the operator's words, never taken for
    // a damaged file.
    throw Errore::database(contesto + QStringLiteral(": ") +
                           motivoOperatore(codiceMotore(), m_attesaBloccoMs, testoErrore(errore)));
}

void ConnessioneSqlite::soloSeUnitaViva() const {
    if (m_unita == StatoUnita::Persa)
        throw Errore::unitaNonRiuscita(m_motivoPerdita);
}

void ConnessioneSqlite::interrompibile(const std::atomic<bool>* segnale) {
    sqlite3* handle = m_maniglia;
    if (handle == nullptr || segnale == nullptr)
        return;
    sqlite3_progress_handler(
        handle, 10000,
        [](void* dato) { return static_cast<const std::atomic<bool>*>(dato)->load() ? 1 : 0; },
        const_cast<std::atomic<bool>*>(segnale));
}

bool ConnessioneSqlite::transazioneAperta() const {
    // The server's transaction is the unit's own: open while the unit is alive.
    if (m_dialetto->motore() == MotoreSql::PostgreSql)
        return m_unita == StatoUnita::Attiva;
    return m_maniglia != nullptr && sqlite3_get_autocommit(m_maniglia) == 0;
}

QString ConnessioneSqlite::guastoUltimoErrore() const {
    const int codice = codiceMotore();
    return guastoDelDisco(codice) ? motivoOperatore(codice, m_attesaBloccoMs, QString::fromUtf8(sqlite3_errmsg(m_maniglia)))
                                  : QString();
}

int ConnessioneSqlite::codiceMotore() const {
    return m_maniglia != nullptr ? sqlite3_extended_errcode(m_maniglia) : SQLITE_ERROR;
}

} // namespace KaloRefill
