// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Recordset.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace KaloRefill {

// A button the caller added under the list (AzioniRicerca).
struct AzioneRicerca {
    QString nomeOggetto;
    QString testo;
    QString campo;
    std::function<void(const QVariant&)> azione;
};

// Everything the caller set on the component before asking for the list.
struct ImpostazioniRicerca {
    QVariant user;
    QString modulo;
    QString caption;
    RecordsetPtr recordset;
    RecordsetPtr operatori;
    RecordsetPtr viste;
    QString campoRicerca;
    QString percorsoPers;
    QString percorso;
    // 0 hides a bar; any other value shows it.
    qint16 statusBar = 1;
    qint16 toolbar = 1;
    qint16 filterBar = 1;
    // 2 opens the list maximised, any other value at its normal size.
    qint16 windowsState = 1;
    QList<AzioneRicerca> azioni;
};

} // namespace KaloRefill
