#include "lobby.h"

#include <QDateTime>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>

#include <algorithm>

namespace lobby {

namespace {
const QByteArray MagicFirst = "WORDMIRE-LOBBY 1";
const QByteArray Magic = "WORDMIRE-LOBBY 2";

// The broadcast address of every network that is up, or the loopback
// address when there is none (copies on one machine still find each other).
QList<QHostAddress> targets()
{
    QList<QHostAddress> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
                || !(flags & QNetworkInterface::CanBroadcast) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : i.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.broadcast().isNull())
                out << e.broadcast();
    }
    return out;
}
bool hasIPv6Multicast(const QNetworkInterface &i)
{
    const auto flags = i.flags();
    if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || !(flags & QNetworkInterface::CanMulticast) || (flags & QNetworkInterface::IsLoopBack))
        return false;
    for (const QNetworkAddressEntry &e : i.addressEntries())
        if (e.ip().protocol() == QAbstractSocket::IPv6Protocol && e.ip().isLinkLocal())
            return true;
    return false;
}
} // namespace

std::optional<HostPort> parseHostPort(const QString &text, quint16 fallback, bool bareV6)
{
    const QString t = text.trimmed();
    HostPort at{{}, fallback};
    QString portText;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        at.host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return std::nullopt;
            portText = rest.mid(1);
        }
        if (QHostAddress(at.host).protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
    } else if (t.count(QLatin1Char(':')) > 1) {
        // A bare IPv6 address: its last group could be read as a port.
        if (!bareV6 || QHostAddress(t).protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
        at.host = t;
    } else {
        const qsizetype colon = t.indexOf(QLatin1Char(':'));
        at.host = colon < 0 ? t : t.left(colon);
        if (colon >= 0)
            portText = t.mid(colon + 1);
        static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]{0,251}[A-Za-z0-9])?$"));
        if (!hostName.match(at.host).hasMatch())
            return std::nullopt;
    }
    if (!portText.isNull()) {
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port == 0 || port > 65535 || portText.startsWith(QLatin1Char('+')))
            return std::nullopt;
        at.port = quint16(port);
    }
    return at;
}

QString hostPortText(const QString &host, quint16 port, quint16 usual)
{
    const bool v6 = host.contains(QLatin1Char(':'));
    if (port == usual)
        return host;
    return (v6 ? QLatin1Char('[') + host + QLatin1Char(']') : host) + QLatin1Char(':') + QString::number(port);
}

std::optional<QByteArray> encode(const Announcement &a)
{
    if (!printableName(a.name) || a.seatsTaken < 0 || a.seatsTaken > 4 || a.port == 0)
        return std::nullopt;
    return Magic + '\n' + QByteArray::number(a.seatsTaken) + '\n' + (a.running ? '1' : '0') + '\n'
            + QByteArray::number(a.port) + '\n' + a.name.toLatin1();
}

std::optional<QByteArray> encodeFirstVersion(const Announcement &a)
{
    if (!printableName(a.name) || a.seatsTaken < 0 || a.seatsTaken > 4 || a.port != StandardGamePort)
        return std::nullopt;
    return MagicFirst + '\n' + QByteArray::number(a.seatsTaken) + '\n' + (a.running ? '1' : '0') + '\n'
            + a.name.toLatin1();
}

std::optional<Announcement> decode(const QByteArray &datagram)
{
    if (datagram.size() > MaxDatagram)
        return std::nullopt;
    QList<QByteArray> parts = datagram.split('\n');
    const bool first = !parts.isEmpty() && parts[0] == MagicFirst;
    if (parts.size() != (first ? 4 : 5) || (!first && parts[0] != Magic) || parts[1].size() != 1
            || parts[2].size() != 1)
        return std::nullopt;
    const char seats = parts[1][0], running = parts[2][0];
    if (seats < '0' || seats > '4' || (running != '0' && running != '1'))
        return std::nullopt;
    Announcement a{QString::fromLatin1(parts.last()), seats - '0', running == '1', StandardGamePort};
    if (!first) {
        // Digits only, no sign or leading zero, 1 to 65535.
        const QByteArray &port = parts[3];
        bool ok = port.size() <= 5 && !port.startsWith('0') && !port.isEmpty();
        for (char c : port)
            ok = ok && c >= '0' && c <= '9';
        const uint n = ok ? port.toUInt() : 0;
        if (n == 0 || n > 65535)
            return std::nullopt;
        a.port = quint16(n);
    }
    if (!printableName(a.name))
        return std::nullopt;
    return a;
}

