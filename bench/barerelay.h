#pragma once
// The least a relay can do, the baseline the host is measured against: greet
// each connection with its slot and pass every message on at once, to the
// others only or, as the host relays chat, to everybody.

#include "framer.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <vector>

class BareRelay : public QTcpServer {
public:
    explicit BareRelay(bool toSender = false) : m_toSender(toSender) { listen(QHostAddress::LocalHost); }

protected:
    void incomingConnection(qintptr fd) override
    {
        auto *s = new QTcpSocket(this);
        s->setSocketDescriptor(fd);
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const int slot = int(m_peers.size()) + 1;
        m_peers.push_back(s);
        auto *framer = new wire::Framer;
        connect(s, &QObject::destroyed, [framer] { delete framer; });
        connect(s, &QTcpSocket::readyRead, this, [this, s, framer] {
            QList<QByteArray> messages;
            framer->feed(s->readAll(), messages);
            for (const QByteArray &m : messages)
                for (QTcpSocket *other : m_peers)
                    if (m_toSender || other != s)
                        other->write(m + char(0xFF));
        });
        s->write("CMD_sendlogininfo+" + QByteArray::number(slot) + char(0xFF));
    }

private:
    bool m_toSender;
    std::vector<QTcpSocket *> m_peers;
};
