// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "CatalogoColonne.h"
#include "ColonnaInsieme.h"
#include "DialettoSql.h"
#include "IstruzioneSqlite.h"
#include "SqlTranslator.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <atomic>
#include <memory>
#include <unordered_map>

class QSqlError;
struct sqlite3;

namespace KaloRefill {

class Errore;
class ParametriServer;

// One QtSql connection to a database file or to a database on a PostgreSQL server, with
// a name of its own, shared by the host and by every set it hands out: a set may outlive
// its host. What differs between the engines is asked of the dialect. On a file QtSql opens
// the connection and the statements run with the engine's own calls on its handle
// (IstruzioneSqlite). Every statement is run to its end and its cursor closed before the
// call returns, so no read stays open across a write of this or another connection.
class ConnessioneSqlite final {
public:
    struct Risultato {
        // The columns' names and the tables they come from (empty for an expression).
        QStringList nomi;
        QStringList tabelle;
        QList<QVariantList> righe;
    };

    enum class Accesso {
        LetturaScrittura,
        SolaLettura,
        // Read only, and SQLite takes no locks and creates no -wal or -shm file: for
        // looking at a file that no connection has open.
        Immutabile
    };

    // How long a write waits for another connection's lock before it gives up.
    static constexpr int AttesaBloccoPredefinitaMs = 5000;

    // Errore (database) when the file cannot be opened.
    static std::shared_ptr<ConnessioneSqlite> apri(const QString& percorsoFile, Accesso accesso,
                                                   int attesaBloccoMs = AttesaBloccoPredefinitaMs);
    // Errore (database) when the server cannot be reached or refuses the connection.
    static std::shared_ptr<ConnessioneSqlite>
    apriServer(const ParametriServer& parametri, int attesaBloccoMs = AttesaBloccoPredefinitaMs);
    ~ConnessioneSqlite();
    ConnessioneSqlite(const ConnessioneSqlite&) = delete;
    ConnessioneSqlite& operator=(const ConnessioneSqlite&) = delete;

    QSqlDatabase database() const;
    const SqlTranslator& traduttore() const { return m_traduttore; }
    const DialettoSql& dialetto() const { return *m_dialetto; }
    // The text in the engine's dialect, translated once per text and kept: the module
    // sends the same few texts over and over. Errore for a text the host will not run.
    const TranslatedStatement& traduci(const QString& sql);
    // A set's filter condition in the engine's dialect, translated once per text and kept:
    // a form narrows the same set by the same few conditions at every save.
    const QString& traduciCondizione(const QString& condizione);
    CatalogoColonne& catalogo() { return m_catalogo; }
    // The columns a set described for a statement, kept by the statement compiled for it:
    // the texts of a new day find those of the day before. Null when none is kept.
    const QList<ColonnaInsieme>* colonneNote(const QString& sql) const;
    void ricordaColonne(const QString& sql, QList<ColonnaInsieme> colonne);

    // A column name as the engine gives it, spelt as the suite spells it: a server folds
    // "Codlocale" to "codlocale", and lists show the names.
    QString nomeColonna(const QString& nomeMotore) const;

    // Every row of a query, read to the end.
    Risultato leggi(const QString& sql, const QVariantList& valori = {});
    // Runs a statement; gives the rows it changed.
    int esegui(const QString& sql, const QVariantList& valori = {});
    // Runs an INSERT; gives the key of the new row.
    qint64 inserisci(const QString& sql, const QVariantList& valori);
    // Compiles a statement without running it: the engine's objections come out at once,
    // and no row is read.
    void verifica(const QString& sql);

    static Errore errore(const QString& contesto, const QSqlError& errore);

    // A long statement of this connection (a file check) stops, failing, soon after
    // `segnale` turns true. SQLite files only.
    void interrompibile(const std::atomic<bool>* segnale);

    // One unit of work as one transaction that takes the write lock at its start, so the
    // units of several connections run one after the other. Errore UnitaNonRiuscita when
    // the lock is not obtained within the wait, or the file cannot be written. On a server
    // the lock is a transaction-level advisory lock, each statement runs in a savepoint of
    // its own, and a connection lost earlier is made again first.
    void iniziaUnita();
    // Commits; when the commit fails the unit is dropped and UnitaNonRiuscita thrown.
    void confermaUnita();
    // Drops whatever the unit wrote; harmless when the engine dropped it already.
    void annullaUnita();
    bool inUnita() const { return m_unita != StatoUnita::Nessuna; }
    // What went wrong with the last failed call of a file, when it was the disk or another
    // program (full, unreadable, busy, read-only) rather than the file's contents; empty
    // otherwise, and on a server.
    QString guastoUltimoErrore() const;

private:
    enum class StatoUnita { Nessuna, Attiva, Persa };
    // The statements' texts are long: each is hashed once, when it goes in, and the code
    // is kept beside it. A hasher that may throw makes the standard library keep it; with
    // the noexcept std::hash it would hash stored texts again while walking a bucket.
    struct HashTesto {
        std::size_t operator()(const QString& testo) const { return qHash(testo); }
    };
    template <typename Valore> using PerTesto = std::unordered_map<QString, Valore, HashTesto>;
    static constexpr std::size_t MassimoPreparate = 256;

