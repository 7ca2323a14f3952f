#pragma once

#include "CatalogoColonne.h"
#include "DialettoSql.h"
#include "SqlTranslator.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <memory>

class QSqlError;

namespace KaloRefill {

class Errore;
class ParametriServer;

// One QtSql connection to a database file or to a database on a PostgreSQL server, with
// a name of its own, shared by the host and by every set it hands out: a set may outlive
// its host. What differs between the engines is asked of the dialect. Every statement is run to
// its end and its cursor closed before the call returns, so no read stays open across a
// write of this or another connection.
class ConnessioneSqlite final {
public:
    struct Risultato {
        QSqlRecord record;
        QList<QVariantList> righe;
    };

    enum class Accesso {
        LetturaScrittura,
        SolaLettura,
        // Read only, and SQLite takes no locks and creates no -wal or -shm file: for
        // looking at a file that no connection has open.
        Immutabile
    };

    // Errore (database) when the file cannot be opened.
    static std::shared_ptr<ConnessioneSqlite> apri(const QString& percorsoFile, Accesso accesso);
    // Errore (database) when the server cannot be reached or refuses the connection.
    static std::shared_ptr<ConnessioneSqlite> apriServer(const ParametriServer& parametri);
    ~ConnessioneSqlite();
    ConnessioneSqlite(const ConnessioneSqlite&) = delete;
    ConnessioneSqlite& operator=(const ConnessioneSqlite&) = delete;

    QSqlDatabase database() const;
    const SqlTranslator& traduttore() const { return m_traduttore; }
    const DialettoSql& dialetto() const { return *m_dialetto; }
    CatalogoColonne& catalogo() { return m_catalogo; }

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

private:
    ConnessioneSqlite(QString nome, MotoreSql motore);

    QString m_nome;
    std::unique_ptr<DialettoSql> m_dialetto;
    SqlTranslator m_traduttore;
    CatalogoColonne m_catalogo{*this};
};

} // namespace KaloRefill
