// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Programma.h"

#include "ArgomentiProgramma.h"
#include "AvvioSala.h"
#include "ConfigurazioneSala.h"
#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "FusoOrario.h"
#include "DopoPrimoDisegno.h"
#include "ModuloRiepilogo.h"
#include "UscitaDopoDisegno.h"
#include "VerificaRefill.h"
#include "documento/VerificaRegistro.h"
#include "entry/Configura.h"
#include "form/StileTocco.h"
#include "host/Errore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <atomic>
#include <thread>

namespace KaloRefill {

namespace {

const QString nomeProgramma = QStringLiteral("kalorefill");
const QString nomeFileDemo = QStringLiteral("kalorefill-demo.db");

void scrivi(std::FILE* flusso, const QString& testo) {
    std::fputs(testo.toLocal8Bit().constData(), flusso);
    std::fflush(flusso);
}

int fallisci(const QString& messaggio, int esito) {
    // One line, whatever the message carried: scripts read the first line only.
    scrivi(stderr,
           nomeProgramma + QStringLiteral(": ") + messaggio.simplified() + QLatin1Char('\n'));
    return esito;
}

// Gives an answer that needs no window; -1 when the program must go on.
int rispondiSenzaFinestra(const ArgomentiProgramma& argomenti) {
    switch (argomenti.azione()) {
    case ArgomentiProgramma::Azione::MostraVersione:
        scrivi(stdout, Configura().Ver() + QLatin1Char('\n'));
        return 0;
    case ArgomentiProgramma::Azione::MostraAiuto:
        scrivi(stdout, ArgomentiProgramma::testoAiuto(Programma::percorsoDemo()));
        return 0;
    case ArgomentiProgramma::Azione::Errore:
        return fallisci(argomenti.errore() + QStringLiteral(" (kalorefill --help per l'aiuto)"),
                        Programma::esitoRigaDiComando);
    case ArgomentiProgramma::Azione::Avvia:
    case ArgomentiProgramma::Azione::Verifica:
    case ArgomentiProgramma::Azione::Ripara:
    case ArgomentiProgramma::Azione::CreaDatabase:
    case ArgomentiProgramma::Azione::Configura:
    case ArgomentiProgramma::Azione::Anagrafiche:
    case ArgomentiProgramma::Azione::ImportaApparecchi:
    case ArgomentiProgramma::Azione::Backup:
    case ArgomentiProgramma::Azione::Ripristina:
        break;
    }
    return -1;
}

// --verifica and --ripara: a table on standard output, no window.
int controllaDocumenti(int argc, char** argv, const ArgomentiProgramma& argomenti) {
    QCoreApplication applicazione(argc, argv);
    const IndirizzoDatabase indirizzo = Programma::indirizzoDatabase(argomenti);
    const QString percorso = indirizzo.mostrabile();
    std::shared_ptr<DatabaseHost> host;
    try {
        host = Programma::apriDatabase(argomenti, indirizzo);
    } catch (const Errore& errore) {
        if (errore.numero() == CodiceErrore::AutorizzazioneNegata)
            return fallisci(errore.descrizione(), Programma::esitoFallito);
        return fallisci(QStringLiteral("impossibile aprire il database %1: %2").arg(percorso, errore.descrizione()),
                        Programma::esitoFallito);
    }
    try {
        VerificaRefill verifica(*host, argomenti.dal(), argomenti.al());
        // The register is only read: what is wrong with it is told, never mended.
        const auto registro = VerificaRegistro(*host, argomenti.dal(), argomenti.al()).verifica();
        if (!registro.isEmpty())
            scrivi(stdout, VerificaRegistro::tabella(registro) +
                               (argomenti.azione() == ArgomentiProgramma::Azione::Ripara
                                    ? QStringLiteral("Il registro dei buoni non si ripara: va controllato sui buoni "
                                                     "stampati.\n")
                                    : QString()));
        if (argomenti.azione() == ArgomentiProgramma::Azione::Verifica) {
            const auto problemi = verifica.verifica();
            if (problemi.isEmpty()) {
                scrivi(stdout, QStringLiteral("Nessun documento refill incoerente.\n"));
                return registro.isEmpty() ? 0 : Programma::esitoFallito;
            }
            scrivi(stdout, VerificaRefill::tabella(problemi));
            return Programma::esitoFallito;
        }
        const auto riparati = verifica.ripara();
        if (riparati.isEmpty()) {
            scrivi(stdout, QStringLiteral("Nessun documento refill da riparare.\n"));
            return registro.isEmpty() ? 0 : Programma::esitoFallito;
        }
        scrivi(stdout, QStringLiteral("Riparati:\n") + VerificaRefill::tabella(riparati));
        const auto rimasti = verifica.verifica();
        if (!rimasti.isEmpty()) {
            scrivi(stdout, QStringLiteral("Ancora incoerenti:\n") + VerificaRefill::tabella(rimasti));
            return Programma::esitoFallito;
        }
        return registro.isEmpty() ? 0 : Programma::esitoFallito;
    } catch (const Errore& errore) {
        return fallisci(QStringLiteral("errore %1 - %2").arg(QString::number(errore.numero()), errore.descrizione()),
                        Programma::esitoFallito);
    }
}

// --crea-database [--demo]: a new database, no window. The demo hall goes in with the
// tables: on a file everything is undone when a step fails (the file is removed).
int creaDatabase(int argc, char** argv, const ArgomentiProgramma& argomenti) {
    QCoreApplication applicazione(argc, argv);
    const IndirizzoDatabase destinazione(argomenti.creaDatabase());
    const bool server = destinazione.server();
    const QString nome = destinazione.mostrabile();
    try {
        const OpzioniHost opzioni{argomenti.data(), argomenti.utente(), {}};
        auto host = DatabaseHost::crea(destinazione, opzioni);
        if (argomenti.demo()) {
            try {
                DatiDemo::riempi(*host, host->Data());
            } catch (...) {
                host.reset();
                if (!server)
                    for (const QString& suffisso : {QString(), QStringLiteral("-wal"),
                                                    QStringLiteral("-shm")})
                        QFile::remove(destinazione.file() + suffisso);
                throw;
            }
        }
        scrivi(stdout, QStringLiteral("Creato il database KaloRefill %1%2.\n")
                           .arg(host->percorsoFile(), argomenti.demo()
                                                          ? QStringLiteral(" con la sala dimostrativa")
                                                          : QString()));
        return 0;
    } catch (const Errore& errore) {
        const QString descrizione = errore.descrizione();
        return fallisci(descrizione.contains(nome) || server
                            ? descrizione
                            : QStringLiteral("impossibile creare il database %1: %2")
                                  .arg(nome, descrizione),
                        Programma::esitoFallito);
    }
}

// Without a display Qt would abort with a long English trace; the operator gets one line.
bool schermoDisponibile(const QStringList& argomenti) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        argomenti.contains(QStringLiteral("-platform")))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    Q_UNUSED(argomenti);
    return true;
#endif
}

