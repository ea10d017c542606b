#pragma once
// A stand-in host for client tests: accepts one connection and lets the test
// write host messages to it and read what the client sends.

#include "message.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

class FakeHost {
public:
    FakeHost() { server.listen(QHostAddress::LocalHost); }
    quint16 port() const { return server.serverPort(); }

    bool accept()
    {
        if (!server.hasPendingConnections() && !server.waitForNewConnection(3000))
            return false;
        peer = server.nextPendingConnection();
        peer->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return peer != nullptr;
    }
    // Writes host messages (each given without its terminator).
    void say(std::initializer_list<QByteArray> messages)
    {
        for (const QByteArray &m : messages)
            peer->write(m + wire::Terminator);
        peer->flush();
    }
    // Everything the client sent so far.
    QByteArray heard(int waitMs = 100)
    {
        QTest::qWait(waitMs);
        received += peer->readAll();
        QByteArray out = received;
        received.clear();
        return out;
    }

    QTcpServer server;
    QTcpSocket *peer = nullptr;
    QByteArray received;
};

// Says the messages and waits until the window has handled every one.
template <typename Window>
void feedWindow(FakeHost &host, Window &w, std::initializer_list<QByteArray> messages, int settleMs = 20)
{
    host.say(messages);
    QTest::qWait(settleMs);
    QTRY_COMPARE(w.model().queuedMessages(), 0);
}

// Starts a window joining this host as "Ann" and accepts its connection;
// the window has no slot yet. Null when the connection did not come.
template <typename Window> std::unique_ptr<Window> joinWindow(FakeHost &host)
{
    auto w = std::make_unique<Window>();
    w->setArguments({"Ann", "127.0.0.1", "false"});
    w->setPort(host.port());
    w->show();
    if (!host.accept())
        return nullptr;
    return w;
}
