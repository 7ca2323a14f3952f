// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConnessioneServer.h"

#include "ErroriServer.h"
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

using ErroriServer::connessionePersa;
using ErroriServer::piano;
using ErroriServer::serverNonRisponde;

namespace {

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
        m_inizio.append({sql, {}, true});
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
