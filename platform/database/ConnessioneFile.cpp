// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConnessioneFile.h"

#include "SchemaDatabase.h"
#include "host/Errore.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

namespace KaloRefill {

namespace {

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

} // namespace

ConnessioneFile::ConnessioneFile(int attesaBloccoMs) : Connessione(MotoreSql::Sqlite, attesaBloccoMs) {}

std::shared_ptr<ConnessioneFile> ConnessioneFile::apri(const QString& percorsoFile, Accesso accesso,
                                                       int attesaBloccoMs) {
    std::shared_ptr<ConnessioneFile> connessione(new ConnessioneFile(attesaBloccoMs));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connessione->nome());
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
    if (accesso == Accesso::LetturaScrittura)
        connessione->modoWal();
    return connessione;
}

void ConnessioneFile::modoWal() {
    // Readers and a writer of several hosts work side by side.
    const auto risultato = leggi(QStringLiteral("PRAGMA journal_mode = WAL"));
    const QString modo = risultato.righe.value(0).value(0).toString();
    if (modo.compare(u"wal", Qt::CaseInsensitive) != 0)
        throw Errore::database(
            QStringLiteral("Il database non può lavorare in modalità WAL (modalità: %1).")
                .arg(modo));
}

ConnessioneFile::~ConnessioneFile() {
    // Compiled statements go before the connection they belong to.
    m_preparate.clear();
    m_comandi.clear();
    m_versione.reset();
}

