// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// What the refill form costs on a database holding 1 day, 1 year and 10 years of history
// as the suite writes it, set against the floor the engine allows on a copy of the same
// file; the "Cerca" list on 3,650 and 36,500 refill registrations; the program's start
// against a minimal Qt window. Medians with their spread, then one line per figure:
//
//   ratio NAME VALUE
//   peak_mb VALUE
//
//   bench_refill [--giorni-anno N] [--ripetizioni N] [--ripetizioni-elenco N]
//                [--ripetizioni-avvio N] [--dettagli] [--cartella DIR]
#include "ConnessioneDiretta.h"
#include "DatabaseHost.h"
#include "FusoOrario.h"
#include "GeneratoreStorico.h"
#include "GuardiaMessaggi.h"
#include "HostCronometrato.h"
#include "Memoria.h"
#include "PavimentoSalvataggio.h"
#include "Processi.h"
#include "Serie.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "host/SqlTesti.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>

using namespace KaloRefill;

namespace {

// The last day of the generated history; the form works on the day after it.
const QDate UltimoGiorno(2026, 12, 4);
const QDate GiornoBanco = UltimoGiorno.addDays(1);
const QString Operatore = QStringLiteral("bench");

struct Misure {
    QString nome;
    long long righeIncassi = 0, righeLog = 0, testate = 0;
    Serie salvataggio, primoSalvataggio, pagina, totale, report;
    // The floor: one transaction per save, and every statement committing by itself.
    Serie pavimento, pavimentoPrimo, pavimentoAuto, pavimentoPrimoAuto;
    Serie salvataggioCpu, primoSalvataggioCpu, pavimentoCpu, pavimentoPrimoCpu, scarto;
    QMap<QString, double> dettagli;
    QString file;
};

// The amount typed for the r-th save: the keypad's text, one digit.
QString cifra(int r) {
    return QString::number(r % 9 + 1);
}

// One history with its own database, host, form and floor. The module keeps its host
// and account associations module-wide, so a history is made current before each of its
// operations: the three histories are then measured turn by turn, and whatever else the
// machine (and its disk) is doing weighs on all of them alike.
struct Banco {
    Misure m;
    std::shared_ptr<DatabaseHost> host;
    std::shared_ptr<HostCronometrato> cronometro;
    HostApplicationPtr applicazione;
    RecordsetPtr associazioni;
    std::unique_ptr<PavimentoSalvataggio> pavimento;
    std::unique_ptr<FrmRefill> form;

