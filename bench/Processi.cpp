// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Processi.h"

#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace Processi {

namespace {
QByteArray attendi(QProcess& processo, const QString& programma) {
    if (!processo.waitForFinished(600000) || processo.exitStatus() != QProcess::NormalExit ||
        processo.exitCode() != 0) {
        std::fprintf(stderr, "%s non è terminato bene: %s\n%s\n", qPrintable(programma),
                     qPrintable(processo.errorString()),
                     processo.readAllStandardError().constData());
        std::exit(1);
    }
    return processo.readAllStandardOutput();
}
} // namespace

StessoCore::StessoCore(const QList<long long>& altri) {
    if (sched_getaffinity(0, sizeof m_prima, &m_prima) != 0) {
        std::perror("sched_getaffinity");
        std::exit(1);
    }
    int core = 0;
    while (core < CPU_SETSIZE && !CPU_ISSET(core, &m_prima))
        ++core;
    cpu_set_t uno;
    CPU_ZERO(&uno);
    CPU_SET(core, &uno);
    if (sched_setaffinity(0, sizeof uno, &uno) != 0) {
        std::perror("sched_setaffinity");
        std::exit(1);
    }
    for (long long pid : altri)
        if (sched_setaffinity(static_cast<pid_t>(pid), sizeof uno, &uno) == 0)
            ++m_spostati;
}

StessoCore::~StessoCore() {
    sched_setaffinity(0, sizeof m_prima, &m_prima);
}

long long adessoNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

double finoAlDisegno(const QString& programma, const QStringList& argomenti,
                     const QProcessEnvironment& ambiente) {
    QProcess processo;
    processo.setProcessEnvironment(ambiente);
    const long long inizio = adessoNs();
    processo.start(programma, argomenti);
    const QByteArray testo = attendi(processo, programma);
    const qsizetype pos = testo.indexOf("disegnato ");
    if (pos < 0) {
        std::fprintf(stderr, "%s non ha detto quando ha disegnato la finestra\n",
                     qPrintable(programma));
        std::exit(1);
    }
    const long long disegnato = testo.mid(pos + 10).trimmed().split('\n').value(0).toLongLong();
    return static_cast<double>(disegnato - inizio) / 1e6;
}

QByteArray uscita(const QString& programma, const QStringList& argomenti) {
    QProcess processo;
    processo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processo.start(programma, argomenti);
    return attendi(processo, programma);
}

} // namespace Processi
