// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace KaloRefill {

// What the command line asks of the reference host program. Reading it needs no window,
// so a wrong option is told before any screen is touched.
class ArgomentiProgramma {
public:
    enum class Azione {
        Avvia,
        MostraVersione,
        MostraAiuto,
        Errore,
        Verifica,
        Ripara,
        CreaDatabase,
        Configura,
        Anagrafiche,
        ImportaApparecchi,
        Backup,
        Ripristina
    };

    // argomenti[0] is the program name, as QCoreApplication::arguments() gives it.
    static ArgomentiProgramma analizza(const QStringList& argomenti);
    // The text of --help, in Italian; percorsoDemo is where the demo database lives.
    static QString testoAiuto(const QString& percorsoDemo);

    Azione azione() const { return m_azione; }
    // One line, without the program name; empty unless azione() is Errore.
    QString errore() const { return m_errore; }
    // Empty: the demo database.
    QString database() const { return m_database; }
    // Invalid: the host's own default (today).
    QDate data() const { return m_data; }
    // Empty: the host's own default (the login name).
    QString utente() const { return m_utente; }
    bool nonModale() const { return m_nonModale; }
    // --crea-database: where the new database goes (a file or a postgresql:// address);
    // --demo fills it with the demo hall.
    QString creaDatabase() const { return m_creaDatabase; }
    bool demo() const { return m_demo; }
    // The file of --importa-apparecchi, --backup or --ripristina.
    QString file() const { return m_file; }
    // --riepilogo opens "Riepilogo Refill" instead of the form.
    bool riepilogo() const { return m_riepilogo; }
    // --registro opens "Registro buoni" instead of the form.
    bool registro() const { return m_registro; }
    // The period of --verifica and --ripara (DAL AL; invalid: every date) or of
    // --riepilogo (--dal, --al; invalid: the current month up to the working date).
    QDate dal() const { return m_dal; }
    QDate al() const { return m_al; }

private:
    static ArgomentiProgramma errore(const QString& messaggio);

    Azione m_azione = Azione::Avvia;
    QString m_errore;
    QString m_database;
    QDate m_data;
    QString m_utente;
    bool m_nonModale = false;
    QString m_creaDatabase;
    bool m_demo = false;
    QString m_file;
    bool m_riepilogo = false;
    bool m_registro = false;
    QDate m_dal;
    QDate m_al;
};

} // namespace KaloRefill
