#include "tserver.h"
#include "logging.h"
#include "appfiles.h"
#include "wiremessages.h"
#include "message.h"

#include "klotwords.h"

#include <QAbstractEventDispatcher>
#include <QTcpServer>
#include <QPointer>
#include <QTcpSocket>

#include <algorithm>
#include <cmath>

TServer::TServer(QObject *parent)
    : QObject(parent), spell(std::make_unique<TDictn>(settings::wordListDir())), Sock1(new QTcpServer(this)),
      m_game([this](QByteArrayView word) { return spell->CheckWord(word); },
              [this]() -> const rules::KlotWords & { return klotWordTable(); })
{
    FormCreate();
}

// Everybody hears the hosting user leave as the host closes, so their copies
// know the game is over rather than cut off by the network.
TServer::~TServer()
{
    // Everybody hears the host go, even when its own user has just left.
    if (m_sink)
        return;
    for (int slot = 2; slot <= slotcount; ++slot) {
        QTcpSocket *s = tplayers[slot].playersock;
        if (!tplayers[slot].active || !s || s->state() != QAbstractSocket::ConnectedState)
            continue;
        s->write(wire::msg::playerdisconnected(1, tplayers[1].name));
        s->flush();
    }
}

void TServer::FormCreate()
{
    // The strong and gentle computer opponent choose from every word on the
    // board, found in the built-in list.
    m_game.setSolver([](const rules::Board &board) { return game::solveBoard(board, TDictn::builtInTree()); });
    m_solving.setMaxThreadCount(1);
    m_game.setSolveAhead([this](const rules::Board &board) {
        m_solving.start([this, board] {
            std::vector<game::FoundWord> found = game::solveBoard(board, TDictn::builtInTree());
            QMetaObject::invokeMethod(this,
                    [this, board, found = std::move(found)]() mutable { m_game.wordsFound(board, std::move(found)); });
        });
    });
    // The dispatch timer only runs while messages wait, so an idle host costs
    // nothing; each tick still handles exactly one message.
    socktimer.setSingleShot(true);
    socktimer.setTimerType(Qt::PreciseTimer);
    m_clock.start();
    connect(&socktimer, &QTimer::timeout, this, &TServer::socktimerTimer);
    // Replies go out once the thread has handled everything that woke it,
    // just before it waits again: all the messages handled in one pass
    // share one send per peer, and a lone message's replies still leave at
    // once, not at a later pass woken only to write them.
    if (QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance())
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &TServer::flushReplies);
    Timer1.onTick(this, [this] { Timer1Timer(); });
    computertimer.onTick(this, [this] { computertimerTimer(); });

    connect(Sock1, &QTcpServer::newConnection, this, &TServer::Sock1Accept);
}

bool TServer::listen(quint16 port, QString *error)
{
    Sock1->setMaxPendingConnections(5);
    // IPv4 and IPv6 alike: a game found by IPv6 link-local multicast is
    // joined by the address it was heard from.
    if (Sock1->listen(QHostAddress::Any, port))
        return true;
    if (error) {
        *error = Sock1->serverError() == QAbstractSocket::AddressInUseError
                        || Sock1->serverError() == QAbstractSocket::SocketAccessError
                ? QStringLiteral("Listen - Error Binding Socket")
                : QStringLiteral("Listen - Error Starting Listen");
    }
    return false;
}

quint16 TServer::listeningPort() const
{
    return Sock1->serverPort();
}

QByteArray TServer::versionText() const
{
    return m_version ? m_version() : QByteArray(wire::ProtocolVersion);
}

int TServer::queuedMessages() const
{
    int n = 0;
    for (const Connection &c : m_connections)
        n += int(c.queue.size());
    return n;
}

// Each connection's messages are handled as they come, but at most one per
// MessageSpacingMs per connection (its order kept); one busy peer never
// holds up the others, and nobody waits for a tick that is not theirs. The
// timer runs only while something waits, set for the first message due.
void TServer::socktimerTimer()
{
    pump();
}

double TServer::tokensAt(const Connection &c, qint64 now)
{
    return qMin<double>(MaxQueued, c.tokens + double(now - c.refilledAt) * MessageRate / 1000.0);
}

void TServer::refill(Connection &c, qint64 now) const
{
    c.tokens = tokensAt(c, now);
    c.refilledAt = now;
}

qint64 TServer::dueIn(const Connection &c, qint64 now) const
{
    if (c.queue.isEmpty() || c.closing)
        return -1;
    const qint64 spaced = c.servedAt + m_spacing - now;
    const double tokens = tokensAt(c, now);
    const qint64 paced = tokens >= 1 ? 0 : qint64(std::ceil((1 - tokens) * 1000.0 / MessageRate));
    return qMax<qint64>(0, qMax(spaced, paced));
}

