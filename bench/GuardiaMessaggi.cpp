// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "GuardiaMessaggi.h"

#include <QApplication>
#include <QMessageBox>

GuardiaMessaggi::GuardiaMessaggi(QObject* parent) : QObject(parent) {
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, &GuardiaMessaggi::controlla);
    m_timer.start();
}

void GuardiaMessaggi::controlla() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    m_testi.append(box->text());
    box->done(QMessageBox::No);
}
