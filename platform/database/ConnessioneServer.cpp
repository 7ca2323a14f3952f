// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConnessioneServer.h"

#include "ParametriServer.h"
#include "host/Errore.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include <iterator>
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
    connessione->impostaSessione();
    return connessione;
}

void ConnessioneServer::impostaSessione() {
    // Dates travel as ISO text whatever the server's settings, and no notice clutters
    // the output of the program.
    esegui(QStringLiteral("SET datestyle = 'ISO, YMD'"));
    esegui(QStringLiteral("SET client_min_messages = warning"));
}

bool ConnessioneServer::riconnetti() {
    // The statements of the old connection go with it.
    m_inCorso.reset();
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

ConnessioneServer::~ConnessioneServer() {
    m_inCorso.reset();
}

QSqlQuery& ConnessioneServer::prepara(const QString& sql, const QVariantList& valori) {
    soloSeUnitaViva();
    // Outside a unit a lost server connection is made again at the next call.
    if ((m_daRiconnettere || !database().isOpen()) && m_unita == StatoUnita::Nessuna)
        riconnetti();
    m_inCorso = std::make_unique<QSqlQuery>(database());
    QSqlQuery& query = *m_inCorso;
    query.setForwardOnly(true);
    // A server prepares only queries and writes: a statement without values runs as it is
    // when esegui gives exec its text.
    if (valori.isEmpty())
        return query;
    if (!query.prepare(sql))
        fallito(QStringLiteral("Istruzione rifiutata dal database"), query.lastError());
    for (const QVariant& v : valori)
        query.addBindValue(v);
    return query;
}

bool ConnessioneServer::comando(const QString& sql, QSqlError* errore) {
    QSqlQuery query(database());
    const bool ok = query.exec(sql);
    if (!ok && errore)
        *errore = query.lastError();
    return ok;
}

void ConnessioneServer::esegui(QSqlQuery& query, const QString& sql) {
    if (!(query.lastQuery().isEmpty() ? query.exec(sql) : query.exec()))
        fallito(QStringLiteral("Errore del database"), query.lastError());
}

template <typename Chiamata> auto ConnessioneServer::protetto(Chiamata&& chiamata) {
    if (m_unita != StatoUnita::Attiva)
        return chiamata();
    // A failed statement would abort the server's whole transaction: the savepoint keeps
    // the failure to this one call, as SQLite does by itself.
    istruzioneUnita(QStringLiteral("SAVEPOINT istruzione"));
    try {
        auto risultato = chiamata();
        istruzioneUnita(QStringLiteral("RELEASE SAVEPOINT istruzione"));
        return risultato;
    } catch (const Errore&) {
        if (m_unita == StatoUnita::Attiva)
            istruzioneUnita(QStringLiteral("ROLLBACK TO SAVEPOINT istruzione"));
        throw;
    }
}

void ConnessioneServer::istruzioneUnita(const QString& sql) {
    QSqlQuery query(database());
    if (query.exec(sql))
        return;
    const QSqlError errore = query.lastError();
    if (connessionePersa(errore))
        m_daRiconnettere = true;
    else
        QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
    perdiUnita(motivo(errore));
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

ConnessioneServer::Risultato ConnessioneServer::leggi(const QString& sql, const QVariantList& valori) {
    return protetto([&] { return riprovandoSePersa([&] { return leggiPreparata(sql, valori); }); });
}

ConnessioneServer::Risultato ConnessioneServer::leggiPreparata(const QString& sql,
                                                              const QVariantList& valori) {
    Risultato risultato;
    QSqlQuery& query = prepara(sql, valori);
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

int ConnessioneServer::esegui(const QString& sql, const QVariantList& valori) {
    return protetto([&] {
        QSqlQuery& query = prepara(sql, valori);
        esegui(query, sql);
        const int righe = query.numRowsAffected();
        query.finish();
        return righe;
    });
}

qint64 ConnessioneServer::inserisci(const QString& sql, const QVariantList& valori) {
    const QVariant chiave = leggi(m_dialetto->insertConChiave(sql), valori).righe.value(0).value(0);
    if (!chiave.isValid() || chiave.isNull())
        throw Errore::database(
            QStringLiteral("Il database non ha restituito la chiave della nuova riga."));
    return chiave.toLongLong();
}

void ConnessioneServer::verifica(const QString& sql) {
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
                throw Errore::unitaNonRiuscita(motivo(rifiuto));
            if (!riconnetti())
                throw Errore::unitaNonRiuscita(serverNonRisponde(m_server, database().lastError()));
            if (!comando(inizio.constFirst(), &rifiuto)) {
                m_daRiconnettere = connessionePersa(rifiuto);
                throw Errore::unitaNonRiuscita(motivo(rifiuto));
            }
        }
    }
    m_unita = StatoUnita::Attiva;
    m_motivoPerdita.clear();
    // The write lock, before any savepoint: a savepoint rolled back would let it go.
    for (qsizetype i = 1; i < inizio.size(); ++i) {
        try {
            istruzioneUnita(inizio.at(i));
        } catch (const Errore&) {
            const QString perche = m_motivoPerdita;
            m_unita = StatoUnita::Nessuna;
            m_motivoPerdita.clear();
            throw Errore::unitaNonRiuscita(perche);
        }
    }
}

bool ConnessioneServer::chiudiUnita(QString& perche) {
    QSqlError rifiuto;
    if (comando(QStringLiteral("COMMIT"), &rifiuto))
        return true;
    perche = motivo(rifiuto);
    if (connessionePersa(rifiuto))
        m_daRiconnettere = true;
    return false;
}

void ConnessioneServer::scartaUnita() {
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
