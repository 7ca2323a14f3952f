// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The module on a chain's PostgreSQL server, on a throwaway cluster the bench starts
// itself: a save and a day's first save against the floor the server allows (the same
// statements through libpq, prepared, in one transaction); save, page and day total with
// 1 day and 10 years of history; a hall among many on one server; cash desks saving at once;
// the round trips of a save, counted by a relay; save, page and start-up over a link of
// 20 ms round trip (the same relay holding every chunk 10 ms each way). Medians with their
// spread, then one line per figure. The saves against the floor, the 1 day / 10 years
// figures and the hall alone and in a chain run with the client and its server processes
// on one core (Processi::StessoCore):
//
//   ratio NAME VALUE      ms NAME VALUE      count NAME VALUE
//
//   bench_server [--rapido] [--ripetizioni N] [--giorni-anno N] [--secondi N] [--sale N]
//                [--ritmo-ms MS] [--salta casse,catena,rete] [--dettagli]
//
// The desks save at an operator's pace, one save every --ritmo-ms (1000: a few times faster
// than a hand on a keypad) each, their phases spread; --ritmo-ms 0 has every desk save
// again at once, which on a small machine measures its cores more than the server.
//
// --rapido (or KALOREFILL_BENCH_RAPIDO=1) is the developer's run of a few minutes: fewer
// round trips through the relay, 10 s of desks, 5 halls for the chain. Without it: 60 s of
// desks and 200 halls of ten years each (tens of GB on disk: the bench says so and uses
// fewer if the disk cannot hold them).
#include "BancoServer.h"
#include "CasseConcorrenti.h"
#include "ClusterProva.h"
#include "ConnessionePg.h"
#include "FusoOrario.h"
#include "GeneratoreStorico.h"
#include "GuardiaMessaggi.h"
#include "PavimentoServer.h"
#include "Processi.h"
#include "SalaServer.h"
#include "Serie.h"
#include "Staffetta.h"
#include "form/FrmRefill.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QProcessEnvironment>
#include <QStorageInfo>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace KaloRefill;

