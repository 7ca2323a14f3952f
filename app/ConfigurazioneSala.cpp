// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConfigurazioneSala.h"

#include "entry/FileConfigurazione.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace KaloRefill {

namespace {

const QString chiaveDatabase = QStringLiteral("Sala/Database");
const QString chiaveCartellaCopie = QStringLiteral("Copie/Cartella");
const QString chiaveCopie = QStringLiteral("Copie/DaTenere");

} // namespace

QString ConfigurazioneSala::fileUtente() {
    return FileConfigurazione::utente();
}

QStringList ConfigurazioneSala::fileSistema() {
    return FileConfigurazione::sistema();
}

QString ConfigurazioneSala::leggi(const QString& chiave, const QString& predefinito) {
    const std::optional<QVariant> valore = FileConfigurazione::leggi(chiave);
    return valore ? valore->toString() : predefinito;
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
