// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace KaloRefill {

// A set of rows handed out by the host, with the members the module and the search
// component use. Failures are thrown as KaloRefill::Errore.
//
// Opening positions the set on its first row. Field names are matched without regard
// to case. Values come back as QVariant: null for an empty field, QDate for dates,
// QDateTime for moments, QTime for times of day, double (already rounded to four
// decimals) or KaloRefill::Valuta for amounts, qint64 for whole numbers, QString for text.
class Recordset {
public:
    virtual ~Recordset() = default;

    // The true number of rows (after the filter, when one is set).
    virtual int RecordCount() = 0;
    // Before the first row / past the last row. ("EOF" is a C macro.)
    virtual bool Bof() = 0;
    virtual bool Eof() = 0;

    // Moving past either end is Errore 3021, as with the original recordsets.
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;
    virtual void MovePrevious() = 0;

    // Field of the current row: Errore 3265 for an unknown name, 3021 with no current row.
    virtual QVariant Field(const QString& nome) = 0;
    // Writes into the current row's edit buffer, converting to the column's type:
    // Errore 13 when the value does not convert (nothing is written).
    virtual void SetField(const QString& nome, const QVariant& valore) = 0;

    // Starts a new row that becomes the current row; Update stores it.
    virtual void AddNew() = 0;
    // Stores the new row or the changes made to the current row.
    virtual void Update() = 0;

    // "field = value": only matching rows are in the set, the first one current.
    // The empty text shows every row again.
    virtual void SetFilter(const QString& condizione) = 0;

    // Column names in result order, as the statement gave them.
    virtual QStringList FieldNames() = 0;

    // For long lists, members a set may lack: then they answer nothing and the caller
    // walks the set instead.

    // The statement the set was opened with, as the caller wrote it.
    virtual QString Source() { return {}; }
    // Up to `quante` rows from row `prima` (0 is the first), in the set's order and under
    // its filter, each with the values Field gives, in FieldNames' order. Reads only
    // those rows and leaves the current row where it is.
    virtual std::optional<QList<QVariantList>> LeggiRighe(qint64 /*prima*/, int /*quante*/) {
        return std::nullopt;
    }
    // In one query: the number of rows, then the sum of each field named (null when no
    // row has a value), values as Field gives them.
    virtual std::optional<QVariantList> Riepilogo(const QStringList& /*campiDaSommare*/) {
        return std::nullopt;
    }
};

using RecordsetPtr = std::shared_ptr<Recordset>;

} // namespace KaloRefill
