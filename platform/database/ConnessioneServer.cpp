// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConnessioneServer.h"

#include "ParametriServer.h"
#include "host/Errore.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>

#include <libpq-fe.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace KaloRefill {

namespace {

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
    const QString dettaglio = Connessione::testoErrore(errore);
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
            .arg(Connessione::testoErrore(errore));
    return Connessione::testoErrore(errore);
}

} // namespace

ConnessioneServer::ConnessioneServer(int attesaBloccoMs)
    : Connessione(MotoreSql::PostgreSql, attesaBloccoMs) {}

std::shared_ptr<ConnessioneServer> ConnessioneServer::apri(const ParametriServer& parametri,
                                                           int attesaBloccoMs) {
    std::shared_ptr<ConnessioneServer> connessione(new ConnessioneServer(attesaBloccoMs));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connessione->nome());
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
    connessione->collega();
    connessione->impostaSessione();
    return connessione;
}

void ConnessioneServer::collega() {
    const QVariant maniglia = database().driver() ? database().driver()->handle() : QVariant();
    pg_conn* pg = nullptr;
    if (maniglia.isValid() && (qstrcmp(maniglia.typeName(), "PGconn*") == 0 ||
                               qstrcmp(maniglia.typeName(), "pg_conn*") == 0))
        pg = *static_cast<pg_conn* const*>(maniglia.data());
    if (pg == nullptr)
        throw Errore::database(QStringLiteral("Il driver PostgreSQL di Qt non dà accesso al database %1 (%2).")
                                   .arg(m_server, QString::fromLatin1(maniglia.typeName())));
    m_canale.collega(pg);
}

void ConnessioneServer::impostaSessione() {
    // Dates travel as ISO text whatever the server's settings, and no notice clutters
    // the output of the program. They go with the connection's first statement.
    m_preambolo = {{QStringLiteral("SET datestyle = 'ISO, YMD'"), {}, false},
                   {QStringLiteral("SET client_min_messages = warning"), {}, false}};
    // The names and columns of the tables every start-up and first save come to.
    m_preambolo.append(CanalePg::richiestaTabelle());
    if (!catalogo().tutteLette())
        m_preambolo.append({m_dialetto->tutteLeColonne(), {}, false});
}

bool ConnessioneServer::riconnetti() {
    // The old connection's handle goes with it.
    m_canale.collega(nullptr);
    QSqlDatabase db = database();
    db.close();
    if (!db.open())
        return false;
    m_daRiconnettere = false;
    try {
        collega();
        impostaSessione();
    } catch (const Errore&) {
        m_daRiconnettere = true;
        return false;
    }
    return true;
}

ConnessioneServer::~ConnessioneServer() = default;

namespace {

// Texts the server plans: kept prepared. Anything else (SET, DDL) runs as it is.
bool daPreparare(const QString& sql) {
    const QStringView testo = QStringView(sql).trimmed();
    for (QStringView parola : {u"select", u"insert", u"update", u"delete", u"with"})
        if (testo.startsWith(parola, Qt::CaseInsensitive))
            return true;
    return false;
}

// The server reprepares a kept statement by itself, except when the columns of a "*" have
// changed under it (another program upgraded the tables).
bool piano(const QSqlError& errore) {
    return errore.nativeErrorCode() == u"0A000";
}

} // namespace

CanalePg::Richiesta ConnessioneServer::richiesta(const QString& sql, const QVariantList& valori) {
    if (!valori.isEmpty())
        return {sql, valori, daPreparare(sql)};
    const Parametrizzata& p = parametrizzata(sql);
    // A value travels as text and takes the type of what it is compared with: 1.5 would
    // not read as a whole number where the literal compared as one, so such a text keeps
    // its values written in.
    for (const QVariant& v : p.valori)
        if (v.metaType().id() == QMetaType::Double)
            return {sql, {}, daPreparare(sql)};
    return {p.testo, p.valori, daPreparare(p.testo)};
}

