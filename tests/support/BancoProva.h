// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DatabaseHost.h"

#include <QDate>
#include <QList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

// A real, temporary KaloRefill database with the rows a test needs, written through the
// embedded host itself, on the engine the test run chose (MotoreProva).
class BancoProva {
public:
    explicit BancoProva(const QDate& dataLavoro = QDate(2026, 12, 4));

    std::shared_ptr<KaloRefill::DatabaseHost> host() const { return m_host; }
    QString percorsoFile() const { return m_host->percorsoFile(); }

    void aggiungiLocale(const QString& codLocale);
    void aggiungiAssociazioneConti(const QString& cassaSala = QStringLiteral("C.01.001"),
                                   const QString& cassaRefill = QStringLiteral("C.01.010"));
    // Machine number i (from 1) has idscheda 1000 + i, codiceinterno "C<i>", Nomescheda
    // "Slot <i>", nomemobile "Mobile <i>", codiceaams "AAMS<i>", ordineincasso i.
    void aggiungiApparecchi(int quanti, int tipologia = 6, int attiva = -1, int primo = 1);
    qint64 aggiungiTestata(const QDate& data, const QString& codLocale, bool chiuso = false,
                           const QString& causale = QStringLiteral("REF"));
    void aggiungiRiga(qint64 idTesta, int idScheda, const QVariant& importo, const QDate& dataIncasso,
                      const QString& codLocale = QStringLiteral("SG01"));

    // Every row of a query, field names in lower case.
    QList<QVariantMap> righe(const QString& sql) const;
    int conta(const QString& sql) const;

    // The usual hall: venue SG01, account associations and n refill machines.
    static std::unique_ptr<BancoProva> salaPronta(int apparecchi, const QDate& dataLavoro = QDate(2026, 12, 4));

private:
    void scrivi(const QString& tabella, const QVariantMap& campi) const;

    QTemporaryDir m_cartella;
    std::shared_ptr<KaloRefill::DatabaseHost> m_host;
};
