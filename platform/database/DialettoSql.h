// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "MotoreSql.h"
#include "TipoColonna.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace KaloRefill {

// What differs between the engines behind the host, in one place: how a KaloRefill
// database is declared, how its catalogue is read, how a new row gives back its key and
// how a unit of work begins. One subclass per engine, chosen when the host opens.
class DialettoSql {
public:
    virtual ~DialettoSql() = default;

    static std::unique_ptr<DialettoSql> per(MotoreSql motore);

    virtual MotoreSql motore() const = 0;

    // Schema. Statements run before the tables (collations, domains); the declaration of
    // the key column "id"; the type of a column, collation included.
    virtual QStringList preparazioneSchema() const = 0;
    virtual QString colonnaChiave() const = 0;
    virtual QString tipo(TipoColonna tipo) const = 0;
    // A table or column name as the schema declares it, quoted.
    virtual QString nome(const QString& nome) const = 0;
    // The engine's own marks of a KaloRefill database, run after the tables.
    virtual QStringList contrassegni(int versione) const = 0;

    // Catalogue: the columns of the table named by the one parameter (name, declared type,
    // declared default, in the table's order); the number of tables in the database that are not the
    // engine's own.
    virtual QString colonneDellaTabella() const = 0;
    virtual QString contaTabelle() const = 0;
    // Whether a table of that name (one parameter) exists.
    virtual QString esisteTabella() const = 0;

    // The INSERT that gives the new row's key as its one result row; empty when the
    // driver reports the key itself.
    virtual QString insertConChiave(const QString& insert) const = 0;

    // The statements that open a unit of work and take the write lock, waiting for it at
    // most attesaBloccoMs.
    virtual QStringList inizioUnita(int attesaBloccoMs) const = 0;

    // A statement without values can run as it is; prepared statements on some engines
    // take only queries and writes, never DDL or transaction control.
    virtual bool preparaSenzaValori() const = 0;

protected:
    DialettoSql() = default;
};

} // namespace KaloRefill