    ConnessioneSqlite(QString nome, MotoreSql motore, int attesaBloccoMs);
    struct Parametrizzata {
        QString testo;
        QVariantList valori;
    };
    static Parametrizzata parametrizza(const QString& sql);
    // A text translated with each compared value (a number, a 'text', a #date#) as a mark:
    // the texts that differ only in those values share one translation and, on SQLite,
    // one compiled statement.
    struct Forma {
        TranslatedStatement tradotta;
        // On SQLite the statement with a ? for each mark; the marks' numbers in the order
        // their values are bound. Empty when the statement binds none.
        QString parametrizzata;
        QList<qsizetype> ordine;
    };
    const Forma& forma(const QString& chiave, QList<SqlToken> tokens);
    // On SQLite the statement compiled once per text and kept, with the values to bind at
    // this use; on a server a statement of its own for each call.
    struct Compilata {
        IstruzioneSqlite& istruzione;
        const QVariantList& valori;
    };
    Compilata compila(const QString& sql, const QVariantList& valori);
    QSqlQuery& preparaServer(const QString& sql, const QVariantList& valori);
    // BEGIN, COMMIT, ROLLBACK and the like: compiled once on SQLite. False when the engine
    // refused it; `errore`, when given, says why.
    bool comando(const QString& sql, QSqlError* errore = nullptr);
    template <typename Chiamata> auto riprovandoSePersa(Chiamata&& chiamata);
    Risultato leggiRiprovando(const QString& sql, const QVariantList& valori);
    Risultato leggiPreparata(const QString& sql, const QVariantList& valori);
    // Compiled afresh next time.
    void scarta(const QString& sql);
    // The text compiled for a statement: with its compared values bound, on SQLite.
    const QString& testoCompilato(const QString& sql) const;
    // A SELECT whose columns are given by "*": their number follows the tables.
    static bool conAsterisco(const QString& sql);
    qint64 versioneSchema();
    // Forgets the compiled statements when another program has changed the tables since.
    void schemaInvariato();
    // Runs a call of the connection; inside a unit on a server, in a savepoint that undoes
    // only that call when it fails.
    template <typename Chiamata> auto protetto(Chiamata&& chiamata);
    void istruzioneServer(const QString& sql);
    void iniziaUnitaServer();
    void impostaSessione();
    bool riconnetti();
    void esegui(QSqlQuery& query, const QString& sql);
    // A statement failed: inside a unit the engine may have abandoned the whole
    // transaction, and then the unit is lost rather than the statement.
    [[noreturn]] void fallito(const QString& contesto, const QSqlError& errore);
    void soloSeUnitaViva() const;
    bool transazioneAperta() const;
    int codiceMotore() const;

    QString m_nome;
    std::unique_ptr<DialettoSql> m_dialetto;
    // Compiled statements by text (SQLite); each is run to its end and finished before the
    // call that uses it returns, so none holds a read open.
    PerTesto<std::unique_ptr<IstruzioneSqlite>> m_preparate;
    // The engine's handle of a SQLite connection; null on a server.
    sqlite3* m_maniglia = nullptr;
    PerTesto<std::unique_ptr<IstruzioneSqlite>> m_comandi;
    std::unique_ptr<IstruzioneSqlite> m_versione;
    PerTesto<Parametrizzata> m_parametrizzate;
    qint64 m_versioneSchema = -1;
    PerTesto<TranslatedStatement> m_traduzioni;
    PerTesto<QString> m_condizioni;
    PerTesto<Forma> m_forme;
    PerTesto<QList<ColonnaInsieme>> m_colonneNote;
    // The statement of the call under way on a server.
    std::unique_ptr<QSqlQuery> m_suServer;
    int m_attesaBloccoMs;
    StatoUnita m_unita = StatoUnita::Nessuna;
    QString m_motivoPerdita;
    // A server connection that was lost: made again at the next unit.
    bool m_daRiconnettere = false;
    // The server as messages name it: host and port.
    QString m_server;
    SqlTranslator m_traduttore;
    CatalogoColonne m_catalogo{*this};
};

} // namespace KaloRefill
