// Accepting, login, leaving, kicking and the plain relays.

#include "deadlink.h"
#include "logging.h"
#include "message.h"
#include "wiremessages.h"
#include "tserver.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace msg = wire::msg;

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
    tplayers[slot].active = true;
    tplayers[slot].loggedin = false;
    tplayers[slot].reports = 0;
    tplayers[slot].kicked = false;
    tplayers[slot].seatKey.clear();
    tplayers[slot].shownKey.clear();
    m_game.occupy(slot);
    sendTo(slot, msg::sendlogininfo(slot));
}

void TServer::Sock1Accept()
{
    while (QTcpSocket *sock = Sock1->nextPendingConnection()) {
        const int i = takeSlot();
        if (i == 0) {
            // Refused: the connection only hears that the game is full.
            sock->write(msg::full());
            connect(sock, &QTcpSocket::disconnected, sock, &QObject::deleteLater);
            sock->disconnectFromHost();
            continue;
        }
        // Game messages are small and wanted at once: no coalescing delay.
        sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        sock->setReadBufferSize(ReadBuffer);
        setKeepAlive(sock);
        tplayers[i].playersock = sock;
        Connection &c = m_connections[sock];
        c.id = m_nextConnection++;
        c.slot = i;
        c.refilledAt = m_clock.elapsed();
        sock->setProperty("slot", i);
        connect(sock, &QTcpSocket::readyRead, this, [this, sock] { Sock1Read(sock); });
        connect(sock, &QTcpSocket::errorOccurred, this, [this, sock](QAbstractSocket::SocketError e) {
            if (e == QAbstractSocket::RemoteHostClosedError)
                tempsockDisconnect(sock);
        });
        connect(sock, &QTcpSocket::disconnected, this,
                [this, sock] { tempsockInfo(sock, QStringLiteral("Socket Closed")); });
        // A slot is for somebody who logs in; a connection that stays silent
        // gives it back.
        QTimer::singleShot(m_loginTimeout, sock, [this, sock] {
            const auto it = m_connections.constFind(sock);
            if (it != m_connections.cend() && !tplayers[it->slot].loggedin)
                cutOff(sock, "did not log in in time");
        });
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
    if (it == m_connections.end() || it->closing) {
        sock->readAll();
        return;
    }
    // Enough of its messages wait already: the rest stays in the socket
    // (whose buffer is bounded) until the queue has drained.
    if (it->queue.size() >= ReadPause)
        return;
    QList<QByteArray> messages;
    const QByteArray bytes = sock->readAll();
    m_bytesReceived += bytes.size();
    // A read that would take the backlog past its bound is a flood whatever
    // its messages say (the host's own window excepted): counted, one message
    // for each terminator, not split into (say) 64,000 empty messages first,
    // which would hold up everybody else's lines on this thread.
    if (it->slot != 1 && it->queue.size() + bytes.count(wire::Terminator) > MaxBacklog) {
        cutOff(sock, "sent a flood of messages");
        return;
    }
    if (!it->framer.feed(bytes, messages)) {
        cutOff(sock, "sent an unterminated flood");
        return;
    }
    for (QByteArray &m : messages) {
        if (m.size() > MaxMessage) {
            cutOff(sock, "sent a message longer than any client sends");
            return;
        }
        it->queue.enqueue(std::move(m));
    }
    if (!it->queue.isEmpty())
        pump();
}

void TServer::cutOff(QTcpSocket *sock, const char *why)
{
    auto it = m_connections.find(sock);
    if (it == m_connections.end() || it->closing)
        return;
    it->closing = true;
    it->queue.clear();
    qCWarning(lcHost, "slot %d %s; closing it", it->slot, why);
    // Aborted from the event loop, not from inside a send or a handler that
    // may still be walking the slots.
    QTimer::singleShot(0, sock, [sock] { sock->abort(); });
}

void TServer::setKeepAlive(QTcpSocket *sock)
{
    wire::watchForDeadLink(sock->socketDescriptor());
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
    if (isHeld(slot)) {
        // A claim that did not finish: the seat waits on for its player.
        m_holds[size_t(slot)]->claimant = nullptr;
        return;
    }
    if (holdsOnDrop(slot)) {
        hold(slot);
        return;
    }
    leave(slot);
}

// ---- Holding a dropped player's seat ----------------------------------------

// A seated player (not the hosting user, whose copy is the host) whose
// connection ended mid-game without a kick.
bool TServer::holdsOnDrop(int slot) const
{
    return slot >= 2 && slot <= Seats && m_game.state().gameon && tplayers[slot].loggedin && !tplayers[slot].kicked
            && !m_sink;
}

void TServer::startHold(int seat)
{
    m_holds[size_t(seat)] = Hold{tplayers[seat].name, nullptr};
    QTimer &timer = m_holdTimers[size_t(seat)];
    timer.setSingleShot(true);
    timer.disconnect(this);
    connect(&timer, &QTimer::timeout, this, [this, seat] { endHold(seat); });
    timer.start(SeatHoldMs);
}

// The seat stays as it is (name, score, shuffles), counted as watching so
// that Klot plays it and nobody waits; the slot is nobody else's meanwhile.
void TServer::hold(int seat)
{
    startHold(seat);
    sendAllBut(seat,
            msg::systemLine(
                    tplayers[seat].name + " lost the connection; the seat is kept for them for two minutes.|clNavy"));
    m_game.justwatch(seat, true);
    publish();
}

void TServer::endHold(int seat)
{
    if (!isHeld(seat))
        return;
    Hold &h = *m_holds[size_t(seat)];
    if (h.claimant) {
        // The player is logging in again right now: their login decides.
        m_holdTimers[size_t(seat)].start(m_loginTimeout);
        return;
    }
    m_holds[size_t(seat)].reset();
    m_holdTimers[size_t(seat)].stop();
    leave(seat);
}

void TServer::endAllHolds()
{
    for (int seat = 1; seat <= Seats; ++seat) {
        if (!isHeld(seat))
            continue;
        // A login in progress goes on as an ordinary one.
        if (m_holds[size_t(seat)]->claimant) {
            m_holds[size_t(seat)].reset();
            m_holdTimers[size_t(seat)].stop();
            tplayers[seat].loggedin = false;
        } else {
            endHold(seat);
        }
    }
}

int TServer::heldSeatFor(const QByteArray &key) const
{
    if (key.isEmpty())
        return 0;
    for (int seat = 2; seat <= Seats; ++seat) {
        // A seat whose connection the host still thinks alive counts too: its
        // player's copy noticed the link die first and is back already.
        const bool waiting = isHeld(seat) ? !m_holds[size_t(seat)]->claimant : tplayers[seat].loggedin;
        if (!waiting || !m_game.state().gameon)
            continue;
        // Compared whole, in time independent of where they differ.
        const QByteArray &own = tplayers[seat].seatKey;
        if (own.size() != key.size())
            continue;
        unsigned char diff = 0;
        for (qsizetype i = 0; i < own.size(); ++i)
            diff |= uchar(own[i] ^ key[i]);
        if (diff == 0)
            return seat;
    }
    return 0;
}

// A connection shows the key it was given for a seat before it logs in
// again; only its login can then take the held seat back.
void TServer::handle(const wire::up::ShowKey &shown)
{
    tplayer &p = tplayers[shown.slot];
    if (!p.loggedin && shown.key.size() <= SeatKeyLength)
        p.shownKey = shown.key;
}

// A fresh key for a seated player's copy (the hosting user's seat is never
// held: its copy is the host).
void TServer::giveSeatKey(int slot)
{
    if (slot < 2 || slot > Seats || !tplayers[slot].playersock)
        return;
    if (tplayers[slot].seatKey.isEmpty()) {
        QByteArray raw(SeatKeyLength / 2, Qt::Uninitialized);
        QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(raw.data()), raw.size() / 4);
        tplayers[slot].seatKey = raw.toHex();
    }
    sendTo(slot, msg::seatkey(slot, tplayers[slot].seatKey));
}

