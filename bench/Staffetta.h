// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QProcess>

class ClusterProva;

// The relay the bench talks to the server through, for counting round trips and for a far
// server: the relay program (staffetta_prova) in front of the server's socket,
// holding every chunk `ritardoMs` in each direction. Stopped with the object.
class Staffetta final {
public:
    Staffetta(const ClusterProva& server, int ritardoMs);
    ~Staffetta();
    Staffetta(const Staffetta&) = delete;
    Staffetta& operator=(const Staffetta&) = delete;

    // The loopback port it listens on.
    int porta() const { return m_porta; }
    // Round trips since the previous call (the relay explains how it counts them).
    long long conta();

private:
    QProcess m_processo;
    int m_porta = 0;
};
