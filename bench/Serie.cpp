// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Serie.h"

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>

double Serie::quantile(double q) const {
    if (m_valori.empty())
        return 0;
    std::vector<double> ordinati = m_valori;
    std::sort(ordinati.begin(), ordinati.end());
    const double posizione = q * static_cast<double>(ordinati.size() - 1);
    const auto sotto = static_cast<std::size_t>(posizione);
    const std::size_t sopra = std::min(sotto + 1, ordinati.size() - 1);
    const double frazione = posizione - static_cast<double>(sotto);
    return ordinati[sotto] + (ordinati[sopra] - ordinati[sotto]) * frazione;
}

QString Serie::descrizione() const {
    return QStringLiteral("%1 ms (p25 %2 – p75 %3, min %4, n %5)")
        .arg(mediana(), 0, 'f', 3)
        .arg(quantile(0.25), 0, 'f', 3)
        .arg(quantile(0.75), 0, 'f', 3)
        .arg(quantile(0), 0, 'f', 3)
        .arg(m_valori.size());
}

double millisecondi(const std::function<void()>& azione) {
    QElapsedTimer t;
    t.start();
    azione();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void cronometra(Serie& muro, Serie& cpu, const std::function<void()>& azione) {
    const double inizio = cpuMs();
    muro.aggiungi(millisecondi(azione));
    cpu.aggiungi(cpuMs() - inizio);
}
