// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "HostApplication.h"

#include <QStringList>

#include <functional>
#include <memory>

// Stands in front of a real host: records every SQL text and call, and can make the n-th
// call (host or recordset call, counted from 1 after armaFallimento) fail with an Errore,
// to show what the form does when the database refuses something.
class HostRegistrato final : public KaloRefill::HostApplication {
public:
    explicit HostRegistrato(KaloRefill::HostApplicationPtr reale);

    KaloRefill::RecordsetPtr openrecordset(const QString& sql) override;
    KaloRefill::RecordsetPtr OpenRecordSetPreferenze(const QString& sql) override;
    void Execute(const QString& sql) override;
    qint16 leggisettaggio(const QString& sezione, const QString& chiave, qint16 predefinito) override;
    void salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) override;
    QDate Data() override;
    QVariant User() override;
    QString Percorso() override;

    // SQL texts in the order they were sent (openrecordset, preferences and Execute).
    QStringList sql;
    // Every call, host and recordset alike ("openrecordset", "SetField iddata", ...).
    QStringList chiamate;

    // The n-th call from now fails (0 turns it off); returns nothing to keep it simple.
    void armaFallimento(int n);
    // The same, failing as a storage that has lost the save's unit of work would; the
    // real host's units are then handed on, so the save runs as one.
    void armaPerditaUnita(int n);
    std::unique_ptr<KaloRefill::UnitaDiLavoro> IniziaUnita() override;
    int chiamateDaArmo() const { return m_contatore; }

    // Told each call's name as it is counted, before the call goes on.
    std::function<void(const QString&)> allaChiamata;

    // Counts a call and throws when it is the armed one. Used by the recordsets too.
    void conta(const QString& chiamata);

private:
    // The host behind, once the call is counted.
    const KaloRefill::HostApplicationPtr& reale(const QString& chiamata);

    KaloRefill::HostApplicationPtr m_reale;
    int m_fallisciAl = 0;
    bool m_perditaUnita = false;
    int m_contatore = 0;
};