    void attiva() {
        StatoModulo::istanza().applicazione = applicazione;
        StatoModulo::istanza().rsAssociazioneConti = associazioni;
    }
    void prepara(int indice, int r) {
        form->CmdApparecchio_Click(indice);
        form->PremiTasto(cifra(r));
    }
    void salva() { form->PremiTasto(QStringLiteral("Salva")); }
    void vaiAl(const QDate& giorno) {
        form->impostaDataRegistrazione(giorno);
        form->txtData_Change();
    }
};

std::unique_ptr<Banco> preparaBanco(const QString& nome, int giorni, const QString& cartella,
                                    bool dettagli) {
    auto b = std::make_unique<Banco>();
    Misure& m = b->m;
    m.nome = nome;
    m.file = QDir(cartella).filePath(QStringLiteral("storico-%1.db").arg(giorni));
    {
        OpzioniHost opzioni;
        opzioni.data = GiornoBanco;
        DatabaseHost::crea(m.file, opzioni);
    }
    GeneratoreStorico::preparaSala(m.file);
    GeneratoreStorico::scrivi(m.file, UltimoGiorno, giorni);
    {
        ConnessioneDiretta conta(m.file);
        m.righeIncassi = conta.numero("select count(*) from noteincassi");
        m.righeLog = conta.numero("select count(*) from LogOperazioni");
        m.testate = conta.numero("select count(*) from noteteste");
    }
    const QString copia = m.file + QStringLiteral(".pavimento.db");
    QFile::copy(m.file, copia);
    b->pavimento = std::make_unique<PavimentoSalvataggio>(copia, GeneratoreStorico::CodLocale, Operatore);

    OpzioniHost opzioni;
    opzioni.data = GiornoBanco;
    opzioni.user = Operatore;
    b->host = DatabaseHost::apri(m.file, opzioni);
    b->cronometro = std::make_shared<HostCronometrato>(b->host);
    b->applicazione = dettagli ? HostApplicationPtr(b->cronometro) : HostApplicationPtr(b->host);
    StatoModulo::istanza().applicazione = b->applicazione;
    b->form = std::make_unique<FrmRefill>();
    b->form->Form_Load();
    b->associazioni = StatoModulo::istanza().rsAssociazioneConti;
    b->form->ChkConferma->setCheckState(Qt::Unchecked);
    // A first round makes the day's header and rows on both sides; the timed saves then
    // change them as an operator's corrections do.
    for (int i = 0; i < FrmRefill::NumeroPulsanti; ++i) {
        b->prepara(i, i);
        b->salva();
        b->pavimento->salva(GiornoBanco, 1001 + i, cifra(i),
                            PavimentoSalvataggio::Modo::UnaTransazione);
    }
    b->cronometro->azzera();
    return b;
}

std::vector<Misure> misuraStorici(const std::vector<std::pair<QString, int>>& storici,
                                  int ripetizioni, const QString& cartella, bool dettagli) {
    std::vector<std::unique_ptr<Banco>> banchi;
    for (const auto& [nome, giorni] : storici)
        banchi.push_back(preparaBanco(nome, giorni, cartella, dettagli));

    for (int r = 0; r < ripetizioni; ++r) {
        const int i = r % FrmRefill::NumeroPulsanti;
        for (auto& b : banchi) {
            b->attiva();
            b->prepara(i, r);
            Misure& m = b->m;
            cronometra(m.salvataggio, m.salvataggioCpu, [&] { b->salva(); });
            cronometra(m.pavimento, m.pavimentoCpu, [&] {
                b->pavimento->salva(GiornoBanco, 1001 + i, cifra(r),
                                    PavimentoSalvataggio::Modo::UnaTransazione);
            });
            cronometra(m.pavimentoAuto, m.scarto, [&] {
                b->pavimento->salva(GiornoBanco, 1001 + i, cifra(r),
                                    PavimentoSalvataggio::Modo::OgniIstruzione);
            });
        }
    }
    for (auto& b : banchi)
        b->m.dettagli = b->cronometro->tempi;
    // The first save of each of the following days: the header and the row are made.
    for (int r = 0; r < ripetizioni; ++r) {
        const QDate giorno = GiornoBanco.addDays(1 + r);
        const int i = r % FrmRefill::NumeroPulsanti;
        for (auto& b : banchi) {
            b->attiva();
            b->vaiAl(giorno);
            b->prepara(i, r);
            Misure& m = b->m;
            cronometra(m.primoSalvataggio, m.primoSalvataggioCpu, [&] { b->salva(); });
            cronometra(m.pavimentoPrimo, m.pavimentoPrimoCpu, [&] {
                b->pavimento->salva(giorno, 1001 + i, cifra(r),
                                    PavimentoSalvataggio::Modo::UnaTransazione);
            });
            m.pavimentoPrimoAuto.aggiungi(millisecondi([&] {
                b->pavimento->salva(giorno.addDays(1000), 1001 + i, cifra(r),
                                    PavimentoSalvataggio::Modo::OgniIstruzione);
            }));
        }
    }
    for (auto& b : banchi) {
        b->attiva();
        b->vaiAl(GiornoBanco);
    }
    for (int r = 0; r < ripetizioni; ++r) {
        for (auto& b : banchi) {
            b->attiva();
            b->m.pagina.aggiungi(millisecondi([&] { b->form->RicaricaPagina(); }));
            b->m.totale.aggiungi(millisecondi([&] { b->form->TotaleGiornata(); }));
            // The day's rows for printing, read to the end as the report reads them.
            b->m.report.aggiungi(millisecondi([&] {
                const RecordsetPtr righe = b->host->openrecordset(SqlTesti::refillDelGiorno(UltimoGiorno));
                const QStringList campi = righe->FieldNames();
                if (righe->RecordCount() > 0)
                    righe->MoveFirst();
                while (!righe->Eof()) {
                    for (const QString& campo : campi)
                        righe->Field(campo);
                    righe->MoveNext();
                }
            }));
        }
    }
    std::vector<Misure> misure;
    for (auto& b : banchi) {
        b->attiva();
        b->form.reset();
        misure.push_back(std::move(b->m));
    }
    banchi.clear();
    StatoModulo::istanza().applicazione.reset();
    StatoModulo::istanza().rsAssociazioneConti.reset();
    return misure;
}

// In a process of its own (the bench runs itself with --elenco): the form on a database
// whose refill registrations are the list, "Cerca" pressed through the real search
// component, timed from the press to the first paint of the list's rows; then the window
// is closed. Prints one "elenco_ms" line per press and the process's peak memory.
int eseguiElenco(const QString& file, int ripetizioni) {
    OpzioniHost opzioni;
    opzioni.data = UltimoGiorno;
    opzioni.user = Operatore;
    StatoModulo::istanza().applicazione = DatabaseHost::apri(file, opzioni);
    QTextStream out(stdout);
    {
        FrmRefill form;
        form.Form_Load();
        form.mostra(false);
        QApplication::processEvents();

        struct PrimeRighe final : QObject {
            qint64 fine = 0;
            bool attesa = false;
            bool eventFilter(QObject* oggetto, QEvent* evento) override {
                if (!attesa || evento->type() != QEvent::Paint || !oggetto->isWidgetType())
                    return false;
                QObject* vista = oggetto->parent();
                if (!vista || vista->objectName() != QLatin1String("tabella"))
                    return false;
                attesa = false;
                // Once the pass that paints the rows is over, the window goes.
                QTimer::singleShot(0, qApp, [this, vista] {
                    fine = Processi::adessoNs();
                    static_cast<QWidget*>(vista)->window()->close();
                });
                return false;
            }
        } primeRighe;
        qApp->installEventFilter(&primeRighe);
        for (int r = 0; r < ripetizioni; ++r) {
            primeRighe.attesa = true;
            primeRighe.fine = 0;
            const qint64 inizio = Processi::adessoNs();
            form.CmdTrova_Click();
            if (primeRighe.fine == 0) {
                std::fprintf(stderr, "l'elenco non ha mostrato righe\n");
                return 1;
            }
            out << "elenco_ms " << static_cast<double>(primeRighe.fine - inizio) / 1e6 << '\n';
        }
        qApp->removeEventFilter(&primeRighe);
    }
    StatoModulo::istanza().applicazione.reset();
    StatoModulo::istanza().rsAssociazioneConti.reset();
    out << "picco_kb " << Memoria::piccoProcesso() << '\n';
    return 0;
}

struct Elenco {
    int registrazioni = 0;
    Serie tempi;
    double piccoMb = 0;
};

Elenco misuraElenco(int registrazioni, int ripetizioni, const QString& cartella) {
    Elenco e;
    e.registrazioni = registrazioni;
    const QString file = QDir(cartella).filePath(QStringLiteral("elenco-%1.db").arg(registrazioni));
    {
        OpzioniHost opzioni;
        DatabaseHost::crea(file, opzioni);
    }
    GeneratoreStorico::preparaSala(file);
    GeneratoreStorico::scrivi(file, UltimoGiorno, registrazioni, false);
    const QByteArray uscita = Processi::uscita(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--elenco"), file, QStringLiteral("--ripetizioni-elenco"),
         QString::number(ripetizioni)});
    for (const QByteArray& riga : uscita.split('\n')) {
        if (riga.startsWith("elenco_ms "))
            e.tempi.aggiungi(riga.mid(10).toDouble());
        else if (riga.startsWith("picco_kb "))
            e.piccoMb = riga.mid(9).toDouble() / 1024.0;
    }
    return e;
}

