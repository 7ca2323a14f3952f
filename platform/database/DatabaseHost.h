// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "IndirizzoDatabase.h"
#include "host/HostApplication.h"
#include "kalorefill_database_export.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <atomic>
#include <memory>

namespace KaloRefill {

class ParametriServer;

// Who the host says is at work and on which day; empty values take the defaults
// (today, the login name, the data folder of the database).
struct OpzioniHost {
    QDate data;
    QString user;
    QString percorso;
    // How long a save waits for another workstation's save before it gives up.
    int attesaBloccoMs = 5000;
};

// The embedded host application object: a real database holding the suite's tables, the
// module's SQL texts accepted in their own dialect, the stored settings and the
// preferences (views of the lists). The database is a SQLite file or, for several
// workstations, a database on a PostgreSQL server named by a postgresql:// address.
// Several hosts, in this program or in others, may work on the same database at once.
class KALOREFILL_DATABASE_EXPORT DatabaseHost final : public HostApplication {
public:
    // Opens an existing KaloRefill database (a file path or a postgresql:// address).
    // Throws Errore when it is missing, unreadable, corrupt, not a KaloRefill database, or
    // a file that cannot be written (its folder included); a refused database is never
    // changed.
    static std::shared_ptr<DatabaseHost> apri(const IndirizzoDatabase& indirizzo,
                                              const OpzioniHost& opzioni = {});
    // Creates a new, empty KaloRefill database; the file must not exist yet, a database
    // on a server must exist and hold no table.
    static std::shared_ptr<DatabaseHost> crea(const IndirizzoDatabase& indirizzo,
                                              const OpzioniHost& opzioni = {});

    ~DatabaseHost() override;
    DatabaseHost(const DatabaseHost&) = delete;
    DatabaseHost& operator=(const DatabaseHost&) = delete;

    RecordsetPtr openrecordset(const QString& sql) override;
    RecordsetPtr OpenRecordSetPreferenze(const QString& sql) override;
    void Execute(const QString& sql) override;
    qint16 leggisettaggio(const QString& sezione, const QString& chiave,
                          qint16 predefinito) override;
    void salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) override;
    QDate Data() override;
    QVariant User() override;
    QString Percorso() override;
    // A save as one SQLite transaction that holds the write lock from its start.
    std::unique_ptr<UnitaDiLavoro> IniziaUnita() override;

    // The engine's own check of every page of the file (PRAGMA quick_check), on a
    // connection of its own, so it may run on another thread while the form works. Empty
    // when the file is sound or the check was stopped by `basta` (set from any thread),
    // otherwise what is wrong, in the operator's words.
    static QString controllaIntegrita(const IndirizzoDatabase& indirizzo,
                                      const std::atomic<bool>* basta = nullptr);

    void setData(const QDate& data);
    void setUser(const QVariant& user);
    // The file, or the server address without any password.
    QString percorsoFile() const;

private:
    static std::shared_ptr<DatabaseHost> apriServer(const ParametriServer& parametri,
                                                    const OpzioniHost& opzioni, bool nuovo);
    struct Privato;
    explicit DatabaseHost(std::unique_ptr<Privato> privato);
    std::unique_ptr<Privato> d;
};

} // namespace KaloRefill