// The installed program keeps its components under the library folder, not beside itself;
// the registry is told through its own variable, after whatever the user put there.
void aggiungiComponentiInstallati() {
    const QString cartella =
        QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral(KALOREFILL_COMPONENTI_INSTALLATI)));
    if (!QFileInfo(cartella).isDir())
        return;
    const char* variabile = "KALOREFILL_COMPONENTS";
    QString valore = qEnvironmentVariable(variabile);
    if (!valore.isEmpty())
        valore += QDir::listSeparator();
    qputenv(variabile, QFile::encodeName(valore + cartella));
}

bool ciSonoFinestreAperte() {
    const QWidgetList finestre = QApplication::topLevelWidgets();
    return std::any_of(finestre.cbegin(), finestre.cend(),
                       [](const QWidget* finestra) { return finestra->isVisible(); });
}

// "Riepilogo Refill" or "Registro buoni" on its own: the period from the options, else the
// current month up to the working date. The windows are a module of their own, loaded only here.
int apriRiepilogo(const ArgomentiProgramma& argomenti, std::shared_ptr<DatabaseHost> host, const char* entrata) {
    const QDate al = argomenti.al().isValid() ? argomenti.al() : host->Data();
    const QDate dal = argomenti.dal().isValid() ? argomenti.dal() : QDate(al.year(), al.month(), 1);
    QLibrary modulo(QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                        .filePath(QStringLiteral(KALOREFILL_MODULO_RIEPILOGO))));
    const auto apri =
        reinterpret_cast<KaloRefillApriRiepilogo>(modulo.resolve(entrata));
    if (!apri)
        return fallisci(QStringLiteral("impossibile aprire il riepilogo: %1").arg(modulo.errorString()),
                        Programma::esitoFallito);
    // The window is gone when the call returns; the module stays loaded until the end, as
    // Qt may still hold objects of its classes (styles, cached pictures).
    const int esito = apri(host, dal, al);
    host.reset();
    return esito;
}

