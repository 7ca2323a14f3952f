// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <vector>

// The times of one operation, in milliseconds: its median and its spread.
class Serie final {
public:
    void aggiungi(double millisecondi) { m_valori.push_back(millisecondi); }
    bool vuota() const { return m_valori.empty(); }
    std::size_t quante() const { return m_valori.size(); }

    double mediana() const { return quantile(0.5); }
    // Linear between the nearest ranks; 0 for an empty series.
    double quantile(double q) const;

    // "12.34 ms (p25 11.90 – p75 12.80, min 11.20, n 41)"
    QString descrizione() const;

private:
    std::vector<double> m_valori;
};

// How long `azione` took, in milliseconds of the wall clock.
double millisecondi(const std::function<void()>& azione);
// This thread's CPU time so far, in milliseconds.
double cpuMs();
// The wall time of `azione` into one series, this thread's CPU time into the other: what
// the client itself spends, apart from waiting for the disk or the server.
void cronometra(Serie& muro, Serie& cpu, const std::function<void()>& azione);