// The connection offered `slot` at its arrival moves to the held seat: the
// offered slot goes back unannounced, and the client is offered the seat's
// slot, to which it logs in again.
void TServer::claimHold(int slot, int seat)
{
    if (!isHeld(seat)) {
        // The seat's old connection is dead (its player is here on a new
        // one): it goes quietly, and the seat waits for this login.
        startHold(seat);
        if (QTcpSocket *old = tplayers[seat].playersock) {
            tplayers[seat].playersock = nullptr;
            cutOff(old, "was replaced by its player's new connection");
        }
    }
    QTcpSocket *sock = tplayers[slot].playersock;
    tplayers[slot] = tplayer{};
    m_game.vacate(slot);
    tplayers[seat].playersock = sock;
    m_holds[size_t(seat)]->claimant = sock;
    if (const auto it = m_connections.find(sock); it != m_connections.end())
        it->slot = seat;
    if (sock) {
        sock->setProperty("slot", seat);
        // A claim is answered by a login at once, or the connection goes.
        QTimer::singleShot(m_loginTimeout, sock, [this, sock, seat] {
            if (isHeld(seat) && m_holds[size_t(seat)]->claimant == sock)
                cutOff(sock, "did not log in to its seat in time");
        });
    }
    sendTo(seat, msg::sendlogininfo(seat));
}