struct Avvio {
    Serie programma, minimo;
};

Avvio misuraAvvio(const QString& database, int ripetizioni) {
    const QString cartella = QCoreApplication::applicationDirPath();
    const QString programma = QDir(cartella).filePath(QStringLiteral("kalorefill"));
    const QString minimo = QDir(cartella).filePath(QStringLiteral("finestra_minima"));
    const QStringList argomenti{QStringLiteral("--database"), database, QStringLiteral("--date"),
                                GiornoBanco.toString(Qt::ISODate), QStringLiteral("--user"),
                                Operatore};
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("KALOREFILL_ESCI_DOPO_DISEGNO"), QStringLiteral("1"));
    // One untimed run of each: the files they load are then in the cache for both.
    Processi::finoAlDisegno(programma, argomenti, ambiente);
    Processi::finoAlDisegno(minimo, {}, ambiente);
    Avvio a;
    for (int r = 0; r < ripetizioni; ++r) {
        a.programma.aggiungi(Processi::finoAlDisegno(programma, argomenti, ambiente));
        a.minimo.aggiungi(Processi::finoAlDisegno(minimo, {}, ambiente));
    }
    return a;
}

double rapporto(const Serie& a, const Serie& b) {
    return b.mediana() > 0 ? a.mediana() / b.mediana() : 0;
}

} // namespace