Announcer::Announcer(QObject *parent) : QObject(parent)
{
    // Announcements are for the local network only: never through a proxy.
    m_socket.setProxy(QNetworkProxy::NoProxy);
    m_socket6.setProxy(QNetworkProxy::NoProxy);
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
    const Announcement a = m_source();
    const auto bytes = encode(a);
    if (!bytes)
        return false;
    // Older copies hear the first version's layout beside the new one.
    const auto older = encodeFirstVersion(a);
    auto send = [&](const QHostAddress &to) {
        bool ok = m_socket.writeDatagram(*bytes, to, m_port) == bytes->size();
        if (older)
            m_socket.writeDatagram(*older, to, m_port);
        return ok;
    };
    bool sent = false;
    for (const QHostAddress &to : targets())
        sent = send(to) || sent;
    if (!sent)
        sent = send(QHostAddress(QHostAddress::LocalHost));
    // The IPv6 group, once on every link that has an IPv6 address; older
    // copies never listened there.
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        if (!hasIPv6Multicast(i))
            continue;
        if (m_socket6.state() != QAbstractSocket::BoundState && !m_socket6.bind(QHostAddress::AnyIPv6, 0))
            break;
        m_socket6.setMulticastInterface(i);
        QHostAddress group = MulticastGroup;
        group.setScopeId(i.name());
        sent = m_socket6.writeDatagram(*bytes, group, m_port) == bytes->size() || sent;
    }
    return sent;
}

Listener::Listener(QObject *parent) : QObject(parent)
{
    m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    m_socket.setProxy(QNetworkProxy::NoProxy);
    m_socket6.setProxy(QNetworkProxy::NoProxy);
    connect(&m_socket, &QUdpSocket::readyRead, this, [this] { readPending(m_socket); });
    connect(&m_socket6, &QUdpSocket::readyRead, this, [this] { readPending(m_socket6); });
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
    // IPv6 on the same port, where the machine has it; without it the
    // broadcasts still arrive.
    if (m_socket6.bind(
                QHostAddress::AnyIPv6, m_socket.localPort(), QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        const auto interfaces = QNetworkInterface::allInterfaces();
        for (const QNetworkInterface &i : interfaces)
            if (hasIPv6Multicast(i))
                m_socket6.joinMulticastGroup(MulticastGroup, i);
    }
    m_sweep.start();
    return true;
}

void Listener::close()
{
    m_socket.close();
    m_socket6.close();
    m_sweep.stop();
    if (!m_hosts.isEmpty()) {
        m_hosts.clear();
        emit hostsChanged();
    }
}

void Listener::readPending(QUdpSocket &socket)
{
    bool changed = false;
    while (socket.hasPendingDatagrams()) {
        // Read whole so that an oversized datagram is dropped, not cut to
        // something that might read as an announcement.
        const QNetworkDatagram d = socket.receiveDatagram();
        const auto a = decode(d.data());
        if (!a)
            continue;
        QHostAddress from = d.senderAddress();
        bool v4 = false;
        const quint32 ip4 = from.toIPv4Address(&v4);
        if (v4)
            from = QHostAddress(ip4);
        heard(from, *a, changed);
    }
    if (changed)
        emit hostsChanged();
}

// One game heard over IPv4 and IPv6 is listed once, by its IPv4 address when
// there is one: more programs and routers reach that.
void Listener::heard(const QHostAddress &from, const Announcement &a, bool &changed)
{
    const bool v6 = from.protocol() == QAbstractSocket::IPv6Protocol;
    auto sameGame = [&](const Host &h) {
        return h.announcement.name == a.name && h.announcement.port == a.port
                && (h.address.protocol() == QAbstractSocket::IPv6Protocol) != v6;
    };
    if (m_ignored && m_ignored(from, a))
        return;
    auto it = std::find_if(m_hosts.begin(), m_hosts.end(), [&](const Host &h) { return h.address == from; });
    if (it == m_hosts.end())
        it = std::find_if(m_hosts.begin(), m_hosts.end(), sameGame);
    if (it == m_hosts.end()) {
        if (m_hosts.size() >= MaxHosts) {
            const auto stalest = std::min_element(
                    m_hosts.begin(), m_hosts.end(), [](const Host &x, const Host &y) { return x.heardAt < y.heardAt; });
            m_hosts.erase(stalest);
        }
        m_hosts.append(Host{from, a, m_clock()});
        changed = true;
        return;
    }
    if (it->address != from && v6) {
        // Already listed by IPv4: the IPv6 word only keeps it fresh.
        it->heardAt = m_clock();
        return;
    }
    changed = changed || !(it->announcement == a) || it->address != from;
    it->address = from;
    it->announcement = a;
    it->heardAt = m_clock();
}

void Listener::expire()
{
    const qint64 now = m_clock();
    const auto gone = m_hosts.removeIf([&](const Host &h) { return now - h.heardAt > m_expiryMs; });
    if (gone > 0)
        emit hostsChanged();
}

bool isThisComputer(const QHostAddress &address)
{
    if (address.isLoopback())
        return true;
    QHostAddress bare = address;
    bare.setScopeId(QString());
    const auto all = QNetworkInterface::allAddresses();
    return std::any_of(all.begin(), all.end(), [&](QHostAddress a) {
        a.setScopeId(QString());
        return a.isEqual(bare, QHostAddress::TolerantConversion);
    });
}

QStringList localAddresses()
{
    QStringList out;
    const auto all = QNetworkInterface::allAddresses();
    for (const QHostAddress &a : all)
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            out << a.toString();
    return out;
}

} // namespace lobby
