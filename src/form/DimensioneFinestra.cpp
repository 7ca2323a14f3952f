#include "DimensioneFinestra.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

namespace KaloRefill::DimensioneFinestra {

bool schermoIntero() {
    // The workstation's own file, then the one an administrator set for every account of
    // the cash desk (the program's configuration files).
    const QString relativo = QStringLiteral("kalorefill/kalorefill.conf");
    QStringList file{QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                         .filePath(relativo)};
    QString sistema = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (sistema.isEmpty())
        sistema = QStringLiteral("/etc/xdg");
    for (const QString& cartella : sistema.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        file.append(QDir(cartella).filePath(relativo));
    const QString chiave = QStringLiteral("Finestre/SchermoIntero");
    for (const QString& percorso : file) {
        const QSettings impostazioni(percorso, QSettings::IniFormat);
        if (impostazioni.contains(chiave))
            return impostazioni.value(chiave).toBool();
    }
    return false;
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