template <typename Chiamata> auto ConnessioneServer::riprovandoSePersa(Chiamata&& chiamata) {
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

struct ConnessioneServer::InAttesa final : LetturaAnticipata {
    CanalePg::Richiesta richiesta;
    bool conValori = false;
    // The writes of this connection before it was asked for.
    quint64 scritture = 0;
    std::optional<CanalePg::Esito> esito;
    bool ritentata = false;
    // A write held back: what it means when it changes no row (nothing when that is fine).
    bool trattenuta = false;
    QString seNessunaRiga;
};

std::optional<CanalePg::Esito> ConnessioneServer::inviaCoda(const QString& poi) {
    std::optional<CanalePg::Esito> esitoPoi;
    while (!m_coda.empty() || (!poi.isEmpty() && !esitoPoi)) {
        soloSeUnitaViva();
        // Outside a unit a lost server connection is made again at the next call.
        if ((m_daRiconnettere || !database().isOpen()) && m_unita == StatoUnita::Nessuna)
            riconnetti();
        // A read sent ahead for a set that is gone, or that this connection has written
        // after, is not sent: it would be read again anyway.
        std::erase_if(m_coda, [this](const std::shared_ptr<InAttesa>& a) {
            return !a->trattenuta && (a.use_count() == 1 || a->scritture != m_scritture);
        });
        if (m_coda.empty() && poi.isEmpty())
            return esitoPoi;
        // A failed statement would abort the server's whole transaction: the savepoint
        // keeps the failure to this one call, as SQLite does by itself.
        const bool inUnita = m_unita == StatoUnita::Attiva;
        const qsizetype passo = inUnita ? 3 : 1;
        // The session's settings and the unit's BEGIN and lock travel with the first
        // statements.
        QList<CanalePg::Richiesta> richieste = m_preambolo + m_inizio;
        const qsizetype preambolo = m_preambolo.size();
        const qsizetype inizio = preambolo + m_inizio.size();
        for (const auto& a : std::as_const(m_coda)) {
            if (inUnita)
                richieste.append({QStringLiteral("SAVEPOINT istruzione"), {}, false});
            richieste.append(a->richiesta);
            if (inUnita)
                richieste.append({QStringLiteral("RELEASE SAVEPOINT istruzione"), {}, false});
        }
        if (!poi.isEmpty())
            richieste.append({poi, {}, false});
        const QList<CanalePg::Esito> esiti = m_canale.invia(richieste);
        if (preambolo > 0) {
            m_preambolo.clear();
            if (esiti.at(preambolo - 1).riuscito()) {
                m_canale.conosciTabelle(esiti.at(2));
                if (preambolo > 3)
                    catalogo().carica(m_canale.righe(esiti.at(3)).righe);
            } else {
                const QSqlError errore = esiti.at(preambolo - 1).errore;
                m_coda.clear();
                m_trattenute.clear();
                if (m_unita == StatoUnita::Attiva) {
                    m_inizio.clear();
                    m_daRiconnettere = m_daRiconnettere || connessionePersa(errore);
                    perdiUnita(motivo(errore));
                }
                fallito(QStringLiteral("Errore del database"), errore);
            }
        }
        if (inizio > preambolo && !unitaIniziata(esiti.mid(preambolo, inizio - preambolo)))
            continue;
        // After a failure the server skips the rest until the sync: they go again.
        bool tutte = true;
        for (std::size_t fatte = 0; tutte && fatte < m_coda.size(); ++fatte) {
            const qsizetype i = inizio + qsizetype(fatte) * passo;
            const CanalePg::Esito& esito = esiti.at(inUnita ? i + 1 : i);
            if (esiti.at(i + passo - 1).riuscito()) {
                m_coda[fatte]->esito = esito;
                continue;
            }
            tutte = false;
            InAttesa& fallita = *m_coda[fatte];
            const auto coda = std::exchange(m_coda, {});
            if (inUnita && (!esiti.at(i).riuscito() || esito.riuscito()))
                unitaPersa(esiti.at(i).riuscito() ? esiti.at(i + 2).errore : esiti.at(i).errore);
            const bool persa = connessionePersa(esito.errore);
            if (inUnita && !persa)
                istruzioneUnita(QStringLiteral("ROLLBACK TO SAVEPOINT istruzione"));
            m_coda.assign(coda.begin() + qsizetype(fatte) + 1, coda.end());
            if (!fallita.ritentata && !persa && piano(esito.errore)) {
                m_canale.dimentica();
                fallita.ritentata = true;
                m_coda.insert(m_coda.begin(), coda.at(fatte));
                continue;
            }
            fallita.esito = esito;
            if (persa) {
                // Nothing more reaches this server: what waited fails with the same error.
                for (const auto& a : std::as_const(m_coda))
                    a->esito = esito;
                m_coda.clear();
            }
        }
        if (tutte) {
            m_coda.clear();
            if (!poi.isEmpty())
                esitoPoi = esiti.constLast();
        }
    }
    esaminaScritture();
    return esitoPoi;
}

std::shared_ptr<ConnessioneServer::InAttesa> ConnessioneServer::trattieni(const CanalePg::Richiesta& richiesta,
                                                                      const QString& seNessunaRiga) {
    ++m_scritture;
    auto attesa = std::make_shared<InAttesa>();
    attesa->richiesta = richiesta;
    attesa->conValori = true;
    attesa->scritture = m_scritture;
    attesa->trattenuta = true;
    attesa->seNessunaRiga = seNessunaRiga;
    m_coda.push_back(attesa);
    m_trattenute.push_back(attesa);
    return attesa;
}

void ConnessioneServer::esaminaScritture() {
    while (!m_trattenute.empty() && m_trattenute.front()->esito) {
        const std::shared_ptr<InAttesa> attesa = m_trattenute.front();
        m_trattenute.erase(m_trattenute.begin());
        try {
            if (CanalePg::cambiate(esitoDi(*attesa)) == 0 && !attesa->seNessunaRiga.isEmpty())
                throw Errore::database(attesa->seNessunaRiga);
        } catch (const Errore& errore) {
            // A lost unit is the caller's failure, at once; anything else was the write's.
            if (errore.numero() == CodiceErrore::UnitaNonRiuscita)
                throw;
            m_fallite.push_back(errore);
        }
    }
}

void ConnessioneServer::eseguiDopo(const QString& sql, const QVariantList& valori, const QString& seNessunaRiga) {
    if (!m_ritarda || m_unita != StatoUnita::Attiva) {
        Connessione::eseguiDopo(sql, valori, seNessunaRiga);
        return;
    }
    trattieni(richiesta(sql, valori), seNessunaRiga);
}

std::function<qint64()> ConnessioneServer::inserisciDopo(const QString& sql, const QVariantList& valori) {
    if (!m_ritarda || m_unita != StatoUnita::Attiva)
        return Connessione::inserisciDopo(sql, valori);
    std::shared_ptr<InAttesa> attesa = trattieni(richiesta(m_dialetto->insertConChiave(sql), valori), {});
    return [this, attesa] {
        if (!attesa->esito)
            inviaCoda();
        const CanalePg::Esito* esito = attesa->esito ? &*attesa->esito : nullptr;
        const QVariant chiave =
            esito && esito->riuscito() ? m_canale.righe(*esito).righe.value(0).value(0) : QVariant();
        if (!chiave.isValid() || chiave.isNull())
            throw Errore::database(
                QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
        return chiave.toLongLong();
    };
}

std::vector<Errore> ConnessioneServer::scrittureFallite() {
    if (m_unita == StatoUnita::Attiva)
        inviaCoda();
    return std::exchange(m_fallite, {});
}

const CanalePg::Esito& ConnessioneServer::esitoDi(const InAttesa& attesa) {
    if (!attesa.esito)
        throw Errore::database(serverNonRisponde(m_server, {}));
    const CanalePg::Esito& esito = *attesa.esito;
    if (!esito.riuscito())
        fallito(esito.rifiutata && attesa.conValori ? QStringLiteral("Istruzione rifiutata dal database")
                                                    : QStringLiteral("Errore del database"),
                esito.errore);
    return esito;
}

CanalePg::Esito ConnessioneServer::esegui(const CanalePg::Richiesta& richiesta, bool conValori) {
    auto attesa = std::make_shared<InAttesa>();
    attesa->richiesta = richiesta;
    attesa->conValori = conValori;
    attesa->scritture = m_scritture;
    m_coda.push_back(attesa);
    inviaCoda();
    return esitoDi(*attesa);
}

std::shared_ptr<LetturaAnticipata> ConnessioneServer::anticipa(const QString& sql, bool tutta) {
    CanalePg::Richiesta r = richiesta(sql, {});
    if (!r.preparata || (tutta && m_canale.preparata(r.sql)))
        return {};
    auto attesa = std::make_shared<InAttesa>();
    attesa->richiesta = r;
    attesa->conValori = true;
    attesa->scritture = m_scritture;
    m_coda.push_back(attesa);
    // A text the server has not seen yet goes now: a wrong one fails where it is opened.
    if (!m_canale.preparata(r.sql)) {
        riprovandoSePersa([&] {
            inviaCoda();
            if (!attesa->esito)
                return 0;
            if (!attesa->esito->riuscito() && attesa->esito->rifiutata)
                esitoDi(*attesa);
            return 0;
        });
    }
    return attesa;
}

ConnessioneServer::Risultato ConnessioneServer::leggi(const std::shared_ptr<LetturaAnticipata>& anticipo,
                                                      const QString& sql) {
    auto attesa = std::dynamic_pointer_cast<InAttesa>(anticipo);
    if (attesa && attesa->scritture == m_scritture && !attesa->esito)
        inviaCoda();
    // Read again: written since, or failed on a connection that is made again.
    if (!attesa || attesa->scritture != m_scritture || !attesa->esito ||
        (!attesa->esito->riuscito() && m_unita == StatoUnita::Nessuna && connessionePersa(attesa->esito->errore)))
        return leggi(sql);
    return m_canale.righe(esitoDi(*attesa));
}

bool ConnessioneServer::comando(const QString& sql, QSqlError* errore) {
    const CanalePg::Esito esito = m_canale.invia({{sql, {}, false}}).constFirst();
    if (!esito.riuscito() && errore)
        *errore = esito.errore;
    return esito.riuscito();
}

void ConnessioneServer::istruzioneUnita(const QString& sql) {
    QSqlError errore;
    if (!comando(sql, &errore))
        unitaPersa(errore);
}

void ConnessioneServer::unitaPersa(const QSqlError& errore) {
    if (connessionePersa(errore))
        m_daRiconnettere = true;
    else
        comando(QStringLiteral("ROLLBACK"));
    perdiUnita(motivo(errore));
}

ConnessioneServer::Risultato ConnessioneServer::leggi(const QString& sql, const QVariantList& valori) {
    return riprovandoSePersa([&] { return m_canale.righe(esegui(richiesta(sql, valori), !valori.isEmpty())); });
}

int ConnessioneServer::esegui(const QString& sql, const QVariantList& valori) {
    ++m_scritture;
    return CanalePg::cambiate(esegui(richiesta(sql, valori), !valori.isEmpty()));
}

qint64 ConnessioneServer::inserisci(const QString& sql, const QVariantList& valori) {
    ++m_scritture;
    const QVariant chiave = leggi(m_dialetto->insertConChiave(sql), valori).righe.value(0).value(0);
    if (!chiave.isValid() || chiave.isNull())
        throw Errore::database(
            QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
    return chiave.toLongLong();
}

void ConnessioneServer::verifica(const QString& sql) {
    // A text the server has prepared on this connection already was accepted then.
    CanalePg::Richiesta r = richiesta(sql, {});
    if (!r.preparata || m_canale.preparata(r.sql))
        return;
    r.soloPrepara = true;
    riprovandoSePersa([&] {
        esegui(r, true);
        return 0;
    });
}

ConnessioneServer::Contrassegno ConnessioneServer::contrassegno(const QString&) {
    const auto numero = [this](const QString& sql, const QVariantList& valori = {}) {
        return leggi(sql, valori).righe.value(0).value(0).toInt();
    };
    Contrassegno contrassegno;
    contrassegno.presente =
        numero(m_dialetto->esisteTabella(), {QStringLiteral("kalorefill_database")}) != 0;
    contrassegno.vuoto = !contrassegno.presente && numero(m_dialetto->contaTabelle()) == 0;
    return contrassegno;
}

void ConnessioneServer::verificaDiritti() {
    static constexpr std::pair<const char*, const char*> necessari[] = {
        {"noteteste", "INSERT"},     {"noteteste", "UPDATE"},   {"LogOperazioni", "INSERT"},
        {"noteincassi", "INSERT"},   {"noteincassi", "UPDATE"}, {"noterighe", "INSERT"},
        {"noterighe", "DELETE"},
    };
    QStringList controlli;
    for (const auto& [tabella, diritto] : necessari)
        controlli << QStringLiteral("has_table_privilege('%1', '%2')")
                         .arg(m_dialetto->nome(QLatin1String(tabella)), QLatin1String(diritto));
    const auto risultato = leggi(QStringLiteral("SELECT current_user, ") + controlli.join(QStringLiteral(", ")));
    const QVariantList riga = risultato.righe.value(0);
    for (qsizetype i = 0; i < qsizetype(std::size(necessari)); ++i)
        if (!riga.value(i + 1).toBool())
            throw Errore(CodiceErrore::AutorizzazioneNegata,
                         QStringLiteral("il ruolo %1 non può scrivere nella tabella %2 (manca il diritto %3)")
                             .arg(riga.value(0).toString(), QLatin1String(necessari[i].first),
                                  QLatin1String(necessari[i].second)));
}

void ConnessioneServer::apriUnita() {
    ++m_scritture;
    // The next save makes a lost connection again; a server that is still away fails it.
    if ((m_daRiconnettere || !database().isOpen()) && !riconnetti())
        throw Errore::unitaNonRiuscita(serverNonRisponde(m_server, database().lastError()));
    // BEGIN and the write lock go with the unit's first statements, in their round trip;
    // the lock before any savepoint, since a savepoint rolled back would let it go.
    m_inizio.clear();
    for (const QString& sql : m_dialetto->inizioUnita(m_attesaBloccoMs))
        m_inizio.append({sql, {}, false});
    m_riavviata = false;
    m_unita = StatoUnita::Attiva;
    m_motivoPerdita.clear();
}

bool ConnessioneServer::unitaIniziata(const QList<CanalePg::Esito>& esiti) {
    const auto fallito = std::find_if(esiti.cbegin(), esiti.cend(), [](const auto& e) { return !e.riuscito(); });
    if (fallito == esiti.cend()) {
        m_inizio.clear();
        return true;
    }
    const QSqlError errore = fallito->errore;
    // A connection the server dropped while idle shows only now: the unit starts again on
    // a new one, with everything that was to go with it (the server ran none of it).
    if (fallito == esiti.cbegin() && connessionePersa(errore) && !m_riavviata) {
        m_riavviata = true;
        if (riconnetti())
            return false;
    }
    if (connessionePersa(errore))
        m_daRiconnettere = true;
    else
        comando(QStringLiteral("ROLLBACK"));
    m_inizio.clear();
    m_coda.clear();
    m_trattenute.clear();
    perdiUnita(connessionePersa(errore) && m_daRiconnettere && !database().isOpen()
                   ? serverNonRisponde(m_server, database().lastError())
                   : motivo(errore));
}

bool ConnessioneServer::chiudiUnita(QString& perche) {
    ++m_scritture;
    m_ritarda = false;
    // The writes still held back go with the commit, in the same round trip.
    QSqlError rifiuto;
    try {
        const std::optional<CanalePg::Esito> esito = inviaCoda(QStringLiteral("COMMIT"));
        if (esito && esito->riuscito())
            return true;
        rifiuto = esito ? esito->errore : QSqlError();
    } catch (const Errore& errore) {
        perche = m_unita == StatoUnita::Persa ? m_motivoPerdita : errore.descrizione();
        return false;
    }
    perche = motivo(rifiuto);
    if (connessionePersa(rifiuto))
        m_daRiconnettere = true;
    return false;
}

void ConnessioneServer::scartaUnita() {
    ++m_scritture;
    m_ritarda = false;
    m_coda.clear();
    m_trattenute.clear();
    m_fallite.clear();
    // A unit whose BEGIN never left has nothing on the server to roll back.
    if (!m_inizio.isEmpty()) {
        m_inizio.clear();
        return;
    }
    // The server's transaction is the unit's own: open while the unit is alive.
    if (m_unita == StatoUnita::Attiva && !m_daRiconnettere)
        comando(QStringLiteral("ROLLBACK"));
}

void ConnessioneServer::fallito(const QString& contesto, const QSqlError& errore) {
    if (connessionePersa(errore)) {
        m_daRiconnettere = true;
        if (m_unita == StatoUnita::Attiva)
            perdiUnita(motivo(errore));
        throw Errore::database(serverNonRisponde(m_server, errore));
    }
    throw Connessione::errore(contesto, errore);
}

QString ConnessioneServer::motivo(const QSqlError& errore) const {
    return motivoServer(errore, m_attesaBloccoMs, m_server);
}

} // namespace KaloRefill
