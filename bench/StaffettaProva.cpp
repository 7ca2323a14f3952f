// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A TCP relay on loopback in front of a server's Unix socket, for the benchmarks of a far
// server. Prints the port it listens on. On standard input, "conta" answers "lotti N": the
// round trips since the last "conta" (see below).
// --ritardo MS holds every chunk MS ms in each direction before passing it on, as a link
// with a round-trip time of twice MS would (these machines' kernels have no netem).
//
// Counting a round trip: a batch is what a client sends without having received anything
// since its previous batch. A client chunk starts a new batch only if the relay has
// delivered server data to that client since the client's last chunk; chunks sent one after
// the other (a pipeline, or one message split over several writes) are one batch, and so
// are pipelined sends made while the answer is still on its way. Each batch waited for
// the answer to the one before it, so the batches are the round trips the client paid for.
#include <QCoreApplication>
#include <QHostAddress>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {
long long lotti = 0;
int ritardoMs = 0;

// Passes data on now, or after the delay; the order of the chunks is kept because each
// waits the same time and the timers fire in the order they were set.
template <typename Destinazione>
void passa(Destinazione* verso, QByteArray dati, const std::function<void()>& consegnato = {}) {
    if (ritardoMs <= 0) {
        verso->write(dati);
        if (consegnato)
            consegnato();
        return;
    }
    QTimer::singleShot(ritardoMs, Qt::PreciseTimer, verso, [verso, dati = std::move(dati), consegnato] {
        verso->write(dati);
        if (consegnato)
            consegnato();
    });
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList argomenti = QCoreApplication::arguments();
    const qsizetype opzione = argomenti.indexOf(QStringLiteral("--ritardo"));
    if (opzione > 0 && opzione + 1 < argomenti.size())
        ritardoMs = argomenti.at(opzione + 1).toInt();
    if (argc < 2 || std::strncmp(argv[1], "--", 2) == 0) {
        std::fputs("uso: staffetta_prova SOCKET_DEL_SERVER [--ritardo MS]\n", stderr);
        return 2;
    }
    const QString percorso = QString::fromLocal8Bit(argv[1]);
    QTcpServer ascolto;
    if (!ascolto.listen(QHostAddress::LocalHost, 0))
        return 1;
    QObject::connect(&ascolto, &QTcpServer::newConnection, &ascolto, [&] {
        while (QTcpSocket* cliente = ascolto.nextPendingConnection()) {
            cliente->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            auto* server = new QLocalSocket(cliente);
            server->connectToServer(percorso);
            if (!server->waitForConnected(2000)) {
                cliente->abort();
                cliente->deleteLater();
                continue;
            }
            // Whether the client has been given an answer since its last chunk.
            auto risposto = std::make_shared<bool>(true);
            const auto dalCliente = [cliente, server, risposto] {
                const QByteArray dati = cliente->readAll();
                if (dati.isEmpty())
                    return;
                if (*risposto)
                    ++lotti;
                *risposto = false;
                passa(server, dati);
            };
            QObject::connect(cliente, &QTcpSocket::readyRead, server, dalCliente);
            QObject::connect(server, &QLocalSocket::readyRead, cliente, [cliente, server, risposto] {
                passa(cliente, server->readAll(), [risposto] { *risposto = true; });
            });
            QObject::connect(cliente, &QTcpSocket::disconnected, cliente, [cliente, server] {
                server->abort();
                cliente->deleteLater();
            });
            QObject::connect(server, &QLocalSocket::disconnected, cliente, [cliente] { cliente->disconnectFromHost(); });
            if (cliente->bytesAvailable() > 0)
                dalCliente();
        }
    });
    QSocketNotifier comandi(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&comandi, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t letti = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (letti <= 0) {
            QCoreApplication::quit();
            return;
        }
        const QByteArray comando(buffer, int(letti));
        if (comando.contains("conta")) {
            std::printf("lotti %lld\n", lotti);
            std::fflush(stdout);
            lotti = 0;
        }
    });
    std::printf("%d\n", int(ascolto.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
