// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"

#include <QElapsedTimer>
#include <QMap>
#include <QString>

#include <memory>

// Stands in front of a host and adds up the time spent in each kind of call (the SQL text
// up to its first value, or the recordset member and the text of its set), to find which
// step of an operation grows with the history.
class HostCronometrato final : public KaloRefill::HostApplication {
public:
    explicit HostCronometrato(KaloRefill::HostApplicationPtr reale) : m_reale(std::move(reale)) {}

    KaloRefill::RecordsetPtr openrecordset(const QString& sql) override;
    KaloRefill::RecordsetPtr OpenRecordSetPreferenze(const QString& sql) override;
    void Execute(const QString& sql) override;
    qint16 leggisettaggio(const QString& s, const QString& k, qint16 d) override { return m_reale->leggisettaggio(s, k, d); }
    void salvasettaggio(const QString& s, const QString& k, qint16 v) override { m_reale->salvasettaggio(s, k, v); }
    QDate Data() override { return m_reale->Data(); }
    QVariant User() override { return m_reale->User(); }
    QString Percorso() override { return m_reale->Percorso(); }
    // The save keeps its unit of work (its lock and its one transaction) when timed.
    std::unique_ptr<KaloRefill::UnitaDiLavoro> IniziaUnita() override { return m_reale->IniziaUnita(); }

    // Milliseconds by kind of call, since the last azzera().
    QMap<QString, double> tempi;
    void azzera() { tempi.clear(); }
    void aggiungi(const QString& voce, qint64 nanosecondi) { tempi[voce] += static_cast<double>(nanosecondi) / 1e6; }

    // The SQL text without its values, so that calls of one kind add up together.
    static QString tipo(const QString& sql);

private:
    KaloRefill::HostApplicationPtr m_reale;
};
