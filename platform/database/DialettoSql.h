// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "MotoreSql.h"
#include "TipoColonna.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace KaloRefill {

class JetDateLiteral;

// What differs between the engines behind the host, in one place: how a KaloRefill
// database is declared, how its catalogue is read, how a new row gives back its key and
// how a unit of work begins. One subclass per engine, chosen when the host opens.
class DialettoSql {
public:
    virtual ~DialettoSql() = default;

    static std::unique_ptr<DialettoSql> per(MotoreSql motore);

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

    // Translation. A name written between quotes, as the engine keeps unquoted names.
    virtual QString nomePiegato(const QString& nome) const = 0;
    // A #date# literal as the engine writes it, and what it stores for it (the text
    // inside the quotes, also the value bound in its place).
    virtual QString letteraleData(const JetDateLiteral& data) const = 0;
    virtual QString valoreData(const JetDateLiteral& data) const = 0;
    // LIKE compares text without regard to case: the word, and what goes before it (and
    // before a NOT LIKE).
    virtual QString like() const = 0;
    virtual QString primaDiLike() const = 0;

    // A column name as the engine gives it, spelt as the suite spells it: a server folds
    // "Codlocale" to "codlocale", and lists show the names.
    virtual QString nomeColonna(const QString& nomeMotore) const = 0;
    // Every column of every table (table, name, declared type, declared default) in one
    // statement; empty when the tables are read one at a time, as they are first needed.
    virtual QString tutteLeColonne() const = 0;
    // How messages name the database: "Il file …", "Il database …".
    virtual QString soggetto(const QString& nome) const = 0;

protected:
    DialettoSql() = default;
};

} // namespace KaloRefill