// The player is back: same slot, score and shuffles, watching off, and the
// catch-up a late joiner gets.
void TServer::returnToSeat(int seat, const QByteArray &version)
{
    m_holds[size_t(seat)].reset();
    m_holdTimers[size_t(seat)].stop();
    tplayer &p = tplayers[seat];
    p.loggedin = true;
    sendTo(seat, msg::newplayerinfo(seat, p.name));
    sendPresent(seat);
    if (version != versionText())
        sendTo(seat, msg::wrongversion());
    sendAll(msg::systemLine(p.name + " is back in the game.|clNavy"));
    if (m_game.state().gameon)
        sendGameState(seat);
    giveSeatKey(seat);
    m_game.justwatch(seat, false);
    publish();
}

void TServer::leave(int slot)
{
    tplayer &p = tplayers[slot];
    if (!p.active)
        return;
    sendAllBut(slot, msg::playerdisconnected(slot, p.name));
    p.active = false;
    p.loggedin = false;
    p.name.clear();
    p.seatKey.clear();
    m_game.vacate(slot);
    publish();
}

// Who else is here, for a user who just logged in (or came back).
void TServer::sendPresent(int slot)
{
    QList<msg::Present> others;
    for (int i = 1; i <= slotcount; ++i) {
        if (i != slot && tplayers[i].active)
            others.append({i, tplayers[i].name, i <= Seats && m_game.state().seats[size_t(i)].watching});
    }
    if (!others.isEmpty())
        sendTo(slot, msg::existingplayers(others));
}

void TServer::handle(const wire::up::Login &login)
{
    const int slot = login.slot;
    const QByteArray &version = login.version;
    tplayer &p = tplayers[slot];
    // The held seat's player logging in again, on the seat's slot now.
    if (isHeld(slot) && m_holds[size_t(slot)]->claimant && m_holds[size_t(slot)]->claimant == p.playersock) {
        returnToSeat(slot, version);
        return;
    }
    // A new connection that showed a held seat's key takes it back; a name
    // alone never does (anybody can type one), nor does a login from
    // somebody already in the game.
    if (!p.loggedin && p.playersock) {
        if (const int seat = heldSeatFor(std::exchange(p.shownKey, QByteArray()))) {
            claimHold(slot, seat);
            return;
        }
    }
    p.name = distinctName(slot, wire::safeName(login.name));
    p.active = true;
    p.loggedin = true;
    m_game.setName(slot, p.name);

    sendAll(msg::newplayerinfo(slot, p.name));

    sendPresent(slot);

    if (version != versionText()) {
        if (tplayers[1].active)
            sendTo(1, msg::havewrongversion(p.name));
        sendTo(slot, msg::wrongversion());
    }
    if (m_game.state().gameon)
        sendGameState(slot);
    giveSeatKey(slot);
}

// Every user shows under a name of their own: cut to a length a seat box
// holds, never empty, never Klot's, never one already present (however it is
// written).
QByteArray TServer::distinctName(int slot, QByteArray name) const
{
    name = wire::visibleName(name).left(wire::MaxNameLength).trimmed();
    if (name.isEmpty())
        name = "Player " + QByteArray::number(slot);
    auto taken = [&](const QByteArray &candidate) {
        if (wire::sameName(candidate, wire::KlotName))
            return true;
        for (int i = 1; i <= slotcount; ++i)
            if (i != slot && tplayers[i].active && tplayers[i].loggedin && wire::sameName(tplayers[i].name, candidate))
                return true;
        return false;
    };
    QByteArray candidate = name;
    for (int n = 2; taken(candidate); ++n)
        candidate = name + " (" + QByteArray::number(n) + ")";
    return candidate;
}

void TServer::handle(const wire::up::Kick &kick)
{
    if (kick.slot == 1 && kick.victim >= 1 && kick.victim <= MaxUsers)
        disconnectsock(kick.victim);
}

void TServer::disconnectsock(int slot)
{
    if (!tplayers[slot].active)
        return;
    // A kicked player's seat is not held for them, and their copy is told
    // it was the host's doing (so it does not try to come back).
    tplayers[slot].kicked = true;
    sendTo(slot, msg::playerdisconnected(slot, tplayers[slot].name));
    if (isHeld(slot) && !tplayers[slot].playersock) {
        endHold(slot);
        return;
    }
    if (tplayers[slot].playersock)
        tplayers[slot].playersock->disconnectFromHost();
    else if (m_sink)
        leave(slot); // a peer without a socket goes at once
}

void TServer::handle(const wire::up::Chat &line)
{
    sendAll(msg::chatLine(line.slot, tplayers[line.slot].name, line.said));
}

void TServer::handle(const wire::up::Action &line)
{
    sendAll(msg::actionLine(line.slot, tplayers[line.slot].name, line.said));
}

void TServer::handle(const wire::up::PlayASound &sound)
{
    sendAll(msg::relayPlayasound(sound.slot, sound.rest));
}
