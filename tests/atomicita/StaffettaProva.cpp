// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A TCP relay on loopback in front of a server's Unix socket, for the tests of a cut
// connection. Prints the port it listens on; "taglia" on standard input cuts every
// connection open through it at once (a reset, as a failing network gives) and answers
// "tagliato"; new connections are relayed as before.
#include <QCoreApplication>
#include <QHostAddress>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("uso: staffetta_prova SOCKET_DEL_SERVER\n", stderr);
        return 2;
    }
    const QString percorso = QString::fromLocal8Bit(argv[1]);
    QTcpServer ascolto;
    if (!ascolto.listen(QHostAddress::LocalHost, 0))
        return 1;
    std::vector<QPointer<QTcpSocket>> aperte;
    QObject::connect(&ascolto, &QTcpServer::newConnection, &ascolto, [&] {
        while (QTcpSocket* cliente = ascolto.nextPendingConnection()) {
            auto* server = new QLocalSocket(cliente);
            server->connectToServer(percorso);
            if (!server->waitForConnected(2000)) {
                cliente->abort();
                cliente->deleteLater();
                continue;
            }
            QObject::connect(cliente, &QTcpSocket::readyRead, server, [cliente, server] { server->write(cliente->readAll()); });
            QObject::connect(server, &QLocalSocket::readyRead, cliente, [cliente, server] { cliente->write(server->readAll()); });
            QObject::connect(cliente, &QTcpSocket::disconnected, cliente, [cliente, server] {
                server->abort();
                cliente->deleteLater();
            });
            QObject::connect(server, &QLocalSocket::disconnected, cliente, [cliente] { cliente->disconnectFromHost(); });
            if (cliente->bytesAvailable() > 0)
                server->write(cliente->readAll());
            aperte.emplace_back(cliente);
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
        if (!QByteArray(buffer, int(letti)).contains("taglia"))
            return;
        for (const QPointer<QTcpSocket>& cliente : aperte)
            if (cliente) {
                cliente->findChild<QLocalSocket*>()->abort();
                cliente->abort();
            }
        aperte.clear();
        std::fputs("tagliato\n", stdout);
        std::fflush(stdout);
    });
    std::printf("%d\n", int(ascolto.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
