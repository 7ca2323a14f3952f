// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"

#include <QDate>
#include <QList>
#include <QString>

namespace KaloRefill {

// Finds and mends refill documents that a crash or an older program left inconsistent: a
// header whose day total is not the sum of its machine rows, accounting entries that are
// not the balanced pair a save writes, a date with more than one refill header, a machine
// with more than one row in a header, or rows and entries whose header is gone. It
// works through the host contract only, so it runs on every engine the host offers, and
// mends each date as one unit of work.
class VerificaRefill {
public:
    struct Problema {
        QDate data;
        qint64 idTesta = 0;
        QString descrizione;
    };

    // An invalid date leaves that end of the period open.
    VerificaRefill(HostApplication& host, const QDate& dal, const QDate& al);

    // Every inconsistency of the period, by date and header.
    QList<Problema> verifica();
    // Mends every date of the period that has a problem, one unit of work a date, and
    // writes one LogOperazioni row per mended document. Gives what it mended; Errore
    // when a date cannot be mended (the dates mended before it stay mended).
    QList<Problema> ripara();

    // The problems as a table for a terminal.
    static QString tabella(const QList<Problema>& problemi);

private:
    struct Movimento;
    struct Documento;
    struct Orfana;

    QList<Documento> leggiDocumenti(const QDate& dal, const QDate& al);
    // Machine rows (righe) or entries (!righe) of the period whose header does not exist.
    QList<Orfana> leggiOrfane(const QDate& dal, const QDate& al, bool righe);
    QList<Problema> problemiDi(const QList<Documento>& documenti);
    void riparaData(const QDate& data, const QList<Problema>& problemi);
    void unisciDuplicati(qint64 primaria, qint64 duplicata);
    void unaRigaPerApparecchio(qint64 idTesta);
    void riscriviDocumento(qint64 idTesta, const QDate& data, const QString& note);
    void scriviLog(const QVariant& importo, const QString& descrizione, const QString& note);

    HostApplication& m_host;
    QDate m_dal;
    QDate m_al;
};

} // namespace KaloRefill
