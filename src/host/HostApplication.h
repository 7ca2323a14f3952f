// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Recordset.h"
#include "host/UnitaDiLavoro.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <memory>

namespace KaloRefill {

// The host application object: the module's only way to the database, the stored
// settings, the working date and the operator. Members keep the host's own names.
// Failures are thrown as KaloRefill::Errore.
class HostApplication {
public:
    virtual ~HostApplication() = default;

    // A recordset over the main database, positioned on its first row.
    virtual RecordsetPtr openrecordset(const QString& sql) = 0;
    // A recordset over the preferences store (views of the lists).
    virtual RecordsetPtr OpenRecordSetPreferenze(const QString& sql) = 0;
    // Runs a statement; it has run when the call returns.
    virtual void Execute(const QString& sql) = 0;

    // A stored setting, or the default when none is stored.
    virtual qint16 leggisettaggio(const QString& sezione, const QString& chiave,
                                  qint16 predefinito) = 0;
    virtual void salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) = 0;

    // The working date.
    virtual QDate Data() = 0;
    // The operator at work, stored unchanged wherever the module records who did it.
    virtual QVariant User() = 0;
    // A folder of the host, ending in a path separator.
    virtual QString Percorso() = 0;

    // Optional: opens a unit of work (one save) that holds the storage's write lock until
    // it is confirmed or let go, so saves of several workstations never interleave.
    // Errore UnitaNonRiuscita when it cannot start. A host without units returns null and
    // its calls stand alone, as they always have.
    virtual std::unique_ptr<UnitaDiLavoro> IniziaUnita() { return {}; }
};

using HostApplicationPtr = std::shared_ptr<HostApplication>;

} // namespace KaloRefill
