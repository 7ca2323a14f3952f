// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// The saves a child program makes, the same sequence in the child and in the test that
// checks what the file holds after the child is killed: save i opens machine button
// `pulsante(i)` on `data(i)` and saves `importo(i)`.
struct PianoSalvataggi {
    QDate primaData;
    int primo = 0;  // first machine button
    int passo = 1;  // buttons between one save and the next
    int perGiorno = 0; // saves before the date moves on; 0: always the first date
    int seme = 1;

    int pulsante(int i) const { return (primo + i * passo) % 16; }
    QDate data(int i) const { return perGiorno > 0 ? primaData.addDays(i / perGiorno) : primaData; }
    // Cents as the keypad types them, from 1,00 to 999,99: "123,45".
    qint64 centesimi(int i) const { return 100 + (seme * 7919LL + i * 104729LL) % 99900; }
    QString importo(int i) const {
        const qint64 c = centesimi(i);
        return QStringLiteral("%1,%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0'));
    }
};
