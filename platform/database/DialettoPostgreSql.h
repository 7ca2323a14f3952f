// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DialettoSql.h"

namespace KaloRefill {

// A PostgreSQL server. Unquoted names fold to lower case, so the suite's mixed-case names
// all meet the same table. Text ignores case through a nondeterministic ICU collation,
// amounts are numeric with four decimals, booleans a smallint domain holding -1/0 (the
// catalogue tells them from other small integers by the domain's name). A new row gives
// its key through RETURNING.
class DialettoPostgreSql final : public DialettoSql {
public:
    QStringList preparazioneSchema() const override;
    QString colonnaChiave() const override;
    QString tipo(TipoColonna tipo) const override;
    QStringList contrassegni(int) const override { return {}; }
    QString colonneDellaTabella() const override;
    QString contaTabelle() const override;
    QString esisteTabella() const override;
    QString insertConChiave(const QString& insert) const override;
    QStringList inizioUnita(int attesaBloccoMs) const override;
    QString nome(const QString& nome) const override;
    QString nomePiegato(const QString& nome) const override { return nome.toLower(); }
    QString letteraleData(const JetDateLiteral& data) const override;
    QString valoreData(const JetDateLiteral& data) const override;
    // Text columns compare without case through a collation LIKE does not take on the
    // server: the comparison is made under "C", ignoring case as ILIKE.
    QString like() const override { return QStringLiteral("ILIKE"); }
    QString primaDiLike() const override { return QStringLiteral("COLLATE \"C\" "); }
    QString nomeColonna(const QString& nomeMotore) const override;
    QString tutteLeColonne() const override;
    QString soggetto(const QString& nome) const override;
};

} // namespace KaloRefill
