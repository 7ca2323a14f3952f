// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "CasseConcorrenti.h"

#include "ConnessionePg.h"
#include "DatabaseHost.h"
#include "RisponditoreBox.h"
#include "RisponditorePin.h"
#include "documento/ImpostazioniControlli.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/PulsanteGrafico.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>

using namespace KaloRefill;

namespace CasseConcorrenti {

namespace {
// Busy and total time of all the machine's cores, in clock ticks, from /proc/stat.
std::pair<long long, long long> cpuMacchina() {
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return {0, 0};
    const QList<QByteArray> campi = stat.readLine().simplified().split(' ');
    long long totale = 0;
    for (qsizetype i = 1; i < campi.size(); ++i)
        totale += campi.at(i).toLongLong();
    // idle and iowait
    return {totale - campi.value(4).toLongLong() - campi.value(5).toLongLong(), totale};
}

// One sleep to the moment (ms since the epoch): a desk that woke every millisecond to look
// at the clock would load the machine it measures, 64 desks a thousand times a second.
void dormiFinoA(qint64 momento) {
    for (qint64 resta = momento - QDateTime::currentMSecsSinceEpoch(); resta > 0;
         resta = momento - QDateTime::currentMSecsSinceEpoch())
        QThread::msleep(static_cast<unsigned long>(resta));
}

void stampa(const QString& testo) {
    std::fputs((testo + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// The business day of now, with the hall's default start of the day.
QDate giornata() {
    return ImpostazioniControlli::giornata(QDateTime::currentDateTime(), QTime(6, 0));
}

long long righeRegistro(const SalaServer& sala) {
    ConnessionePg db(sala.conninfo);
    return db.numero("SELECT count(*) FROM registrorefill");
}
} // namespace

void preparaSala(const SalaServer& sala) {
    OpzioniHost opzioni;
    opzioni.data = giornata();
    const auto host = DatabaseHost::apri(sala.indirizzo, opzioni);
    // No save of the desks needs a witness: the thresholds are far above their amounts.
    attivaControlli(*host, 32000);
    host->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), 0);
}

int eseguiCassa(const QString& indirizzo, int numero, int secondi, int ritmoMs, int faseMs) {
    // The offscreen platform says this of every window it opens; 64 desks would bury the
    // report under it.
    static const QtMessageHandler predefinito = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
        if (!testo.contains(QLatin1String("propagateSizeHints")))
            predefinito(tipo, contesto, testo);
    });
    OpzioniHost opzioni;
    opzioni.data = giornata();
    opzioni.user = QStringLiteral("OP02");
    // Every desk waits for the others' saves as long as it takes: a wait is latency, not
    // an error.
    opzioni.attesaBloccoMs = 60000;
    StatoModulo::istanza().applicazione = DatabaseHost::apri(indirizzo, opzioni);
    QTemporaryDir buoni;
    StatoModulo::istanza().cartellaBuoni = buoni.path();
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}});
    auto form = std::make_unique<FrmRefill>();
    form->Form_Load();
    QApplication::processEvents();
    // Each desk of a hall refills machines of its own, as cash desks of one hall do. The
    // milliseconds of a save that works; a failed one is printed as an error.
    const auto salva = [&](int i) -> std::optional<double> {
        form->CmdApparecchio[static_cast<std::size_t>(numero % FrmRefill::NumeroPulsanti)]->click();
        form->PremiTasto(QString::number(i % 9 + 1));
        const qsizetype boxPrima = box.boxes().size();
        const qsizetype padPrima = pin.pad().size();
        QElapsedTimer t;
        t.start();
        form->CmdSalva->click();
        const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (form->RefillAperto == 0 && box.boxes().size() == boxPrima)
            return ms;
        QStringList testi = box.testi().mid(boxPrima);
        for (qsizetype p = padPrima; p < pin.pad().size(); ++p)
            testi << QStringLiteral("tastierino PIN: ") + pin.pad().at(p) + QStringLiteral(": ") + pin.richieste().value(p);
        stampa(QStringLiteral("errore ") + (testi.isEmpty() ? QStringLiteral("Refill rimasto aperto") : testi.join(u" / ")).simplified());
        // The amount stays typed when a save fails: the next machine is opened anyway.
        if (form->RefillAperto != 0)
            form->CmdCanc->click();
        return std::nullopt;
    };
    // One save untimed, as a desk in service has made before: the first one of a process
    // also loads the fonts of the slip and prepares the server's statements.
    salva(0);
    stampa(QStringLiteral("pronto"));
    std::string linea;
    std::getline(std::cin, linea);
    const qint64 via = QString::fromStdString(linea).section(u' ', 1).toLongLong();
    dormiFinoA(via);
    const qint64 fine = via + qint64(secondi) * 1000;
    QElapsedTimer durata;
    durata.start();
    timespec cpu0{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
    const double cpuInizio = double(cpu0.tv_sec) * 1e3 + double(cpu0.tv_nsec) / 1e6;
    double inSalvataggio = 0;
    int giri = 0;
    for (int i = 0; QDateTime::currentMSecsSinceEpoch() < fine; ++i) {
        if (ritmoMs > 0) {
            const qint64 prossimo = via + faseMs + qint64(i) * ritmoMs;
            if (prossimo >= fine)
                break;
            dormiFinoA(prossimo);
        }
        const std::optional<double> ms = salva(i + 1);
        ++giri;
        if (ms) {
            inSalvataggio += *ms;
            stampa(QStringLiteral("ms %1").arg(*ms, 0, 'f', 3));
        }
    }
    // Where a desk's time went: a desk that saves little because the machine is busy with the
    // others' processes shows it here.
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const double cpuFine = double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6;
    stampa(QStringLiteral("giri %1 salvando %2 ms su %3 ms cpu %4").arg(giri).arg(inSalvataggio, 0, 'f', 0)
               .arg(durata.elapsed()).arg(cpuFine - cpuInizio, 0, 'f', 0));
    if (pin.pad().size() > 1)
        stampa(QStringLiteral("errore tastierini PIN inattesi: %1").arg(pin.pad().size() - 1));
    form.reset();
    StatoModulo::istanza().applicazione.reset();
    return 0;
}

