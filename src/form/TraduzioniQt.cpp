// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/TraduzioniQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace KaloRefill::TraduzioniQt {

bool carica() {
    QCoreApplication* applicazione = QCoreApplication::instance();
    if (!applicazione)
        return false;
    // Kept on the application, so a second caller (the module after the program) finds it.
    if (applicazione->findChild<QTranslator*>(QStringLiteral("traduzioniQt")))
        return true;
    auto* traduzioni = new QTranslator(applicazione);
    traduzioni->setObjectName(QStringLiteral("traduzioniQt"));
    if (!traduzioni->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(traduzioni)) {
        delete traduzioni;
        return false;
    }
    return true;
}

} // namespace KaloRefill::TraduzioniQt
