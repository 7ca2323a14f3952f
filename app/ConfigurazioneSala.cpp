// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConfigurazioneSala.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace KaloRefill {

namespace {

const QString fileRelativo = QStringLiteral("kalorefill/kalorefill.conf");
const QString chiaveDatabase = QStringLiteral("Sala/Database");
const QString chiaveCartellaCopie = QStringLiteral("Copie/Cartella");
const QString chiaveCopie = QStringLiteral("Copie/DaTenere");

} // namespace

QString ConfigurazioneSala::fileUtente() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(fileRelativo);
}

QStringList ConfigurazioneSala::fileSistema() {
    QString cartelle = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (cartelle.isEmpty())
        cartelle = QStringLiteral("/etc/xdg");
    QStringList file;
    for (const QString& cartella : cartelle.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        file.append(QDir(cartella).filePath(fileRelativo));
    return file;
}

QString ConfigurazioneSala::leggi(const QString& chiave, const QString& predefinito) {
    for (const QString& percorso : QStringList{fileUtente()} + fileSistema()) {
        const QSettings file(percorso, QSettings::IniFormat);
        if (file.contains(chiave))
            return file.value(chiave).toString();
    }
    return predefinito;
}

void ConfigurazioneSala::scrivi(const QString& chiave, const QString& valore) {
    QSettings file(fileUtente(), QSettings::IniFormat);
    file.setValue(chiave, valore);
    file.sync();
}

QString ConfigurazioneSala::database() {
    return leggi(chiaveDatabase).trimmed();
}

void ConfigurazioneSala::setDatabase(const QString& database) {
    scrivi(chiaveDatabase, database);
}

QString ConfigurazioneSala::cartellaCopie() {
    return leggi(chiaveCartellaCopie,
                 QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                     .filePath(QStringLiteral("copie")));
}

int ConfigurazioneSala::copieDaTenere() {
    bool numero = false;
    const int quante = leggi(chiaveCopie).toInt(&numero);
    return numero && quante > 0 ? quante : copiePredefinite;
}

void ConfigurazioneSala::setCopie(const QString& cartella, int quante) {
    scrivi(chiaveCartellaCopie, cartella);
    scrivi(chiaveCopie, QString::number(quante));
}

} // namespace KaloRefill
