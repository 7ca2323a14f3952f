// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/DimensioneFinestra.h"

#include "entry/FileConfigurazione.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace KaloRefill::DimensioneFinestra {

namespace {

// Qt silently takes a window out of full screen when its layout raises the minimum size
// past the window's size while showing it (it keeps only a maximised state); on a cash desk
// set so the window goes back.
class RestaSchermoIntero final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        auto* finestra = qobject_cast<QWidget*>(oggetto);
        const QEvent::Type tipo = evento->type();
        if (finestra &&
            (tipo == QEvent::Show || tipo == QEvent::Resize ||
             tipo == QEvent::WindowStateChange) &&
            !(finestra->windowState() & (Qt::WindowFullScreen | Qt::WindowMinimized)))
            QMetaObject::invokeMethod(
                finestra,
                [finestra] {
                    finestra->setWindowState(finestra->windowState() | Qt::WindowFullScreen);
                },
                Qt::QueuedConnection);
        return false;
    }
};

} // namespace

bool schermoIntero() {
    return FileConfigurazione::leggi(QStringLiteral("Finestre/SchermoIntero")).value_or(false).toBool();
}

void adatta(QWidget* finestra, QSize naturale) {
    const QWidget* sopra = finestra->parentWidget() ? finestra->parentWidget()->window() : nullptr;
    const QScreen* schermo = sopra ? sopra->screen() : QGuiApplication::primaryScreen();
    if (!schermo) {
        finestra->resize(naturale);
        return;
    }
    const QRect area = schermo->availableGeometry();
    // A minimum above the screen would push the window's edge off it.
    finestra->setMinimumSize(finestra->minimumSize().boundedTo(area.size()));
    if (schermoIntero()) {
        finestra->setGeometry(schermo->geometry());
        finestra->setWindowState(finestra->windowState() | Qt::WindowFullScreen);
        const QString nome = QStringLiteral("RestaSchermoIntero");
        if (!finestra->findChild<QObject*>(nome, Qt::FindDirectChildrenOnly)) {
            auto* filtro = new RestaSchermoIntero(finestra);
            filtro->setObjectName(nome);
            finestra->installEventFilter(filtro);
        }
        return;
    }
    if (naturale.width() > area.width() || naturale.height() > area.height()) {
        // Without a window manager (kiosk sessions, Xvfb) nobody else would size it.
        finestra->setGeometry(area);
        finestra->setWindowState(finestra->windowState() | Qt::WindowMaximized);
        return;
    }
    finestra->resize(naturale);
    finestra->move(area.x() + (area.width() - naturale.width()) / 2,
                   area.y() + (area.height() - naturale.height()) / 2);
}

} // namespace KaloRefill::DimensioneFinestra
