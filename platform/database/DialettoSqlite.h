// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DialettoSql.h"

namespace KaloRefill {

// The embedded file: declared types kept as written (the catalogue reads them back),
// NOCASE text, the application id and user_version in the file header.
class DialettoSqlite final : public DialettoSql {
public:
    QStringList preparazioneSchema() const override { return {}; }
    QString colonnaChiave() const override;
    QString tipo(TipoColonna tipo) const override;
    QStringList contrassegni(int versione) const override;
    QString colonneDellaTabella() const override;
    QString contaTabelle() const override;
    QString esisteTabella() const override;
    QString insertConChiave(const QString&) const override { return {}; }
    // The wait is the connection's busy timeout.
    QStringList inizioUnita(int) const override { return {QStringLiteral("BEGIN IMMEDIATE")}; }
    QString nome(const QString& nome) const override;
    QString nomePiegato(const QString& nome) const override { return nome; }
    QString letteraleData(const JetDateLiteral& data) const override;
    QString valoreData(const JetDateLiteral& data) const override;
    QString like() const override { return QStringLiteral("LIKE"); }
    QString primaDiLike() const override { return {}; }
    QString nomeColonna(const QString& nomeMotore) const override { return nomeMotore; }
    QString tutteLeColonne() const override;
    QString soggetto(const QString& nome) const override;
};

} // namespace KaloRefill