std::shared_ptr<DatabaseHost> creaDemo(const QString& percorso, const OpzioniHost& opzioni) {
    if (!QDir().mkpath(QFileInfo(percorso).absolutePath()))
        throw Errore::database(
            QStringLiteral("impossibile creare la cartella %1")
                .arg(QDir::toNativeSeparators(QFileInfo(percorso).absolutePath())));
    // Built aside and renamed when complete, so an interrupted first run leaves no half
    // database behind to be opened next time.
    const QString provvisorio = percorso + QStringLiteral(".nuovo");
    const auto eliminaProvvisorio = [&provvisorio] {
        for (const QString& suffisso : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                                        QStringLiteral("-journal")})
            QFile::remove(provvisorio + suffisso);
    };
    eliminaProvvisorio();
    try {
        // The host closes the file when it goes, before the rename.
        auto host = DatabaseHost::crea(provvisorio, opzioni);
        DatiDemo::riempi(*host, host->Data());
    } catch (...) {
        eliminaProvvisorio();
        throw;
    }
    if (!QFile::rename(provvisorio, percorso)) {
        eliminaProvvisorio();
        throw Errore::database(QStringLiteral("impossibile salvare il database dimostrativo"));
    }
    return DatabaseHost::apri(percorso, opzioni);
}

// The engine's page-by-page check takes time in proportion to the file, so it runs beside
// the form rather than before it, and starts once the form is on screen: on a machine with
// few cores it would otherwise slow the start-up. A damaged file is then told at once, not
// at some later save. Ending the program stops the check and joins its thread.
class ControlloIntegrita {
public:
    // `danneggiato` runs on the user-interface thread with what was found.
    ControlloIntegrita(const IndirizzoDatabase& percorso, std::function<void(const QString&)> danneggiato) {
        m_attesa = DopoPrimoDisegno::esegui([this, percorso, danneggiato] {
            m_filo = std::thread([this, percorso, danneggiato] {
                const QString problema = DatabaseHost::controllaIntegrita(percorso, &m_basta);
                if (problema.isEmpty())
                    return;
                QMetaObject::invokeMethod(
                    qApp,
                    [problema, danneggiato] {
                        scrivi(stderr, nomeProgramma + QStringLiteral(": attenzione: ") +
                                           problema.simplified() + QLatin1Char('\n'));
                        danneggiato(problema);
                    },
                    Qt::QueuedConnection);
            });
        });
    }
    ~ControlloIntegrita() {
        // Closing the program does not wait for the whole file to be read.
        m_basta = true;
        delete m_attesa.data();
        if (m_filo.joinable())
            m_filo.join();
    }
    ControlloIntegrita(const ControlloIntegrita&) = delete;
    ControlloIntegrita& operator=(const ControlloIntegrita&) = delete;

private:
    QPointer<DopoPrimoDisegno> m_attesa;
    std::atomic<bool> m_basta{false};
    std::thread m_filo;
};

} // namespace

