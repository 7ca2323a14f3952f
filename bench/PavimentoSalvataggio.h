// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ConnessioneDiretta.h"
#include "IstruzioneDiretta.h"

#include <QDate>
#include <QString>

#include <memory>

// The floor of a save: the statements that one save of the form runs, in the same order
// and over the same rows, written once as prepared statements on the engine's C interface
// and run on a copy of the same file. What a save costs above this is the host's.
class PavimentoSalvataggio final {
public:
    enum class Modo {
        // BEGIN IMMEDIATE before the first statement, COMMIT after the last.
        UnaTransazione,
        // Every statement commits by itself.
        OgniIstruzione
    };

    PavimentoSalvataggio(const QString& percorsoFile, const QString& codLocale,
                         const QString& operatore);

    // One machine's amount saved on a date: header found or made, log row, machine row
    // found or made, document total, day total into the header, the two accounting
    // entries, the day total shown.
    void salva(const QDate& data, int idScheda, const QString& importoTesto, Modo modo);

private:
    void totaleGiorno(const QByteArray& data);

    ConnessioneDiretta m_db;
    QByteArray m_codLocale;
    QByteArray m_operatore;
    IstruzioneDiretta m_apparecchio;
    IstruzioneDiretta m_testa;
    IstruzioneDiretta m_nuovaTesta;
    IstruzioneDiretta m_aggiornaTesta;
    IstruzioneDiretta m_riga;
    IstruzioneDiretta m_log;
    IstruzioneDiretta m_nuovaRiga;
    IstruzioneDiretta m_aggiornaRiga;
    IstruzioneDiretta m_totaleDocumento;
    IstruzioneDiretta m_totaleGiorno;
    IstruzioneDiretta m_totaleInTesta;
    IstruzioneDiretta m_cancellaMovimenti;
    IstruzioneDiretta m_movimento;
};
