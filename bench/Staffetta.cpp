// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Staffetta.h"

#include "ClusterProva.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

Staffetta::Staffetta(const ClusterProva& server, int ritardoMs) {
    m_processo.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("staffetta_prova")),
                     {QStringLiteral("%1/.s.PGSQL.%2").arg(server.cartella()).arg(server.porta()),
                      QStringLiteral("--ritardo"), QString::number(ritardoMs)});
    if (!m_processo.waitForReadyRead(10000)) {
        std::fprintf(stderr, "la staffetta non è partita\n");
        std::exit(1);
    }
    m_porta = m_processo.readLine().trimmed().toInt();
}

Staffetta::~Staffetta() {
    // The relay ends when its standard input closes.
    m_processo.closeWriteChannel();
    if (!m_processo.waitForFinished(5000))
        m_processo.kill();
    m_processo.waitForFinished();
}

long long Staffetta::conta() {
    m_processo.write("conta\n");
    while (!m_processo.canReadLine())
        if (!m_processo.waitForReadyRead(10000)) {
            std::fprintf(stderr, "la staffetta non risponde\n");
            std::exit(1);
        }
    // "lotti N"
    return m_processo.readLine().mid(6).trimmed().toLongLong();
}