QString Programma::percorsoDemo() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(nomeFileDemo);
}

IndirizzoDatabase Programma::indirizzoDatabase(const ArgomentiProgramma& argomenti) {
    if (!argomenti.database().isEmpty())
        return argomenti.database();
    if (argomenti.demo())
        return percorsoDemo();
    return ConfigurazioneSala::database();
}

bool Programma::puoEssereOpzioneQt(const QStringList& argomenti) {
    for (qsizetype i = 1; i < argomenti.size(); ++i) {
        const QString& argomento = argomenti.at(i);
        if (argomento.size() > 2 && argomento.at(0) == QLatin1Char('-') &&
            argomento.at(1).isLetter())
            return true;
    }
    return false;
}

std::shared_ptr<DatabaseHost> Programma::apriDatabase(const ArgomentiProgramma& argomenti,
                                                      IndirizzoDatabase indirizzo) {
    const OpzioniHost opzioni{argomenti.data(), argomenti.utente(), {}};
    if (indirizzo.vuoto())
        indirizzo = indirizzoDatabase(argomenti);
    if (indirizzo.vuoto())
        throw Errore::database(QStringLiteral(
            "nessun database della sala è configurato: avviare kalorefill per sceglierlo, "
            "oppure indicarlo con --database"));
    // A server database is checked by the host itself, which names it in its messages.
    if (indirizzo.server())
        return DatabaseHost::apri(indirizzo, opzioni);
    const QString percorso = indirizzo.file();
    const QFileInfo file(percorso);
    if (percorso == percorsoDemo() && !file.exists())
        return creaDemo(percorso, opzioni);
    // The host refuses these too; said here in the operator's words.
    if (!file.exists())
        throw Errore::database(QStringLiteral("il file non esiste"));
    if (file.isDir())
        throw Errore::database(QStringLiteral("è una cartella, non un file"));
    return DatabaseHost::apri(percorso, opzioni);
}

