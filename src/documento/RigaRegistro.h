// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Valuta.h"
#include "kalorefill_export.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

namespace KaloRefill {

// One row of the refill register (`RegistroRefill`): one save of one machine, numbered
// in the hall's sequence of the year and chained to the hall's row before it.
struct KALOREFILL_EXPORT RigaRegistro {
    QString codLocale;
    int anno = 0;
    qint64 numero = 0;
    // The moment of the save, to the second, and the business day the refill is booked on.
    QDateTime dataOra;
    QDate giornata;
    qint64 idScheda = 0;
    QString codiceInterno;
    QString nomeScheda;
    QString codiceAams;
    // The machine's amount of the day before and after the save, and the difference.
    Valuta prima;
    Valuta dopo;
    Valuta differenza;
    QString operatore;
    QString testimone;
    QString motivo;
    // The row this one corrects (a decrease), or 0 for none.
    int annoCorretto = 0;
    qint64 numeroCorretto = 0;
    // SHA-256, lower-case hex, of testoCanonico(impronta of the hall's previous row).
    QString impronta;

    // The text the chain hashes, one "name=value" line per field in a fixed order, UTF-8:
    //   KaloRefill RegistroRefill 1
    //   precedente=<previous row's impronta, empty for the hall's first row>
    //   codlocale, anno, numero, dataora (yyyy-MM-ddTHH:mm:ss), giornata (yyyy-MM-dd),
    //   idscheda, codiceinterno, nomescheda, codiceaams,
    //   prima, dopo, differenza (ten-thousandths of a euro, as whole numbers),
    //   operatore, testimone, motivo, annocorretto, numerocorretto
    // A backslash in a value is written "\\", a carriage return "\r" and a line feed "\n",
    // so no value can forge a line of its own.
    QByteArray testoCanonico(const QString& precedente) const;
    // The hash of this row after `precedente`.
    QString calcolaImpronta(const QString& precedente) const;

    // "N. 12/2026", as slips and messages name a row.
    static QString nome(int anno, qint64 numero);
    QString nome() const { return nome(anno, numero); }
};

} // namespace KaloRefill