int main(int argc, char** argv) {
    // The process set up as the program sets it up.
    FusoOrario::fissaSeAssente();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Costi del modulo Refill al crescere dello storico, contro il minimo del motore"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("giorni-anno"), QStringLiteral("Giorni di storico per anno."),
                      QStringLiteral("n"), QStringLiteral("365")});
    parser.addOption({QStringLiteral("ripetizioni"), QStringLiteral("Misure per operazione."),
                      QStringLiteral("n"), QStringLiteral("41")});
    parser.addOption({QStringLiteral("ripetizioni-elenco"),
                      QStringLiteral("Aperture dell'elenco \"Cerca\" per misura."), QStringLiteral("n"),
                      QStringLiteral("11")});
    parser.addOption({QStringLiteral("ripetizioni-avvio"), QStringLiteral("Avvii per programma."),
                      QStringLiteral("n"), QStringLiteral("21")});
    parser.addOption({QStringLiteral("dettagli"),
                      QStringLiteral("Tempo di ogni tipo di chiamata nei salvataggi.")});
    parser.addOption({QStringLiteral("cartella"),
                      QStringLiteral("Dove lasciare i database generati (per profilare); "
                                     "senza, una cartella temporanea."),
                      QStringLiteral("percorso")});
    QCommandLineOption elenco(QStringLiteral("elenco"), QString(), QStringLiteral("file"));
    elenco.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(elenco);
    parser.process(app);
    const int ripetizioniElenco = parser.value(QStringLiteral("ripetizioni-elenco")).toInt();
    if (parser.isSet(elenco))
        return eseguiElenco(parser.value(elenco), ripetizioniElenco);

    GuardiaMessaggi guardia;
    const bool dettagli = parser.isSet(QStringLiteral("dettagli"));
    const int giorniAnno = parser.value(QStringLiteral("giorni-anno")).toInt();
    const int ripetizioni = parser.value(QStringLiteral("ripetizioni")).toInt();
    QTemporaryDir temporanea;
    const QString percorsoCartella = parser.isSet(QStringLiteral("cartella"))
                                         ? parser.value(QStringLiteral("cartella"))
                                         : temporanea.path();
    QDir().mkpath(percorsoCartella);
    QTextStream out(stdout);

    const std::vector<Misure> storici = misuraStorici(
        {{QStringLiteral("1 giorno"), 1}, {QStringLiteral("1 anno"), giorniAnno},
         {QStringLiteral("10 anni"), giorniAnno * 10}},
        ripetizioni, percorsoCartella, dettagli);
    for (const Misure& m : storici) {
        out << QStringLiteral("\n== storico %1: %2 testate, %3 righe noteincassi, %4 righe "
                              "LogOperazioni\n")
                   .arg(m.nome)
                   .arg(m.testate)
                   .arg(m.righeIncassi)
                   .arg(m.righeLog);
        const auto riga = [&out](const char* voce, const Serie& s) {
            out << QStringLiteral("  %1 %2\n").arg(QLatin1String(voce), -44).arg(s.descrizione());
        };
        riga("salvataggio (modifica)", m.salvataggio);
        riga("  minimo, una transazione", m.pavimento);
        riga("  minimo, ogni istruzione col suo commit", m.pavimentoAuto);
        riga("primo salvataggio del giorno", m.primoSalvataggio);
        riga("  minimo, una transazione", m.pavimentoPrimo);
        riga("  minimo, ogni istruzione col suo commit", m.pavimentoPrimoAuto);
        riga("CPU: salvataggio (modifica)", m.salvataggioCpu);
        riga("CPU:   minimo, una transazione", m.pavimentoCpu);
        riga("CPU: primo salvataggio del giorno", m.primoSalvataggioCpu);
        riga("CPU:   minimo, una transazione", m.pavimentoPrimoCpu);
        riga("caricamento pagina", m.pagina);
        riga("totale del giorno", m.totale);
        riga("report del giorno (lettura completa)", m.report);
        out.flush();
    }
    const Misure& giorno = storici.at(0);
    const Misure& dieci = storici.at(2);
    if (dettagli) {
        out << QStringLiteral("\nms in tutti i salvataggi misurati, 1 giorno -> 10 anni\n");
        for (auto it = dieci.dettagli.cbegin(); it != dieci.dettagli.cend(); ++it)
            out << QStringLiteral("%1 %2 -> %3\n")
                       .arg(it.key(), -90)
                       .arg(giorno.dettagli.value(it.key()), 8, 'f', 2)
                       .arg(it.value(), 8, 'f', 2);
    }

    const Elenco piccolo = misuraElenco(giorniAnno * 10, ripetizioniElenco, percorsoCartella);
    const Elenco grande = misuraElenco(giorniAnno * 100, ripetizioniElenco, percorsoCartella);
    for (const Elenco* e : {&piccolo, &grande})
        out << QStringLiteral("\n\"Cerca\" su %1 registrazioni: %2, picco %3 MB")
                   .arg(e->registrazioni)
                   .arg(e->tempi.descrizione())
                   .arg(e->piccoMb, 0, 'f', 1);
    out << '\n';

    const Avvio avvio = misuraAvvio(dieci.file, parser.value(QStringLiteral("ripetizioni-avvio")).toInt());
    out << QStringLiteral("\navvio fino al modulo disegnato: %1\n").arg(avvio.programma.descrizione());
    out << QStringLiteral("avvio di una finestra Qt minima:  %1\n").arg(avvio.minimo.descrizione());

    out << QStringLiteral("\nrapporti con il minimo a ogni statement col suo commit (10 anni): "
                          "salvataggio %1, primo salvataggio %2\n")
               .arg(rapporto(dieci.salvataggio, dieci.pavimentoAuto), 0, 'f', 2)
               .arg(rapporto(dieci.primoSalvataggio, dieci.pavimentoPrimoAuto), 0, 'f', 2);
    out << QStringLiteral("rapporti di CPU con il minimo in una transazione (10 anni): salvataggio %1, "
                          "primo salvataggio %2\n")
               .arg(rapporto(dieci.salvataggioCpu, dieci.pavimentoCpu), 0, 'f', 2)
               .arg(rapporto(dieci.primoSalvataggioCpu, dieci.pavimentoPrimoCpu), 0, 'f', 2);
    const double piccoBench = static_cast<double>(Memoria::piccoProcesso()) / 1024.0;
    out << QStringLiteral("picco di memoria: bench %1 MB, processi figli (elenco, avvii) %2 MB\n")
               .arg(piccoBench, 0, 'f', 1)
               .arg(static_cast<double>(Memoria::piccoFigli()) / 1024.0, 0, 'f', 1);
    if (!guardia.testi().isEmpty()) {
        out << QStringLiteral("\nMessaggi inattesi durante le misure (operazioni fallite):\n");
        for (const QString& testo : guardia.testi())
            out << QStringLiteral("  ") << testo << '\n';
    }

    // One line per figure, for comparing runs with a grep.
    const auto figura = [&out](const char* nome, double valore) {
        out << "ratio " << nome << ' ' << QString::number(valore, 'f', 2) << '\n';
    };
    out << '\n';
    figura("save_vs_floor", rapporto(dieci.salvataggio, dieci.pavimento));
    figura("first_save_vs_floor", rapporto(dieci.primoSalvataggio, dieci.pavimentoPrimo));
    figura("save_10y_vs_1d", rapporto(dieci.salvataggio, giorno.salvataggio));
    figura("first_save_10y_vs_1d", rapporto(dieci.primoSalvataggio, giorno.primoSalvataggio));
    figura("page_10y_vs_1d", rapporto(dieci.pagina, giorno.pagina));
    figura("total_10y_vs_1d", rapporto(dieci.totale, giorno.totale));
    figura("list_36500_vs_3650", rapporto(grande.tempi, piccolo.tempi));
    figura("list_memory_36500_vs_3650", piccolo.piccoMb > 0 ? grande.piccoMb / piccolo.piccoMb : 0);
    figura("start_vs_bare_qt", rapporto(avvio.programma, avvio.minimo));
    out << "peak_mb " << QString::number(piccoBench, 'f', 1) << '\n';
    return guardia.testi().isEmpty() ? 0 : 1;
}
