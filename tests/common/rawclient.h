#pragma once
// A bare peer for host tests: writes raw bytes and collects the host's
// messages, framed at 0xFF, without interpreting them.

#include "framer.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

class RawClient {
public:
    explicit RawClient(quint16 port)
    {
        QObject::connect(&sock, &QTcpSocket::readyRead, [this] {
            framer.feed(sock.readAll(), messages);
            // The seat's key is random: kept apart, so that the rest can be
            // compared exactly.
            for (qsizetype i = messages.size() - 1; i >= 0; --i)
                if (messages[i].startsWith("CMD_seatkey+")) {
                    seatKey = messages.takeAt(i).split('+').value(2);
                    ++seatKeys;
                }
        });
        sock.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

    bool connected() { return sock.state() == QAbstractSocket::ConnectedState || sock.waitForConnected(3000); }

    void write(const QByteArray &bytes)
    {
        sock.write(bytes);
        sock.flush();
    }

    // Waits until at least n messages have arrived (or timeoutMs passed).
    bool waitForMessages(qsizetype n, int timeoutMs = 3000)
    {
        QElapsedTimer t;
        t.start();
        while (messages.size() < n && t.elapsed() < timeoutMs)
            QTest::qWait(5);
        return messages.size() >= n;
    }

    bool waitForClosed(int timeoutMs = 3000)
    {
        QElapsedTimer t;
        t.start();
        while (sock.state() != QAbstractSocket::UnconnectedState && t.elapsed() < timeoutMs)
            QTest::qWait(5);
        return sock.state() == QAbstractSocket::UnconnectedState;
    }

    QByteArray take() { return messages.isEmpty() ? QByteArray() : messages.takeFirst(); }

    QTcpSocket sock;
    wire::Framer framer;
    QList<QByteArray> messages;
    QByteArray seatKey; // the last one the host gave
    int seatKeys = 0; // how many it gave
};

// Lets the event loop run for a while so that anything the host would still
// send has arrived (used to assert that nothing more comes).
inline void settle(int ms = 120)
{
    QTest::qWait(ms);
}
