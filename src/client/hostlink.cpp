#include "hostlink.h"
#include "logging.h"

#include "deadlink.h"
#include <QSignalBlocker>

HostLink::HostLink(Handler handler, QObject *parent) : QObject(parent), m_handler(std::move(handler))
{
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &HostLink::Timer1Timer);
    connect(&m_sock, &QTcpSocket::readyRead, this, &HostLink::sockRead);
    connect(&m_sock, &QTcpSocket::connected, this, [this] {
        m_connectTimer.stop();
        m_sock.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        // A host that vanishes without a word (the network gone) is noticed
        // as a closed connection within about a minute, idle or not.
        wire::watchForDeadLink(m_sock.socketDescriptor());
    });
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        if (m_sock.state() == QAbstractSocket::ConnectedState)
            return;
        m_sock.abort();
        emit connectFailed(tr("no answer within %1 seconds").arg(m_connectTimer.interval() / 1000));
    });
    // The host's last words (a goodbye among them) are handled before the
    // end of the connection is: they say whether it ended on purpose.
    connect(&m_sock, &QTcpSocket::disconnected, this, [this] {
        if (m_queue.isEmpty())
            emit connectionClosed();
        else
            m_closeAfterQueue = true;
    });
    connect(&m_sock, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // Refused or unanswered connections leave the window unconnected.
        if (error == QAbstractSocket::HostNotFoundError) {
            m_connectTimer.stop();
            emit hostNotFound();
            return;
        }
        // Failures while connecting; a connection that ends later is the
        // disconnected signal's business.
        if (!m_connectTimer.isActive())
            return;
        m_connectTimer.stop();
        emit connectFailed(error == QAbstractSocket::ConnectionRefusedError
                        ? tr("nothing is listening there (connection refused)")
                        : m_sock.errorString());
    });
}

void HostLink::connectTo(const QString &address, quint16 port)
{
    m_closeAfterQueue = false;
    m_connectTimer.start();
    m_sock.connectToHost(address, port);
}

void HostLink::close()
{
    m_connectTimer.stop();
    m_timer.stop();
    m_queue.clear();
    m_closeAfterQueue = false;
    const QSignalBlocker quiet(m_sock);
    m_sock.abort();
    m_framer = wire::Framer{MaxPending};
}

void HostLink::openMatchmakerLink()
{
    m_matchmaker.connectToHost(QStringLiteral("127.0.0.1"), 9001);
}

bool HostLink::send(const QByteArray &message)
{
    if (m_sock.state() != QAbstractSocket::ConnectedState)
        return false;
    // Sent now: the event loop's next pass may come only after a repaint.
    m_sock.write(message);
    m_sock.flush();
    return true;
}

void HostLink::sockRead()
{
    QList<QByteArray> messages;
    const bool idle = !m_timer.isActive() && m_queue.isEmpty();
    // A host that never ends a message, or floods us, is no host to play
    // with: the connection goes, and with it the window, as when a host ends.
    if (!m_framer.feed(m_sock.readAll(), messages)) {
        qCWarning(lcConnection, "the host sent an unterminated flood; leaving");
        m_sock.abort();
        return;
    }
    for (QByteArray &m : messages) {
        if (m.size() > MaxMessage)
            continue; // longer than anything the game says: not a message of ours
        m_queue.enqueue(std::move(m));
    }
    if (m_queue.size() > MaxQueued) {
        qCWarning(lcConnection, "the host sent a flood of messages; leaving");
        m_queue.clear();
        m_sock.abort();
        return;
    }
    // Nothing waiting: the first message is handled now, the rest a tick apart.
    if (idle && !m_queue.isEmpty())
        processsocktimer();
    wakeTimer();
}

void HostLink::receive(const QByteArray &message)
{
    m_queue.enqueue(message);
    wakeTimer();
}

void HostLink::wakeTimer()
{
    if (!m_timer.isActive() && !m_queue.isEmpty())
        m_timer.start();
}

void HostLink::Timer1Timer()
{
    processsocktimer();
    if (m_queue.isEmpty()) {
        m_timer.stop();
        if (std::exchange(m_closeAfterQueue, false))
            emit connectionClosed();
    }
}

void HostLink::processsocktimer()
{
    if (m_queue.isEmpty())
        return;
    m_handler(m_queue.dequeue());
}
