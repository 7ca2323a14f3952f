// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "HostApplication.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>

// Answers the PIN pads a test provokes, as a finger would: taps the operator's name, the
// reason of a decrease when one is given, the PIN's digits and "Conferma". A pad with no
// answer left is cancelled, so an unexpected pad never hangs a test. Message boxes are
// RisponditoreBox's.
class RisponditorePin : public QObject {
    Q_OBJECT
public:
    struct Risposta {
        Risposta(QString o = {}, QString p = {}, int m = -1, QString a = {})
            : operatore(std::move(o)), pin(std::move(p)), motivo(m), altro(std::move(a)) {}
        QString operatore;
        QString pin;
        int motivo = -1; // index in DlgPin::motivi(), -1: none tapped
        QString altro;
    };

    RisponditorePin();

    void rispondi(std::initializer_list<Risposta> risposte);
    // The titles of the pads seen, in order.
    const QStringList& pad() const { return m_pad; }
    // Each pad's prompt.
    const QStringList& richieste() const { return m_richieste; }

private:
    void controlla();

    QTimer m_timer;
    std::deque<Risposta> m_risposte;
    QStringList m_pad;
    QStringList m_richieste;
};

// Turns the hall's accountable refills on and gives it three operators with PINs:
// OP01 responsabile "1111", OP02 "2222", OP03 "3333".
void attivaControlli(KaloRefill::HostApplication& host, int sogliaTestimone = 500);