int Programma::esegui(int argc, char** argv) {
    FusoOrario::fissaSeAssente();
    QCoreApplication::setApplicationName(nomeProgramma);

    QStringList grezzi;
    for (int i = 0; i < argc; ++i)
        grezzi << QString::fromLocal8Bit(argv[i]);
    // First reading before any window: version, help and mistakes need no screen.
    // A mistake is only left for the second reading when Qt could still claim the word.
    const ArgomentiProgramma prima = ArgomentiProgramma::analizza(grezzi);
    const bool perQt = prima.azione() == ArgomentiProgramma::Azione::Errore &&
                       puoEssereOpzioneQt(grezzi) && schermoDisponibile(grezzi);
    if (!perQt) {
        if (const int esito = rispondiSenzaFinestra(prima); esito >= 0)
            return esito;
        if (prima.azione() == ArgomentiProgramma::Azione::Verifica ||
            prima.azione() == ArgomentiProgramma::Azione::Ripara)
            return controllaDocumenti(argc, argv, prima);
        if (prima.azione() == ArgomentiProgramma::Azione::CreaDatabase)
            return creaDatabase(argc, argv, prima);
        if (prima.azione() == ArgomentiProgramma::Azione::Backup) {
            QCoreApplication applicazione(argc, argv);
            const IndirizzoDatabase database = indirizzoDatabase(prima);
            if (database.vuoto())
                return fallisci(QStringLiteral("nessun database della sala è configurato: "
                                               "indicarlo con --database"),
                                esitoFallito);
            return AvvioSala::backup(database, prima.file());
        }
    }
    if (!schermoDisponibile(grezzi))
        return fallisci(QStringLiteral("nessuno schermo disponibile: avviare con xvfb-run "
                                       "oppure con QT_QPA_PLATFORM=offscreen"),
                        esitoFallito);

    QApplication applicazione(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // From the first box on, the summary's window included.
    StileTocco::installa();
    // Qt has taken its own options away by now.
    const ArgomentiProgramma argomenti =
        ArgomentiProgramma::analizza(QCoreApplication::arguments());
    if (const int esito = rispondiSenzaFinestra(argomenti); esito >= 0)
        return esito;
    aggiungiComponentiInstallati();
    UscitaDopoDisegno::installaSeRichiesto();

    using Azione = ArgomentiProgramma::Azione;
    // The first start, or --configura: the hall's database is chosen in the welcome window.
    IndirizzoDatabase database = indirizzoDatabase(argomenti);
    if (argomenti.azione() == Azione::Configura || database.vuoto()) {
        database = AvvioSala::benvenuto(argomenti, percorsoDemo());
        if (database.vuoto())
            return 0;
    }
    if (argomenti.azione() == Azione::Ripristina)
        return AvvioSala::ripristina(database, argomenti.file());

    // Never a password in a message, even one the operator typed into the address.
    const QString percorso = database.mostrabile();
    std::shared_ptr<DatabaseHost> host;
    try {
        host = apriDatabase(argomenti, database);
    } catch (const Errore& errore) {
        // The host usually names the file itself, and a refused role is the role's fault
        // rather than the database's; the operator needs to read either once.
        const QString descrizione = errore.descrizione();
        return fallisci(descrizione.contains(percorso) || errore.numero() == CodiceErrore::AutorizzazioneNegata
                            ? descrizione
                            : QStringLiteral("impossibile aprire il database %1: %2")
                                  .arg(percorso, descrizione),
                        esitoFallito);
    } catch (const std::exception& errore) {
        return fallisci(QStringLiteral("impossibile aprire il database %1: %2")
                            .arg(percorso, QString::fromLocal8Bit(errore.what())),
                        esitoFallito);
    }

    if (argomenti.riepilogo())
        return apriRiepilogo(argomenti, host, KALOREFILL_ENTRATA_RIEPILOGO);
    if (argomenti.registro())
        return apriRiepilogo(argomenti, host, KALOREFILL_ENTRATA_REGISTRO);
    if (argomenti.azione() == Azione::Anagrafiche || argomenti.azione() == Azione::ImportaApparecchi)
        return AvvioSala::anagrafiche(host, argomenti.file());
    // The hall's own database is copied once a day; one named on the command line is
    // someone's test or another hall's, and the demo hall holds nothing to keep.
    if (argomenti.database().isEmpty() && database.testo() != percorsoDemo())
        AvvioSala::copiaGiornaliera(database, QDate::currentDate());

    Configura configura;
    configura.setApplicazione(host);
    configura.setModale(argomenti.nonModale() ? QStringLiteral("0") : QStringLiteral("1"));
    int esito = 0;
    // A damaged file is shown on the form itself, which then refuses to save into it.
    const ControlloIntegrita controllo(
        database, [&configura](const QString& problema) {
            const QString copia = AvvioSala::ultimaCopia();
            configura.segnalaDatabaseDanneggiato(copia.isEmpty() ? problema : problema + QLatin1Char('\n') + copia);
        });
    try {
        configura.Start();
        if (argomenti.nonModale() && ciSonoFinestreAperte())
            esito = QApplication::exec();
    } catch (const Errore& errore) {
        esito = fallisci(QStringLiteral("errore %1 - %2")
                             .arg(QString::number(errore.numero()), errore.descrizione()),
                         esitoFallito);
    } catch (const std::exception& errore) {
        esito = fallisci(QString::fromLocal8Bit(errore.what()), esitoFallito);
    }
    // The module keeps the host for as long as it is loaded; the database is let go while
    // Qt is still up.
    configura.setApplicazione(nullptr);
    host.reset();
    return esito;
}

} // namespace KaloRefill
