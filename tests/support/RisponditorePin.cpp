// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "RisponditorePin.h"

#include "controlli/DlgPin.h"
#include "controlli/Operatori.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace KaloRefill;

RisponditorePin::RisponditorePin() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &RisponditorePin::controlla);
    m_timer.start();
}

void RisponditorePin::rispondi(std::initializer_list<Risposta> risposte) {
    m_risposte.insert(m_risposte.end(), risposte.begin(), risposte.end());
}

void RisponditorePin::controlla() {
    auto* pad = qobject_cast<DlgPin*>(QApplication::activeModalWidget());
    if (!pad || !pad->isVisible() || pad->property("inRisposta").toBool())
        return;
    pad->setProperty("inRisposta", true);
    m_pad << pad->windowTitle();
    m_richieste << pad->findChild<QLabel*>(QStringLiteral("LabRichiesta"))->text();
    const auto premi = [pad](const QString& nome) {
        if (auto* p = pad->findChild<QPushButton*>(nome))
            p->click();
    };
    if (m_risposte.empty()) {
        QTimer::singleShot(0, pad, &QDialog::reject);
        return;
    }
    const Risposta r = m_risposte.front();
    m_risposte.pop_front();
    QTimer::singleShot(0, pad, [this, pad, r, premi] {
        // Seen in the moment between two pads of one step: the answer is the next pad's.
        if (QApplication::activeModalWidget() != pad) {
            m_risposte.push_front(r);
            m_pad.removeLast();
            m_richieste.removeLast();
            pad->setProperty("inRisposta", false);
            return;
        }
        // An answer naming a button of the pad ("CmdGestionePin", "CmdAnnullaPin") presses it.
        if (r.operatore.startsWith(QLatin1String("Cmd"))) {
            pad->setProperty("inRisposta", false);
            premi(r.operatore);
            return;
        }
        premi(QStringLiteral("CmdOperatore_") + r.operatore);
        if (r.motivo >= 0)
            premi(QStringLiteral("OptMotivo_%1").arg(r.motivo));
        if (!r.altro.isEmpty())
            pad->findChild<QLineEdit*>(QStringLiteral("TxtAltroMotivo"))->setText(r.altro);
        for (const QChar c : r.pin)
            premi(QStringLiteral("CmdPin_") + c);
        // A refused PIN leaves the pad open for the next answer.
        pad->setProperty("inRisposta", false);
        premi(QStringLiteral("CmdConferma"));
    });
}

void attivaControlli(HostApplication& host, int sogliaTestimone) {
    host.salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Controlli"), 1);
    host.salvasettaggio(QStringLiteral("Refill"), QStringLiteral("SogliaTestimone"),
                        qint16(sogliaTestimone));
    const RecordsetPtr rs = host.openrecordset(QStringLiteral("select * from operatori"));
    // Code, name, surname and role; the PIN is the code's last digit four times.
    const QStringList operatori{QStringLiteral("OP01 Anna Neri responsabile"),
                                QStringLiteral("OP02 Bruno Verdi operatore"),
                                QStringLiteral("OP03 Carla Bianchi operatore")};
    for (const QString& o : operatori) {
        rs->AddNew();
        for (int i = 0; i < 4; ++i)
            rs->SetField(QStringLiteral("codice nome cognome ruolo").section(u' ', i, i),
                         o.section(u' ', i, i));
        rs->SetField(QStringLiteral("attivo"), -1);
        rs->Update();
    }
    Operatori elenco(host);
    for (const QString& o : operatori)
        elenco.impostaPin(o.left(4), QString(4, o.at(3)));
}
