// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "documento/RigaRegistro.h"
#include "host/HostApplication.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

class QPagedPaintDevice;

namespace KaloRefill {

// "Registro buoni": every slip number of a period with its state, the numbers missing
// (there must be none), the totals per operator and per witness and the corrections with
// their reasons; as a table for the window, CSV, and a printed or PDF report with title,
// period, moment of printing and the program's version. It only reads.
class RegistroBuoni {
public:
    struct Voce {
        RigaRegistro riga;
        // "valido", "corretto" (a later row corrects it) or "correzione".
        QString stato;
    };
    struct Lacuna {
        QString codLocale;
        int anno = 0;
        qint64 da = 0;
        qint64 a = 0;
    };
    struct Totale {
        int buoni = 0;
        Valuta importo;
    };

    RegistroBuoni(HostApplication& host, const QDate& dal, const QDate& al);

    const QDate& dal() const { return m_dal; }
    const QDate& al() const { return m_al; }
    const QList<Voce>& voci() const { return m_voci; }
    const QList<Lacuna>& lacune() const { return m_lacune; }
    const QMap<QString, Totale>& perOperatore() const { return m_perOperatore; }
    const QMap<QString, Totale>& perTestimone() const { return m_perTestimone; }

    // ";" between fields and a decimal comma, as Italian spreadsheets read it.
    QString csv(const QDateTime& stampato) const;
    // The report as HTML, laid out on pages by Qt.
    QString html(const QDateTime& stampato) const;
    void stampa(QPagedPaintDevice& dispositivo, const QDateTime& stampato) const;

    static QString titolo() { return QStringLiteral("Registro buoni"); }

private:
    QString periodo() const;
    QString intestazione(const QDateTime& stampato) const;

    QDate m_dal;
    QDate m_al;
    QList<Voce> m_voci;
    QList<Lacuna> m_lacune;
    QMap<QString, Totale> m_perOperatore;
    QMap<QString, Totale> m_perTestimone;
};

} // namespace KaloRefill