namespace {

// References: the values live in another file, whose statics may be made after these.
const QDate& UltimoGiorno = BancoServer::UltimoGiorno;
const QDate& GiornoBanco = BancoServer::Giorno;
const QString& Operatore = BancoServer::Operatore;
using Banco = BancoServer;

QString cifra(int r) {
    return BancoServer::cifra(r);
}

QTextStream& out() {
    static QTextStream flusso(stdout);
    return flusso;
}

void figura(const char* tipo, const QString& nome, double valore) {
    out() << tipo << ' ' << nome << ' ' << QString::number(valore, 'f', 2) << Qt::endl;
}

double rapporto(double a, double b) {
    return b > 0 ? a / b : 0;
}

// Save, first save, page and day total on 1 day and 10 years, turn by turn.
void misuraStorici(Banco& giorno, Banco& dieci, int ripetizioni) {
    Banco* banchi[] = {&giorno, &dieci};
    for (Banco* b : banchi) {
        b->primoGiro();
        b->cronometro->azzera();
    }
    for (int r = 0; r < ripetizioni; ++r) {
        const int i = r % FrmRefill::NumeroPulsanti;
        for (Banco* b : banchi) {
            b->attiva();
            b->prepara(i, r);
            cronometra(b->salvataggio, b->salvataggioCpu, [&] { b->salva(); });
            cronometra(b->pavimentoSalva, b->pavimentoSalvaCpu,
                       [&] { b->pavimento->salva(GiornoBanco, 1001 + i, cifra(r)); });
        }
    }
    for (int r = 0; r < ripetizioni; ++r) {
        const QDate data = GiornoBanco.addDays(1 + r);
        const int i = r % FrmRefill::NumeroPulsanti;
        for (Banco* b : banchi) {
            b->attiva();
            b->vaiAl(data);
            b->prepara(i, r);
            b->primo.aggiungi(millisecondi([&] { b->salva(); }));
            b->pavimentoPrimo.aggiungi(millisecondi([&] { b->pavimento->salva(data, 1001 + i, cifra(r)); }));
        }
    }
    for (Banco* b : banchi) {
        b->attiva();
        b->vaiAl(GiornoBanco);
    }
    for (int r = 0; r < ripetizioni; ++r)
        for (Banco* b : banchi) {
            b->attiva();
            b->pagina.aggiungi(millisecondi([&] { b->form->RicaricaPagina(); }));
            b->totale.aggiungi(millisecondi([&] { b->form->TotaleGiornata(); }));
        }
}

// What was just written (history, copies) goes to the disk before anything is timed: the
// kernel and the server's checkpointer writing it out on the other core would slow the
// measures taken meanwhile, which a server in service does not have. Milliseconds taken.
qint64 suDisco(const SalaServer& sala) {
    QElapsedTimer scrittura;
    scrittura.start();
    ConnessionePg(sala.conninfo).esegui("CHECKPOINT");
    ::sync();
    return scrittura.elapsed();
}

// This thread and the server's processes that serve its connections on one core, for as
// long as the result lives.
Processi::StessoCore clientSuUnCore(const SalaServer& sala) {
    ConnessionePg db(sala.conninfo);
    const ConnessionePg::Risultato r = db.esegui(
        "SELECT pid FROM pg_stat_activity WHERE backend_type = 'client backend' AND pid <> pg_backend_pid()");
    QList<long long> pid;
    for (int i = 0; i < r.righe(); ++i)
        pid << r.intero(i, 0);
    return Processi::StessoCore(pid);
}

// Where the time of the saves went, 1 day -> 10 years: each kind of the host's calls, then
// each statement of the floor.
void stampaDettagli(const Banco& giorno, const Banco& dieci) {
    out() << "\nms in tutti i salvataggi misurati (modifiche e primi del giorno), 1 giorno -> 10 anni\n";
    for (auto it = dieci.cronometro->tempi.cbegin(); it != dieci.cronometro->tempi.cend(); ++it)
        out() << QStringLiteral("%1 %2 -> %3\n")
                     .arg(it.key().left(110), -110)
                     .arg(giorno.cronometro->tempi.value(it.key()), 8, 'f', 2)
                     .arg(it.value(), 8, 'f', 2);
    out() << "\nminimo libpq, ms per istruzione in tutti i suoi salvataggi, 1 giorno -> 10 anni\n";
    for (auto it = dieci.pavimento->tempi().cbegin(); it != dieci.pavimento->tempi().cend(); ++it)
        out() << QStringLiteral("%1 %2 -> %3\n")
                     .arg(QString::fromLatin1(it.key()), -20)
                     .arg(giorno.pavimento->tempi().value(it.key()), 8, 'f', 2)
                     .arg(it.value(), 8, 'f', 2);
}

void stampaBanco(const char* nome, const Banco& b) {
    out() << "\n== storico " << nome << '\n';
    const auto riga = [](const char* voce, const Serie& s) {
        out() << QStringLiteral("  %1 %2\n").arg(QLatin1String(voce), -40).arg(s.descrizione());
    };
    riga("salvataggio (modifica)", b.salvataggio);
    riga("  minimo libpq, una transazione", b.pavimentoSalva);
    riga("primo salvataggio del giorno", b.primo);
    riga("  minimo libpq, una transazione", b.pavimentoPrimo);
    riga("caricamento pagina", b.pagina);
    riga("totale del giorno", b.totale);
    riga("CPU del client: salvataggio", b.salvataggioCpu);
    riga("CPU del client:   minimo libpq", b.pavimentoSalvaCpu);
}

struct Rete {
    Serie salvataggio, primo, pagina, avvio;
    Serie viaggiSalva, viaggiPrimo, viaggiPagina, viaggiPavimento, viaggiPavimentoPrimo;
};

// Through the relay: round trips counted on every operation, times over 20 ms of round trip.
Rete misuraRete(const ClusterProva& server, const SalaServer& sala, const SalaServer& copia, int ripetizioni,
                int avvii) {
    Rete r;
    Staffetta staffetta(server, 10);
    const SalaServer lontana = sala.tramite(staffetta.porta());
    {
        PavimentoServer pavimento(copia.tramite(staffetta.porta()).conninfo, GeneratoreStorico::CodLocale, Operatore);
        // Its connection and its statements prepared: not part of a save.
        staffetta.conta();
        // The floor sends one request at a time and waits for each: what the relay counts
        // must be what it sent, or the relay's counting is wrong and the bench stops.
        auto conta = [&staffetta, &pavimento, inviate = pavimento.richieste()]() mutable {
            const long long contate = staffetta.conta();
            if (contate != pavimento.richieste() - inviate) {
                std::fprintf(stderr, "la staffetta ha contato %lld viaggi, il minimo ne ha fatti %lld\n", contate,
                             pavimento.richieste() - inviate);
                std::exit(1);
            }
            inviate = pavimento.richieste();
            return double(contate);
        };
        for (int i = 0; i < 3; ++i) {
            pavimento.salva(GiornoBanco, 1001 + i, cifra(i));
            r.viaggiPavimento.aggiungi(conta());
            pavimento.salva(GiornoBanco.addDays(500 + i), 1001 + i, cifra(i));
            r.viaggiPavimentoPrimo.aggiungi(conta());
        }
    }
    Banco b(lontana, nullptr);
    for (int i = 0; i < ripetizioni; ++i) {
        b.prepara(i % FrmRefill::NumeroPulsanti, i);
        staffetta.conta();
        r.salvataggio.aggiungi(millisecondi([&] { b.salva(); }));
        r.viaggiSalva.aggiungi(double(staffetta.conta()));
        b.vaiAl(GiornoBanco.addDays(1000 + i));
        b.prepara(i % FrmRefill::NumeroPulsanti, i);
        staffetta.conta();
        r.primo.aggiungi(millisecondi([&] { b.salva(); }));
        r.viaggiPrimo.aggiungi(double(staffetta.conta()));
        b.vaiAl(GiornoBanco);
        staffetta.conta();
        r.pagina.aggiungi(millisecondi([&] { b.form->RicaricaPagina(); }));
        r.viaggiPagina.aggiungi(double(staffetta.conta()));
    }
    const QString cartella = QCoreApplication::applicationDirPath();
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("KALOREFILL_ESCI_DOPO_DISEGNO"), QStringLiteral("1"));
    const QStringList argomenti{QStringLiteral("--database"), lontana.indirizzo, QStringLiteral("--date"),
                                GiornoBanco.toString(Qt::ISODate), QStringLiteral("--user"), Operatore};
    for (int i = 0; i < avvii; ++i)
        r.avvio.aggiungi(Processi::finoAlDisegno(QDir(cartella).filePath(QStringLiteral("kalorefill")), argomenti,
                                                 ambiente));
    return r;
}

