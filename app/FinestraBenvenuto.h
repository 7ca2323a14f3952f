// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DatabaseHost.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace KaloRefill {

// The first start of a cash desk: where the hall's data live. Three choices: a new
// database file in a folder the user picks, a database on a PostgreSQL server (tried
// before it is kept), or the demo hall. The choice goes in the user's configuration;
// "Anagrafiche" then fills a new hall, "Apri la Gestione Refill" goes on to the form.
class FinestraBenvenuto final : public QDialog {
    Q_OBJECT
public:
    FinestraBenvenuto(const OpzioniHost& opzioni, const QString& percorsoDemo,
                      QWidget* genitore = nullptr);

    // The database chosen; empty while none is.
    QString scelta() const { return m_scelta; }
    // The new hall's database file in a folder.
    static QString fileSala(const QString& cartella);

private:
    void creaDatabase();
    void collegaServer();
    void scegli(const QString& database, const QString& esito);
    void apriAnagrafiche();

    OpzioniHost m_opzioni;
    QString m_percorsoDemo;
    QString m_scelta;
    QLineEdit* m_cartella;
    QLineEdit* m_server;
    QLabel* m_esito;
    QPushButton* m_anagrafiche;
    QPushButton* m_apri;
};

} // namespace KaloRefill
