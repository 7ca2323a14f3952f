// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

// Answers the message boxes a test provokes: watches for the active modal QMessageBox,
// records what it says and presses the button the test asked for (the default button
// when the test asked nothing, so an unexpected box never hangs a test).
class RisponditoreBox : public QObject {
    Q_OBJECT
public:
    enum class Risposta { Si, No, Ok, Predefinita };

    struct Box {
        QString testo;
        QString titolo;
        QMessageBox::Icon icona = QMessageBox::NoIcon;
        QStringList pulsanti;
        QString predefinito;
    };

    RisponditoreBox();

    // The answers for the next boxes, in order.
    void rispondi(std::initializer_list<Risposta> risposte);

    const QList<Box>& boxes() const { return m_boxes; }
    QStringList testi() const;
    void azzera();

private:
    void controlla();

    QTimer m_timer;
    std::deque<Risposta> m_risposte;
    QList<Box> m_boxes;
};
