#include "lobby.h"

#include <QDateTime>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>

namespace lobby {

namespace {
const QByteArray Magic = "WORDMIRE-LOBBY 1";

bool printableName(const QString &name)
{
    if (name.isEmpty() || name.size() > MaxNameLength || name.trimmed() != name)
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() > 0xff || c.unicode() == 0x7f || (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            return false;
    return true;
}

// The broadcast address of every network that is up, or the loopback
// address when there is none (copies on one machine still find each other).
QList<QHostAddress> targets()
{
    QList<QHostAddress> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            !(flags & QNetworkInterface::CanBroadcast) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : i.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.broadcast().isNull())
                out << e.broadcast();
    }
    return out;
}
} // namespace

std::optional<QByteArray> encode(const Announcement &a)
{
    if (!printableName(a.name) || a.seatsTaken < 0 || a.seatsTaken > 4)
        return std::nullopt;
    return Magic + '\n' + QByteArray::number(a.seatsTaken) + '\n' + (a.running ? '1' : '0') + '\n' +
           a.name.toLatin1();
}

std::optional<Announcement> decode(const QByteArray &datagram)
{
    if (datagram.size() > MaxDatagram)
        return std::nullopt;
    const QList<QByteArray> parts = datagram.split('\n');
    if (parts.size() != 4 || parts[0] != Magic || parts[1].size() != 1 || parts[2].size() != 1)
        return std::nullopt;
    const char seats = parts[1][0], running = parts[2][0];
    if (seats < '0' || seats > '4' || (running != '0' && running != '1'))
        return std::nullopt;
    Announcement a{QString::fromLatin1(parts[3]), seats - '0', running == '1'};
    if (!printableName(a.name))
        return std::nullopt;
    return a;
}

Announcer::Announcer(QObject *parent) : QObject(parent)
{
    // Announcements are for the local network only: never through a proxy.
    m_socket.setProxy(QNetworkProxy::NoProxy);
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &Announcer::announce);
}

void Announcer::start()
{
    announce();
    m_timer.start();
}

void Announcer::stop()
{
    m_timer.stop();
}

bool Announcer::announce()
{
    if (!m_source)
        return false;
    const auto bytes = encode(m_source());
    if (!bytes)
        return false;
    bool sent = false;
    for (const QHostAddress &to : targets())
        sent = m_socket.writeDatagram(*bytes, to, m_port) == bytes->size() || sent;
    if (!sent)
        sent = m_socket.writeDatagram(*bytes, QHostAddress(QHostAddress::LocalHost), m_port) == bytes->size();
    return sent;
}

Listener::Listener(QObject *parent) : QObject(parent)
{
    m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    m_socket.setProxy(QNetworkProxy::NoProxy);
    connect(&m_socket, &QUdpSocket::readyRead, this, &Listener::readPending);
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &Listener::expire);
}

bool Listener::listen(quint16 port, QString *error)
{
    close();
    // Several copies on one machine may listen at once.
    if (!m_socket.bind(QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        if (error)
            *error = m_socket.errorString();
        return false;
    }
    m_sweep.start();
    return true;
}

void Listener::close()
{
    m_socket.close();
    m_sweep.stop();
    if (!m_hosts.isEmpty()) {
        m_hosts.clear();
        emit hostsChanged();
    }
}

void Listener::readPending()
{
    bool changed = false;
    while (m_socket.hasPendingDatagrams()) {
        // Read whole so that an oversized datagram is dropped, not cut to
        // something that might read as an announcement.
        const QNetworkDatagram d = m_socket.receiveDatagram();
        const auto a = decode(d.data());
        bool ok = false;
        const QHostAddress from(d.senderAddress().toIPv4Address(&ok));
        if (!a || !ok)
            continue;
        auto it = std::find_if(m_hosts.begin(), m_hosts.end(), [&](const Host &h) { return h.address == from; });
        if (it == m_hosts.end()) {
            if (m_hosts.size() >= MaxHosts)
                continue;
            m_hosts.append(Host{from, *a, m_clock()});
            changed = true;
        } else {
            changed = changed || !(it->announcement == *a);
            it->announcement = *a;
            it->heardAt = m_clock();
        }
    }
    if (changed)
        emit hostsChanged();
}

void Listener::expire()
{
    const qint64 now = m_clock();
    const auto gone = m_hosts.removeIf([&](const Host &h) { return now - h.heardAt > m_expiryMs; });
    if (gone > 0)
        emit hostsChanged();
}

QStringList localAddresses()
{
    QStringList out;
    const auto all = QNetworkInterface::allAddresses();
    for (const QHostAddress &a : all)
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            out << a.toString();
    if (out.isEmpty())
        out << QStringLiteral("127.0.0.1");
    return out;
}

} // namespace lobby