void TServer::pump()
{
    const qint64 now = m_clock.elapsed();
    QList<QPair<quint64, QTcpSocket *>> order;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        if (dueIn(*it, now) == 0)
            order << qMakePair(it->id, it.key());
    std::sort(order.begin(), order.end());
    // Start after the connection served last, so the first place rotates.
    std::rotate(order.begin(),
            std::find_if(order.begin(), order.end(), [this](const auto &e) { return e.first > m_lastServed; }),
            order.end());
    for (const auto &e : order)
        serve(e.second);
    // A connection whose reading paused is read again once its queue has
    // drained to half.
    QList<QPointer<QTcpSocket>> resume;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        if (!it->closing && it->queue.size() < ReadPause / 2 && it.key()->bytesAvailable() > 0)
            resume << it.key();
    for (const QPointer<QTcpSocket> &s : std::as_const(resume))
        if (s)
            QMetaObject::invokeMethod(
                    this,
                    [this, s] {
                        if (s)
                            Sock1Read(s);
                    },
                    Qt::QueuedConnection);
    qint64 wait = -1;
    const qint64 after = m_clock.elapsed();
    for (const Connection &c : std::as_const(m_connections)) {
        const qint64 due = dueIn(c, after);
        if (due >= 0)
            wait = wait < 0 ? due : qMin(wait, due);
    }
    if (wait < 0)
        socktimer.stop();
    else
        socktimer.start(int(wait));
}

// What the pass's messages said goes out before the thread sleeps, rather
// than at a pass of its own woken by the sockets' readiness to write.
void TServer::flushReplies()
{
    QList<QPointer<QTcpSocket>> written;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        if (!it->closing && it.key()->bytesToWrite() > 0)
            written << it.key();
    // A flush that finds the peer gone closes its connection at once.
    for (const QPointer<QTcpSocket> &s : std::as_const(written))
        if (s)
            s->flush();
}

bool TServer::serve(QTcpSocket *sock)
{
    auto it = m_connections.find(sock);
    if (it == m_connections.end() || it->queue.isEmpty() || it->closing)
        return false;
    const QByteArray text = it->queue.dequeue();
    const int slot = it->slot;
    m_lastServed = it->id;
    it->servedAt = m_clock.elapsed();
    refill(*it, it->servedAt);
    it->tokens -= 1;
    // A message from a connection that has since lost its slot speaks for
    // nobody.
    const tplayer &p = tplayers[slot];
    if (p.active && p.playersock == sock)
        process(slot, text);
    return true;
}

void TServer::handle(int slot, const QByteArray &message)
{
    if (slot >= 1 && slot <= MaxUsers && tplayers[slot].active)
        process(slot, message);
}

void TServer::process(int slot, const QByteArray &text)
{
    const wire::Decoded<wire::FromClient> d = wire::decodeFromClient(text);
    if (!d.message)
        return;
    std::visit(
            [&](const auto &request) {
                using R = std::decay_t<decltype(request)>;
                // Until its login, a connection may only log in (and show a
                // seat's key first); so may one that was offered its held
                // seat back.
                const bool claiming = isHeld(slot) && m_holds[size_t(slot)]->claimant;
                if ((!tplayers[slot].loggedin || claiming) && !R::beforeLogin)
                    return;
                // Every request that names its sender must come from that
                // sender's own connection; otherwise any peer could kick,
                // chat or play as another slot. A sender field that does not
                // read is reported; a request from the wrong slot is not.
                const bool senderUnread = d.error && d.error->field == 1 && R::sender != wire::up::Sender::HostingUser;
                if (!senderUnread && !wire::senderAllowed(request, slot))
                    return;
                if (d.error)
                    report(slot, d.error->describe());
                else
                    handle(request);
            },
            *d.message);
    publish();
}

void TServer::report(int slot, const QByteArray &text)
{
    int &reports = tplayers[slot].reports;
    if (reports > MaxReports)
        return;
    ++reports;
    const QByteArray line = "slot " + QByteArray::number(slot) + ": "
            + (reports <= MaxReports ? text : "more bad input, no longer reported");
    if (m_diagnostics)
        m_diagnostics("wordmire host: " + line);
    else
        qCWarning(lcHost, "%s", line.constData());
}

void TServer::sendTo(int slot, const QByteArray &message)
{
    if (m_sink) {
        m_sink(slot, message);
        return;
    }
    QTcpSocket *s = tplayers[slot].playersock;
    if (!s && isHeld(slot))
        return; // the seat's player is away; they catch up on return
    if (!s || s->state() != QAbstractSocket::ConnectedState) {
        qCWarning(lcHost, "Send - Socket Not Connected (slot %d)", slot);
        return;
    }
    const auto it = m_connections.constFind(s);
    if (it != m_connections.cend() && it->closing)
        return;
    s->write(message);
    // A peer that does not read is gone as far as the game is concerned:
    // its unsent data must not grow without end.
    if (s->bytesToWrite() > MaxUnsent)
        cutOff(s, "does not read what it is sent");
}

void TServer::sendAll(const QByteArray &message)
{
    for (int i = 1; i <= slotcount; ++i) {
        if (tplayers[i].active)
            sendTo(i, message);
    }
}

void TServer::sendAllBut(int slot, const QByteArray &message)
{
    for (int i = 1; i <= slotcount; ++i) {
        if (i != slot && tplayers[i].active)
            sendTo(i, message);
    }
}

const rules::KlotWords &TServer::klotWordTable()
{
    // Prepared on first use: a copy that never hosts never needs it.
    if (listbox_words.words.empty())
        listbox_words = rules::KlotWords(klotWords(), klotNeverWords());
    return listbox_words;
}
