#pragma once

#include "CatalogoColonne.h"
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

// One QtSql connection to a database file, with a name of its own, shared by the host
// and by every set it hands out: a set may outlive its host. Every statement is run to
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
    ~ConnessioneSqlite();
    ConnessioneSqlite(const ConnessioneSqlite&) = delete;
    ConnessioneSqlite& operator=(const ConnessioneSqlite&) = delete;

    QSqlDatabase database() const;
    const SqlTranslator& traduttore() const { return m_traduttore; }
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
    explicit ConnessioneSqlite(QString nome);

    QString m_nome;
    SqlTranslator m_traduttore{MotoreSql::Sqlite};
    CatalogoColonne m_catalogo{*this};
};

} // namespace KaloRefill