Esito misura(const QList<SalaServer>& sale, int casse, int secondi, int ritmoMs) {
    Esito e;
    std::vector<std::unique_ptr<QProcess>> processi;
    // Qt wants a private runtime folder and warns once per process without one.
    QTemporaryDir esecuzione;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    if (!ambiente.contains(QStringLiteral("XDG_RUNTIME_DIR")))
        ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), esecuzione.path());
    std::map<QString, int> salvatiPerSala;
    for (int c = 0; c < casse; ++c) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->setProcessEnvironment(ambiente);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--cassa"), sale.at(c % sale.size()).indirizzo, QString::number(c / sale.size()),
                  QString::number(secondi), QString::number(ritmoMs),
                  QString::number(ritmoMs * c / std::max(casse, 1))});
        processi.push_back(std::move(p));
    }
    // Each desk says "pronto" once its first save is made; a failed one is said before.
    for (auto& p : processi)
        for (QByteArray riga; !riga.startsWith("pronto");) {
            while (!p->canReadLine())
                if (!p->waitForReadyRead(120000)) {
                    std::fprintf(stderr, "una cassa non è partita: %s\n", qPrintable(p->errorString()));
                    std::exit(1);
                }
            riga = p->readLine();
            if (riga.startsWith("errore ")) {
                ++e.errori;
                e.messaggi << QString::fromUtf8(riga.mid(7)).trimmed();
            }
        }
    // What the desks register from now on: their untimed first saves are made.
    std::map<QString, long long> registroPrima;
    for (const SalaServer& s : sale)
        registroPrima[s.nome] = righeRegistro(s);
    // Written out before anyone is waited for: a QProcess sends what it buffered only while
    // it is being waited on.
    const auto cpuPrima = cpuMacchina();
    const QByteArray via = "via " + QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 1000) + '\n';
    for (auto& p : processi) {
        p->write(via);
        p->waitForBytesWritten(5000);
    }
    for (int c = 0; c < casse; ++c) {
        QProcess& p = *processi[std::size_t(c)];
        if (!p.waitForFinished((secondi + 300) * 1000) || p.exitCode() != 0) {
            ++e.errori;
            e.messaggi << QStringLiteral("cassa %1 non è terminata bene").arg(c);
        }
        for (const QByteArray& riga : p.readAllStandardOutput().split('\n')) {
            if (riga.startsWith("ms ")) {
                e.latenze.aggiungi(riga.mid(3).toDouble());
                ++e.salvataggi;
                ++salvatiPerSala[sale.at(c % sale.size()).nome];
            } else if (riga.startsWith("giri ")) {
                const QList<QByteArray> parti = riga.split(' ');
                e.giriPerCassa << parti.value(1).toInt();
                e.msInSalvataggio += parti.value(3).toDouble();
                e.msDiLavoro += parti.value(6).toDouble();
                e.msCpuCasse += parti.value(9).toDouble();
            } else if (riga.startsWith("errore ")) {
                ++e.errori;
                if (e.messaggi.size() < 5)
                    e.messaggi << QString::fromUtf8(riga.mid(7));
            }
        }
    }
    const auto cpuDopo = cpuMacchina();
    e.quotaCpuMacchina = cpuDopo.second > cpuPrima.second
                             ? double(cpuDopo.first - cpuPrima.first) / double(cpuDopo.second - cpuPrima.second)
                             : 0;
    e.secondi = secondi;
    for (const SalaServer& s : sale) {
        ConnessionePg db(s.conninfo);
        e.testateDoppie += int(db.numero("SELECT count(*) FROM (SELECT 1 FROM noteteste WHERE codcausale = 'REF' "
                                         "GROUP BY dataregistrazione HAVING count(*) > 1) d"));
        // Numbers start at 1 in each hall and year: the highest minus the distinct ones
        // is what is missing.
        const ConnessionePg::Risultato r = db.esegui(
            "SELECT coalesce(sum(ultimo - distinti), 0), coalesce(sum(righe - distinti), 0) FROM ("
            "SELECT max(numero) AS ultimo, count(DISTINCT numero) AS distinti, count(*) AS righe "
            "FROM registrorefill GROUP BY codlocale, anno) n");
        e.buchiRegistro += int(r.intero(0, 0));
        e.numeriRipetuti += int(r.intero(0, 1));
        if (righeRegistro(s) - registroPrima[s.nome] != salvatiPerSala[s.nome])
            e.registroInPasso = false;
    }
    return e;
}

} // namespace CasseConcorrenti
