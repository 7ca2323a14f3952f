// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace KaloRefill {

// The hall's choices kept on this computer, in QSettings INI files: the user's own
// ($XDG_CONFIG_HOME/kalorefill/kalorefill.conf) and, for what the user's file leaves out,
// the system-wide one an administrator writes for every account of a cash desk
// (kalorefill/kalorefill.conf in each folder of $XDG_CONFIG_DIRS, /etc/xdg by default).
class ConfigurazioneSala final {
public:
    static constexpr int copiePredefinite = 14;

    // The files in the order they are read: the user's first.
    static QString fileUtente();
    static QStringList fileSistema();

    // The hall's database (a file or a postgresql:// address); empty: not chosen yet.
    static QString database();
    static void setDatabase(const QString& database);
    // Where the automatic daily backups go and how many are kept; an empty folder turns
    // them off. By default a folder under the user's data folder.
    static QString cartellaCopie();
    static int copieDaTenere();
    static void setCopie(const QString& cartella, int quante);

private:
    static QString leggi(const QString& chiave, const QString& predefinito = {});
    static void scrivi(const QString& chiave, const QString& valore);
};

} // namespace KaloRefill
