// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sched.h>

// Programs the benchmark starts and times from outside.
namespace Processi {

// Milliseconds from the start of the program to the first paint of its window, as the
// program itself reports it ("disegnato <CLOCK_MONOTONIC ns>") before ending by itself.
double finoAlDisegno(const QString& programma, const QStringList& argomenti,
                     const QProcessEnvironment& ambiente);
// Runs a program to its end and gives its standard output; aborts the benchmark when it
// fails.
QByteArray uscita(const QString& programma, const QStringList& argomenti);
// CLOCK_MONOTONIC in nanoseconds, the clock the programs report with.
long long adessoNs();

// The calling thread and the processes `altri` on one core, the first this thread may use,
// for as long as the object lives; then the thread gets back the cores it had (the other
// processes keep theirs). On two cores a client and a server process land on the same core
// or on different ones by chance, and each round trip costs more or less with it: one core
// for all of them makes the comparison of two ways of saving the same from run to run, and
// the harder one, since the client's time and the server's add up.
class StessoCore {
public:
    explicit StessoCore(const QList<long long>& altri);
    ~StessoCore();
    StessoCore(const StessoCore&) = delete;
    StessoCore& operator=(const StessoCore&) = delete;
    // The processes moved to the core (those that ended meanwhile are not counted).
    int spostati() const { return m_spostati; }

private:
    cpu_set_t m_prima; // the thread's cores before
    int m_spostati = 0;
};

} // namespace Processi
