// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

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

} // namespace Processi
