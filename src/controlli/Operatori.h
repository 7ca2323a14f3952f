// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"
#include "kalorefill_export.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace KaloRefill {

struct KALOREFILL_EXPORT OperatoreRefill {
    QString codice;
    QString nome;
    QString cognome;
    QString ruolo;
    bool haPin = false;
    bool responsabile() const { return ruolo.compare(QLatin1String("responsabile"), Qt::CaseInsensitive) == 0; }
    // "Mario Rossi (OP01)", or the code alone.
    QString nomeCompleto() const;
};

// The hall's operators and their PINs: who may sign a save, who is locked out. Five wrong
// PINs in a row lock that operator for five minutes, and the lock is written in the
// operations log.
class KALOREFILL_EXPORT Operatori {
public:
    static constexpr int TentativiMassimi = 5;
    static constexpr int MinutiBlocco = 5;

    enum class Esito { Accettato, PinErrato, Bloccato, SenzaPin, Sconosciuto };
    struct Risposta {
        Esito esito = Esito::Sconosciuto;
        OperatoreRefill operatore;
        // Why it was refused, in the operator's words; empty when accepted.
        QString messaggio;
    };

    explicit Operatori(HostApplication& host) : m_host(host) {}

    // The active operators, by code.
    QList<OperatoreRefill> elenco();
    Risposta verifica(const QString& codice, const QString& pin, const QDateTime& adesso);
    // A new PIN (hashed), the count of wrong PINs and any lock cleared. When a responsabile
    // sets it, the operations log says who set whose.
    void impostaPin(const QString& codice, const QString& pin, const QString& responsabile = {});

private:
    RecordsetPtr riga(const QString& codice);
    void scriviLog(const QString& operatore, const QString& operazione, const QString& descrizione,
                   const QDateTime& adesso);

    HostApplication& m_host;
};

} // namespace KaloRefill