struct Sala {
    Serie salvataggio, pagina;
};

// Save and page of one hall, with a form of its own, on one core with its server process.
Sala misuraSala(const SalaServer& sala, int ripetizioni) {
    Sala s;
    Banco b(sala, nullptr);
    const Processi::StessoCore core = clientSuUnCore(sala);
    // Untimed first: the form's and the server's caches as a working day has them.
    for (int i = 0; i < FrmRefill::NumeroPulsanti; ++i) {
        b.prepara(i, i);
        b.salva();
        b.form->RicaricaPagina();
    }
    for (int i = 0; i < ripetizioni; ++i) {
        b.prepara(i % FrmRefill::NumeroPulsanti, i);
        s.salvataggio.aggiungi(millisecondi([&] { b.salva(); }));
        s.pagina.aggiungi(millisecondi([&] { b.form->RicaricaPagina(); }));
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    FusoOrario::fissaSeAssente();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Il modulo su un server PostgreSQL di catena"));
    parser.addHelpOption();
    const bool rapido = qEnvironmentVariableIntValue("KALOREFILL_BENCH_RAPIDO") == 1 ||
                        QCoreApplication::arguments().contains(QStringLiteral("--rapido"));
    parser.addOption({QStringLiteral("rapido"), QStringLiteral("Misure brevi, per lo sviluppo.")});
    parser.addOption({QStringLiteral("ripetizioni"), QStringLiteral("Misure per operazione."), QStringLiteral("n"),
                      QStringLiteral("41")});
    parser.addOption({QStringLiteral("giorni-anno"), QStringLiteral("Giorni di storico per anno."),
                      QStringLiteral("n"), QStringLiteral("365")});
    parser.addOption({QStringLiteral("secondi"), QStringLiteral("Durata del salvataggio delle casse."),
                      QStringLiteral("n"), rapido ? QStringLiteral("10") : QStringLiteral("60")});
    parser.addOption({QStringLiteral("sale"), QStringLiteral("Sale della catena sul server."), QStringLiteral("n"),
                      rapido ? QStringLiteral("5") : QStringLiteral("200")});
    parser.addOption({QStringLiteral("dettagli"),
                      QStringLiteral("Tempo di ogni tipo di chiamata e di ogni istruzione del minimo.")});
    parser.addOption({QStringLiteral("ritmo-ms"),
                      QStringLiteral("Ogni cassa salva ogni tanti ms (0: di continuo)."), QStringLiteral("ms"),
                      QStringLiteral("1000")});
    parser.addOption({QStringLiteral("salta"), QStringLiteral("Parti da saltare: casse, catena, rete."),
                      QStringLiteral("elenco")});
    QCommandLineOption cassa(QStringLiteral("cassa"), QString(), QStringLiteral("indirizzo"));
    cassa.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(cassa);
    parser.addPositionalArgument(QStringLiteral("cassa"), QString());
    parser.process(app);
    if (parser.isSet(cassa))
        return CasseConcorrenti::eseguiCassa(parser.value(cassa), parser.positionalArguments().value(0).toInt(),
                                             parser.positionalArguments().value(1).toInt(),
                                             parser.positionalArguments().value(2).toInt(),
                                             parser.positionalArguments().value(3).toInt());
    const int ripetizioni = parser.value(QStringLiteral("ripetizioni")).toInt();
    const int giorniAnno = parser.value(QStringLiteral("giorni-anno")).toInt();
    const int secondi = parser.value(QStringLiteral("secondi")).toInt();
    const int ritmoMs = parser.value(QStringLiteral("ritmo-ms")).toInt();
    const QStringList salta = parser.value(QStringLiteral("salta")).split(u',');
    GuardiaMessaggi guardia;

    // Static, so that a bench that stops half-way (std::exit on a failed statement) still
    // stops its server and removes its folder; otherwise stopped before the application ends.
    static std::unique_ptr<ClusterProva> cluster = std::make_unique<ClusterProva>();
    ClusterProva& server = *cluster;
    if (!server.inizializza() ||
        !server.avvia({QStringLiteral("max_connections=300"), QStringLiteral("shared_buffers=256MB")})) {
        std::fprintf(stderr, "server di prova non avviato: %s\n", qPrintable(server.errore()));
        cluster.reset();
        return 1;
    }
    out() << "server: PostgreSQL in " << server.cartella() << (rapido ? " (misure rapide)" : "") << Qt::endl;

    // One day and ten years, each with a copy for the floor.
    QElapsedTimer generazione;
    generazione.start();
    const SalaServer giorno = SalaServer::crea(server, QStringLiteral("sala_1g"), UltimoGiorno, 1);
    const SalaServer dieci = SalaServer::crea(server, QStringLiteral("sala_10a"), UltimoGiorno, giorniAnno * 10);
    out() << "storico di 10 anni scritto con COPY in " << generazione.elapsed() / 1000.0 << " s, "
          << dieci.dimensione() / (1024 * 1024) << " MB" << Qt::endl;
    const SalaServer giornoCopia = SalaServer::copia(server, giorno, QStringLiteral("sala_1g_minimo"));
    const SalaServer dieciCopia = SalaServer::copia(server, dieci, QStringLiteral("sala_10a_minimo"));
    {
        const bool dettagli = parser.isSet(QStringLiteral("dettagli"));
        Banco b1(giorno, &giornoCopia, dettagli);
        Banco b10(dieci, &dieciCopia, dettagli);
        suDisco(dieci);
        {
            const Processi::StessoCore core = clientSuUnCore(giorno);
            out() << "client e " << core.spostati() << " processi del server su un solo core" << Qt::endl;
            misuraStorici(b1, b10, ripetizioni);
        }
        if (dettagli)
            stampaDettagli(b1, b10);
        stampaBanco("1 giorno", b1);
        stampaBanco("10 anni", b10);
        figura("ratio", QStringLiteral("pg_save_vs_floor"), rapporto(b10.salvataggio.mediana(), b10.pavimentoSalva.mediana()));
        figura("ratio", QStringLiteral("pg_first_save_vs_floor"), rapporto(b10.primo.mediana(), b10.pavimentoPrimo.mediana()));
        figura("ratio", QStringLiteral("pg_save_10y_vs_1d"), rapporto(b10.salvataggio.mediana(), b1.salvataggio.mediana()));
        figura("ratio", QStringLiteral("pg_first_save_10y_vs_1d"), rapporto(b10.primo.mediana(), b1.primo.mediana()));
        figura("ratio", QStringLiteral("pg_page_10y_vs_1d"), rapporto(b10.pagina.mediana(), b1.pagina.mediana()));
        figura("ratio", QStringLiteral("pg_total_10y_vs_1d"), rapporto(b10.totale.mediana(), b1.totale.mediana()));
        figura("ms", QStringLiteral("pg_save_10y_ms"), b10.salvataggio.mediana());
        figura("ms", QStringLiteral("pg_floor_save_10y_ms"), b10.pavimentoSalva.mediana());
        figura("ms", QStringLiteral("pg_first_save_10y_ms"), b10.primo.mediana());
        figura("ms", QStringLiteral("pg_floor_first_save_10y_ms"), b10.pavimentoPrimo.mediana());
        figura("ms", QStringLiteral("pg_page_10y_ms"), b10.pagina.mediana());
        figura("ms", QStringLiteral("pg_total_10y_ms"), b10.totale.mediana());
    }

    if (!salta.contains(QStringLiteral("rete"))) {
        const Rete r = misuraRete(server, dieci, dieciCopia, rapido ? 3 : 7, rapido ? 2 : 5);
        out() << "\n== attraverso la staffetta (10 ms per verso: 20 ms di andata e ritorno)\n"
              << "  salvataggio (modifica)        " << r.salvataggio.descrizione() << '\n'
              << "  primo salvataggio del giorno  " << r.primo.descrizione() << '\n'
              << "  pagina di 16 pulsanti         " << r.pagina.descrizione() << '\n'
              << "  avvio fino al modulo disegnato " << r.avvio.descrizione() << '\n';
        figura("count", QStringLiteral("pg_round_trips_per_save"), r.viaggiSalva.mediana());
        figura("count", QStringLiteral("pg_round_trips_per_first_save"), r.viaggiPrimo.mediana());
        figura("count", QStringLiteral("pg_round_trips_per_page"), r.viaggiPagina.mediana());
        figura("count", QStringLiteral("pg_round_trips_floor_save"), r.viaggiPavimento.mediana());
        figura("count", QStringLiteral("pg_round_trips_floor_first_save"), r.viaggiPavimentoPrimo.mediana());
        figura("ms", QStringLiteral("pg_save_wan_20ms_ms"), r.salvataggio.mediana());
        figura("ms", QStringLiteral("pg_first_save_wan_20ms_ms"), r.primo.mediana());
        figura("ms", QStringLiteral("pg_page_wan_20ms_ms"), r.pagina.mediana());
        figura("ms", QStringLiteral("pg_start_wan_20ms_ms"), r.avvio.mediana());
    }

    if (!salta.contains(QStringLiteral("casse"))) {
        QList<SalaServer> sale;
        for (int s = 0; s < 16; ++s) {
            sale << SalaServer::crea(server, QStringLiteral("cassa_%1").arg(s), UltimoGiorno, 30);
            CasseConcorrenti::preparaSala(sale.last());
        }
        const auto riporta = [](const char* nome, const CasseConcorrenti::Esito& e) {
            out() << QStringLiteral("  %1: %2 salvataggi, p99 %3 ms, %4\n")
                         .arg(QLatin1String(nome), -28)
                         .arg(e.salvataggi)
                         .arg(e.latenze.quantile(0.99), 0, 'f', 1)
                         .arg(e.latenze.descrizione());
            out() << QStringLiteral("    errori %1, testate doppie %2, buchi nel registro %3, numeri ripetuti %4, "
                                    "registro in passo con i salvataggi: %5\n")
                         .arg(e.errori)
                         .arg(e.testateDoppie)
                         .arg(e.buchiRegistro)
                         .arg(e.numeriRipetuti)
                         .arg(e.registroInPasso ? QStringLiteral("sì") : QStringLiteral("NO"));
            if (!e.giriPerCassa.isEmpty())
                out() << QStringLiteral("    salvataggi per cassa da %1 a %2; tempo delle casse dentro un salvataggio %3%\n")
                             .arg(*std::min_element(e.giriPerCassa.begin(), e.giriPerCassa.end()))
                             .arg(*std::max_element(e.giriPerCassa.begin(), e.giriPerCassa.end()))
                             .arg(rapporto(e.msInSalvataggio, e.msDiLavoro) * 100, 0, 'f', 0);
            out() << QStringLiteral("    CPU delle casse %1 s in %2 s; core della macchina occupati al %3% "
                                    "(casse, server e tutto il resto)\n")
                         .arg(e.msCpuCasse / 1000, 0, 'f', 1)
                         .arg(e.secondi)
                         .arg(e.quotaCpuMacchina * 100, 0, 'f', 0);
            for (const QString& m : e.messaggi)
                out() << "    " << m << '\n';
            out().flush();
        };
        out() << "\n== casse che salvano insieme per " << secondi << " s (controlli attivi: PIN e registro), "
              << (ritmoMs > 0 ? QStringLiteral("un salvataggio ogni %1 ms per cassa").arg(ritmoMs)
                              : QStringLiteral("ogni cassa di continuo"))
              << "\n";
        const auto una = CasseConcorrenti::misura({sale.at(0)}, 1, secondi, ritmoMs);
        riporta("1 cassa", una);
        const auto tutte = CasseConcorrenti::misura(sale, 64, secondi, ritmoMs);
        riporta("64 casse in 16 sale", tutte);
        const auto unaSala = CasseConcorrenti::misura({sale.at(1)}, 16, secondi, ritmoMs);
        riporta("16 casse in una sala", unaSala);
        const double p99 = una.latenze.quantile(0.99);
        figura("ratio", QStringLiteral("pg_p99_64desks_vs_1desk"), rapporto(tutte.latenze.quantile(0.99), p99));
        figura("ratio", QStringLiteral("pg_p99_16desks_one_hall_vs_1desk"), rapporto(unaSala.latenze.quantile(0.99), p99));
        figura("ms", QStringLiteral("pg_p99_1desk_ms"), p99);
        for (const auto& [nome, e] : {std::pair{"64desks", &tutte}, std::pair{"16desks_one_hall", &unaSala}}) {
            figura("count", QStringLiteral("pg_%1_saves").arg(QLatin1String(nome)), e->salvataggi);
            figura("count", QStringLiteral("pg_%1_errors").arg(QLatin1String(nome)), e->errori);
            figura("count", QStringLiteral("pg_%1_duplicate_headers").arg(QLatin1String(nome)), e->testateDoppie);
            figura("count", QStringLiteral("pg_%1_register_gaps").arg(QLatin1String(nome)),
                   e->buchiRegistro + e->numeriRipetuti + (e->registroInPasso ? 0 : 1));
        }
    }

    if (!salta.contains(QStringLiteral("catena"))) {
        int sale = parser.value(QStringLiteral("sale")).toInt();
        const long long perSala = dieci.dimensione();
        const qint64 libero = QStorageInfo(server.cartella()).bytesAvailable();
        // Ten GB are left to everything else on the disk.
        const long long possibili = (libero - 10LL * 1024 * 1024 * 1024) / perSala;
        out() << "\n== catena: " << sale << " sale da " << perSala / (1024 * 1024) << " MB, disco libero "
              << libero / (1024 * 1024 * 1024) << " GB\n";
        if (possibili < sale) {
            out() << "  il disco ne contiene solo " << possibili << ": misuro con quelle\n";
            sale = int(std::max(2LL, possibili));
        }
        // Ten times the other figures' measures: the two are taken a minute apart, and a burst
        // of the server's own work in one of them would otherwise decide the ratio.
        const Sala sola = misuraSala(dieci, ripetizioni * 10);
        QElapsedTimer copie;
        copie.start();
        // The first hall is the one measured; the others are copies of it, file by file (faster
        // than writing each with COPY, and the same volume on the server).
        for (int s = 1; s < sale; ++s)
            SalaServer::copia(server, dieci, QStringLiteral("catena_%1").arg(s));
        out() << "  " << sale - 1 << " copie in " << copie.elapsed() / 1000.0 << " s" << Qt::endl;
        out() << "  scritte su disco in " << suDisco(dieci) / 1000.0 << " s" << Qt::endl;
        const Sala inCatena = misuraSala(dieci, ripetizioni * 10);
        out() << "  salvataggio, sola: " << sola.salvataggio.descrizione() << "\n  salvataggio, in catena: "
              << inCatena.salvataggio.descrizione() << "\n  pagina, sola: " << sola.pagina.descrizione()
              << "\n  pagina, in catena: " << inCatena.pagina.descrizione() << '\n';
        const double salva = rapporto(inCatena.salvataggio.mediana(), sola.salvataggio.mediana());
        const double pagina = rapporto(inCatena.pagina.mediana(), sola.pagina.mediana());
        figura("ratio", QStringLiteral("pg_chain_vs_hall"), std::max(salva, pagina));
        figura("ratio", QStringLiteral("pg_chain_save_vs_hall"), salva);
        figura("ratio", QStringLiteral("pg_chain_page_vs_hall"), pagina);
        figura("count", QStringLiteral("pg_chain_halls"), sale);
    }

    if (!guardia.testi().isEmpty()) {
        out() << "\nMessaggi inattesi durante le misure (operazioni fallite):\n";
        for (const QString& testo : guardia.testi())
            out() << "  " << testo << '\n';
    }
    cluster.reset();
    return guardia.testi().isEmpty() ? 0 : 1;
}