ConnessioneFile::Compilata ConnessioneFile::compila(const QString& testoOriginale,
                                                   const QVariantList& valoriOriginali) {
    soloSeUnitaViva();
    const QString* testo = &testoOriginale;
    const QVariantList* valoriDaLegare = &valoriOriginali;
    if (valoriOriginali.isEmpty()) {
        const Parametrizzata& nota = parametrizzata(testoOriginale);
        testo = &nota.testo;
        valoriDaLegare = &nota.valori;
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

bool ConnessioneFile::comando(const QString& sql, QSqlError* errore) {
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

ConnessioneFile::Risultato ConnessioneFile::leggi(const QString& sql, const QVariantList& valori) {
    // SQLite compiles a kept statement again when another program has changed the tables,
    // and "*" may then stand for more columns than were made room for. Such a read
    // therefore runs in a read transaction of its own, where the schema can be seen
    // unchanged first; in a unit of work the write lock keeps it unchanged.
    const bool protetta = m_unita == StatoUnita::Nessuna && conAsterisco(sql) && !transazioneAperta();
    if (protetta) {
        comando(QStringLiteral("BEGIN"));
        schemaInvariato();
    }
    try {
        Risultato risultato = leggiPreparata(sql, valori);
        if (protetta)
            comando(QStringLiteral("COMMIT"));
        return risultato;
    } catch (...) {
        if (protetta && transazioneAperta())
            comando(QStringLiteral("ROLLBACK"));
        throw;
    }
}

ConnessioneFile::Risultato ConnessioneFile::leggiPreparata(const QString& sql,
                                                          const QVariantList& valori) {
    Risultato risultato;
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

void ConnessioneFile::scarta(const QString& sql) {
    m_preparate.erase(testoCompilato(sql));
}

bool ConnessioneFile::conAsterisco(const QString& sql) {
    if (!sql.startsWith(u"select", Qt::CaseInsensitive))
        return false;
    const qsizetype stella = sql.indexOf(QLatin1Char('*'));
    const qsizetype da = sql.indexOf(u" from ", 0, Qt::CaseInsensitive);
    return stella >= 0 && (da < 0 || stella < da);
}

qint64 ConnessioneFile::versioneSchema() {
    // Asked at the start of every unit: compiled once.
    QSqlError errore;
    if (!m_versione)
        m_versione = IstruzioneSqlite::compila(m_maniglia, QStringLiteral("PRAGMA schema_version"), errore);
    QList<QVariantList> righe;
    if (!m_versione || !m_versione->esegui({}, &righe, errore) || righe.isEmpty())
        return -1;
    return righe.constFirst().value(0).toLongLong();
}

void ConnessioneFile::schemaInvariato() {
    const qint64 versione = versioneSchema();
    if (versione == m_versioneSchema)
        return;
    // A statement that reads the tables makes the engine load their new definitions, so
    // what is compiled next is compiled against them.
    QSqlQuery ricarica(database());
    ricarica.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    ricarica.finish();
    m_preparate.clear();
    dimenticaColonne();
    m_versioneSchema = versione;
}

int ConnessioneFile::esegui(const QString& sql, const QVariantList& valori) {
    const Compilata compilata = compila(sql, valori);
    QSqlError errore;
    if (!compilata.istruzione.esegui(compilata.valori, nullptr, errore))
        fallito(QStringLiteral("Errore del database"), errore);
    return sqlite3_changes(m_maniglia);
}

qint64 ConnessioneFile::inserisci(const QString& sql, const QVariantList& valori) {
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

void ConnessioneFile::verifica(const QString& sql) {
    compila(sql, {});
}

ConnessioneFile::Contrassegno ConnessioneFile::contrassegno(const QString& nome) {
    Risultato intestazione;
    try {
        intestazione = leggi(QStringLiteral(
            "SELECT (SELECT application_id FROM pragma_application_id), "
            "(SELECT user_version FROM pragma_user_version), "
            "(SELECT count(*) FROM sqlite_master WHERE type = 'table' "
            "AND name = 'kalorefill_database')"));
    } catch (const Errore& e) {
        const QString guasto = guastoUltimoErrore();
        if (!guasto.isEmpty())
            throw Errore::database(QStringLiteral("Impossibile leggere il database %1: %2").arg(nome, guasto));
        throw Errore::database(QStringLiteral("Il file %1 è danneggiato o non è un database: %2")
                                   .arg(nome, e.descrizione()));
    }
    const QVariantList& riga = intestazione.righe.value(0);
    Contrassegno contrassegno;
    contrassegno.presente = riga.size() == 3 &&
                            riga.at(0).toLongLong() == SchemaDatabase::idApplicazione &&
                            riga.at(2).toInt() == 1;
    if (contrassegno.presente)
        contrassegno.versione = riga.at(1).toInt();
    return contrassegno;
}

void ConnessioneFile::apriUnita() {
    QSqlError rifiuto;
    if (!comando(m_dialetto->inizioUnita(m_attesaBloccoMs).constFirst(), &rifiuto)) {
        const QString perche = motivo(testoErrore(rifiuto));
        if (transazioneAperta())
            comando(QStringLiteral("ROLLBACK"));
        throw Errore::unitaNonRiuscita(perche);
    }
    m_unita = StatoUnita::Attiva;
    m_motivoPerdita.clear();
    schemaInvariato();
}

bool ConnessioneFile::chiudiUnita(QString& perche) {
    QSqlError rifiuto;
    if (comando(QStringLiteral("COMMIT"), &rifiuto))
        return true;
    perche = motivo(testoErrore(rifiuto));
    return false;
}

void ConnessioneFile::scartaUnita() {
    if (transazioneAperta())
        comando(QStringLiteral("ROLLBACK"));
}

void ConnessioneFile::fallito(const QString& contesto, const QSqlError& errore) {
    if (m_unita == StatoUnita::Attiva) {
        const int codice = codiceMotore();
        if (!transazioneAperta() || abbandonaTransazione(codice)) {
            // What the engine may have kept of the transaction is dropped too: the unit
            // is kept whole or not at all.
            if (transazioneAperta())
                comando(QStringLiteral("ROLLBACK"));
            perdiUnita(motivoOperatore(codice, m_attesaBloccoMs, testoErrore(errore)));
        }
    }
    // A full disk, a busy or read-only file: said in the operator's words, never taken for
    // a damaged file.
    throw Errore::database(contesto + QStringLiteral(": ") + motivo(testoErrore(errore)));
}

void ConnessioneFile::interrompibile(const std::atomic<bool>* segnale) {
    sqlite3* handle = m_maniglia;
    if (handle == nullptr || segnale == nullptr)
        return;
    sqlite3_progress_handler(
        handle, 10000,
        [](void* dato) { return static_cast<const std::atomic<bool>*>(dato)->load() ? 1 : 0; },
        const_cast<std::atomic<bool>*>(segnale));
}

bool ConnessioneFile::transazioneAperta() const {
    return m_maniglia != nullptr && sqlite3_get_autocommit(m_maniglia) == 0;
}

QString ConnessioneFile::guastoUltimoErrore() const {
    return guastoDelDisco(codiceMotore()) ? motivo(QString::fromUtf8(sqlite3_errmsg(m_maniglia)))
                                          : QString();
}

QString ConnessioneFile::motivo(const QString& testoMotore) const {
    return motivoOperatore(codiceMotore(), m_attesaBloccoMs, testoMotore);
}

int ConnessioneFile::codiceMotore() const {
    return m_maniglia != nullptr ? sqlite3_extended_errcode(m_maniglia) : SQLITE_ERROR;
}

} // namespace KaloRefill
