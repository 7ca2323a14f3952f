// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "entry/FileConfigurazione.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace KaloRefill::FileConfigurazione {

namespace {
const QString relativo = QStringLiteral("kalorefill/kalorefill.conf");
} // namespace

QString utente() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(relativo);
}

QStringList sistema() {
    QString cartelle = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (cartelle.isEmpty())
        cartelle = QStringLiteral("/etc/xdg");
    QStringList file;
    for (const QString& cartella : cartelle.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        file.append(QDir(cartella).filePath(relativo));
    return file;
}

std::optional<QVariant> leggi(const QString& chiave) {
    for (const QString& percorso : QStringList{utente()} + sistema()) {
        const QSettings file(percorso, QSettings::IniFormat);
        if (file.contains(chiave))
            return file.value(chiave);
    }
    return std::nullopt;
}

} // namespace KaloRefill::FileConfigurazione
