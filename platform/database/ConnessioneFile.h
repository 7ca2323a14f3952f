// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Connessione.h"
#include "IstruzioneSqlite.h"

struct sqlite3;

namespace KaloRefill {

// A SQLite database file. QtSql opens the connection; the statements run with the engine's
// own calls on its handle (IstruzioneSqlite), compiled once per text and kept, with the
// values the module writes into its texts bound instead. A unit is BEGIN IMMEDIATE under
// the busy timeout; after a failed statement the engine's own state says whether the
// transaction survived.
class ConnessioneFile final : public Connessione {
public:
    enum class Accesso {
        // Also puts the file in WAL mode: readers and a writer of several hosts work side
        // by side.
        LetturaScrittura,
        SolaLettura,
        // Read only, and SQLite takes no locks and creates no -wal or -shm file: for
        // looking at a file that no connection has open.
        Immutabile
    };

    // Errore (database) when the file cannot be opened.
    static std::shared_ptr<ConnessioneFile> apri(const QString& percorsoFile, Accesso accesso,
                                                 int attesaBloccoMs = AttesaBloccoPredefinitaMs);
    ~ConnessioneFile() override;

    Risultato leggi(const QString& sql, const QVariantList& valori = {}) override;
    int esegui(const QString& sql, const QVariantList& valori = {}) override;
    qint64 inserisci(const QString& sql, const QVariantList& valori) override;
    // Compiles the statement now and keeps it for the read that follows.
    void verifica(const QString& sql) override;
    // The application id and user_version in the file's header.
    Contrassegno contrassegno(const QString& nome) override;
    QString guastoUltimoErrore() const override;

    // A long statement of this connection (a file check) stops, failing, soon after
    // `segnale` turns true.
    void interrompibile(const std::atomic<bool>* segnale);

protected:
    void apriUnita() override;
    bool chiudiUnita(QString& motivo) override;
    void scartaUnita() override;

private:
    explicit ConnessioneFile(int attesaBloccoMs);
    void modoWal();
    // The statement compiled once per text and kept, with the values to bind at this use.
    struct Compilata {
        IstruzioneSqlite& istruzione;
        const QVariantList& valori;
    };
    Compilata compila(const QString& sql, const QVariantList& valori);
    // BEGIN, COMMIT, ROLLBACK and the like, compiled once. False when the engine refused
    // it; `errore`, when given, says why.
    bool comando(const QString& sql, QSqlError* errore = nullptr);
    Risultato leggiPreparata(const QString& sql, const QVariantList& valori);
    // Compiled afresh next time.
    void scarta(const QString& sql);
    // A SELECT whose columns are given by "*": their number follows the tables.
    static bool conAsterisco(const QString& sql);
    qint64 versioneSchema();
    // Forgets the compiled statements when another program has changed the tables since.
    void schemaInvariato();
    // A statement failed: inside a unit the engine may have abandoned the whole
    // transaction, and then the unit is lost rather than the statement.
    [[noreturn]] void fallito(const QString& contesto, const QSqlError& errore);
    bool transazioneAperta() const;
    int codiceMotore() const;
    QString motivo(const QString& testoMotore) const;

    // Each is run to its end and finished before the call that uses it returns, so none
    // holds a read open.
    PerTesto<std::unique_ptr<IstruzioneSqlite>> m_preparate;
    PerTesto<std::unique_ptr<IstruzioneSqlite>> m_comandi;
    std::unique_ptr<IstruzioneSqlite> m_versione;
    sqlite3* m_maniglia = nullptr;
    qint64 m_versioneSchema = -1;
};

} // namespace KaloRefill
