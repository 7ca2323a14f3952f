// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"

namespace KaloRefill {

// The host as the form sees it once an operator has typed his PIN: everything is the
// host's own, except that the operator recorded on every save is the one who signed in.
class HostOperatore final : public HostApplication {
public:
    HostOperatore(HostApplicationPtr host, QString operatore)
        : m_tenuto(std::move(host)), m_host(*m_tenuto), m_operatore(std::move(operatore)) {}

    RecordsetPtr openrecordset(const QString& sql) override { return m_host.openrecordset(sql); }
    RecordsetPtr OpenRecordSetPreferenze(const QString& sql) override { return m_host.OpenRecordSetPreferenze(sql); }
    void Execute(const QString& sql) override { m_host.Execute(sql); }
    qint16 leggisettaggio(const QString& s, const QString& c, qint16 p) override { return m_host.leggisettaggio(s, c, p); }
    void salvasettaggio(const QString& s, const QString& c, qint16 v) override { m_host.salvasettaggio(s, c, v); }
    QDate Data() override { return m_host.Data(); }
    QVariant User() override { return m_operatore; }
    QString Percorso() override { return m_host.Percorso(); }
    std::unique_ptr<UnitaDiLavoro> IniziaUnita() override { return m_host.IniziaUnita(); }

    void setOperatore(const QString& operatore) { m_operatore = operatore; }

private:
    HostApplicationPtr m_tenuto;
    HostApplication& m_host;
    QString m_operatore;
};

} // namespace KaloRefill
