#include "DimensioneFinestra.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace KaloRefill::DimensioneFinestra {

bool schermoIntero() {
    const QSettings impostazioni(QSettings::IniFormat, QSettings::UserScope,
                                 QStringLiteral("kalorefill"), QStringLiteral("kalorefill"));
    return impostazioni.value(QStringLiteral("Finestre/SchermoIntero"), false).toBool();
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
