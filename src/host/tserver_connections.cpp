// Accepting, login, leaving, kicking and the plain relays.

#include "message.h"
#include "tserver.h"

#include <QTcpServer>
#include <QTcpSocket>

using wire::FieldReader;
using wire::Message;

int TServer::takeSlot()
{
    if (slotcount == 0) {
        slotcount = 1;
        return 1;
    }
    int i = slotcount;
    for (int s = 1; s <= slotcount; ++s) {
        if (!tplayers[s].active) {
            i = s;
            break;
        }
    }
    if (tplayers[i].active) {
        if (i >= MaxUsers)
            return 0;
        i = ++slotcount;
    }
    return i;
}

void TServer::greet(int slot)
{
    newslot = slot;
    tplayers[slot].active = true;
    m_game.occupy(slot);
    sendTo(slot, Message("CMD_sendlogininfo").field(slot).end());
}

void TServer::Sock1Accept()
{
    while (QTcpSocket *sock = Sock1->nextPendingConnection()) {
        const int i = takeSlot();
        if (i == 0) {
            // Refused: the connection only hears that the game is full.
            sock->write(Message("CMD_full").endPlus());
            connect(sock, &QTcpSocket::disconnected, sock, &QObject::deleteLater);
            sock->disconnectFromHost();
            continue;
        }
        // Game messages are small and wanted at once: no coalescing delay.
        sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        tplayers[i].playersock = sock;
        Connection &c = m_connections[sock];
        c.id = m_nextConnection++;
        c.slot = i;
        sock->setProperty("slot", i);
        connect(sock, &QTcpSocket::readyRead, this, [this, sock] { Sock1Read(sock); });
        connect(sock, &QTcpSocket::errorOccurred, this, [this, sock](QAbstractSocket::SocketError e) {
            if (e == QAbstractSocket::RemoteHostClosedError)
                tempsockDisconnect(sock);
        });
        connect(sock, &QTcpSocket::disconnected, this,
                [this, sock] { tempsockInfo(sock, QStringLiteral("Socket Closed")); });
        greet(i);
    }
}

int TServer::attachPeer()
{
    const int i = takeSlot();
    if (i != 0)
        greet(i);
    return i;
}

void TServer::detachPeer(int slot)
{
    if (slot >= 1 && slot <= MaxUsers && !tplayers[slot].playersock)
        leave(slot);
}

void TServer::Sock1Read(QTcpSocket *sock)
{
    auto it = m_connections.find(sock);
    if (it == m_connections.end())
        return;
    QList<QByteArray> messages;
    const QByteArray bytes = sock->readAll();
    m_bytesReceived += bytes.size();
    const bool ok = it->framer.feed(bytes, messages);
    for (QByteArray &m : messages)
        receivedlist.enqueue({it->slot, it->id, std::move(m)});
    if (!receivedlist.isEmpty() && !socktimer.isActive())
        socktimer.start();
    if (!ok) {
        std::fprintf(stderr, "wordmire host: slot %d sent an unterminated flood; closing it\n", it->slot);
        sock->abort();
    }
}

void TServer::tempsockDisconnect(QTcpSocket *sock)
{
    const int slot = m_connections.value(sock).slot;
    if (slot > 0 && tplayers[slot].active && tplayers[slot].playersock == sock)
        sock->close();
}

void TServer::tempsockInfo(QTcpSocket *sock, const QString &info)
{
    if (info != QLatin1String("Socket Closed"))
        return;
    const auto it = m_connections.find(sock);
    if (it == m_connections.end())
        return;
    const int slot = it->slot;
    m_connections.erase(it);
    sock->deleteLater();

    if (tplayers[slot].playersock != sock)
        return;
    tplayers[slot].playersock = nullptr;
    leave(slot);
}

void TServer::leave(int slot)
{
    tplayer &p = tplayers[slot];
    if (!p.active)
        return;
    sendAllBut(slot, Message("CMD_playerdisconnected").field(slot).field(p.name).end());
    p.active = false;
    p.name.clear();
    m_game.vacate(slot);
    publish();
}

void TServer::receivedlogininfo(const QByteArray &data)
{
    FieldReader r(data);
    const int slot = r.number();
    const QByteArray version = r.field();
    tplayer &p = tplayers[slot];
    p.name = wire::safeName(r.rest());
    p.active = true;
    m_game.setName(slot, p.name);

    sendAll(Message("CMD_newplayerinfo").field(slot).field(p.name).field("0").end());

    QByteArray list;
    for (int i = 1; i <= slotcount; ++i) {
        if (i == slot || !tplayers[i].active)
            continue;
        const bool watching = i <= Seats && m_game.state().seats[size_t(i)].watching;
        list += '+' + QByteArray::number(i) + '+' + tplayers[i].name + (watching ? "+1" : "+0");
    }
    if (!list.isEmpty())
        sendTo(slot, Message("CMD_existingplayers").raw(list).end());

    if (version != versionText()) {
        if (tplayers[1].active)
            sendTo(1, Message("CMD_havewrongversion").field(p.name).end());
        sendTo(slot, Message("CMD_wrongversion").endPlus());
    }
    if (m_game.state().gameon)
        sendGameState(slot);
}

void TServer::kickhim(const QByteArray &data)
{
    FieldReader r(data);
    const int requester = r.number();
    const int victim = r.number();
    if (requester == 1 && victim >= 1 && victim <= MaxUsers)
        disconnectsock(victim);
}

void TServer::disconnectsock(int slot)
{
    if (!tplayers[slot].active)
        return;
    if (tplayers[slot].playersock)
        tplayers[slot].playersock->disconnectFromHost();
    else if (m_sink)
        leave(slot); // a peer without a socket goes at once

}

void TServer::chat(const QByteArray &data)
{
    FieldReader r(data);
    const QByteArray slotText = r.field();
    const int slot = wire::parseInt(slotText).value_or(0);
    sendAll(Message("CMD_chat").field(slotText).field(tplayers[slot].name + " chats: " + r.rest()).end());
}

void TServer::action(const QByteArray &data)
{
    FieldReader r(data);
    const QByteArray slotText = r.field();
    const int slot = wire::parseInt(slotText).value_or(0);
    sendAll(Message("CMD_action").field(slotText).field(tplayers[slot].name + ' ' + r.rest()).end());
}

void TServer::playasound(const QByteArray &data)
{
    FieldReader r(data);
    const QByteArray slotText = r.field();
    sendAll(Message("CMD_playasound").field(slotText).raw("+" + r.rest()).end());
}

