// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DopoPrimoDisegno.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace KaloRefill {

DopoPrimoDisegno::DopoPrimoDisegno(std::function<void()> azione, QObject* parent)
    : QObject(parent), m_azione(std::move(azione)) {}

DopoPrimoDisegno* DopoPrimoDisegno::esegui(std::function<void()> azione) {
    if (!qApp)
        return nullptr;
    auto* attesa = new DopoPrimoDisegno(std::move(azione), qApp);
    qApp->installEventFilter(attesa);
    return attesa;
}

bool DopoPrimoDisegno::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() != QEvent::Paint || !oggetto->isWidgetType() || !m_azione)
        return false;
    qApp->removeEventFilter(this);
    // Queued: the rest of the window is painted and flushed in the same pass, before it.
    QTimer::singleShot(0, this, [this] {
        const std::function<void()> azione = std::move(m_azione);
        deleteLater();
        azione();
    });
    return false;
}

} // namespace KaloRefill
