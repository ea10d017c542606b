#pragma once
// Finding games on the local network. A hosting copy says, every two
// seconds, who hosts, on which TCP port, how many seats are taken and whether
// a game runs: by IPv4 broadcast and, where the machine has IPv6, to a
// link-local multicast group. A copy looking for a game listens on both and
// keeps the hosts it has heard lately. Nothing else is sent: the game itself
// is always on its own TCP port.

#include "playername.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include <functional>
#include <optional>

namespace lobby {

constexpr quint16 DefaultPort = 7773;
constexpr int MaxDatagram = 128;
using wire::MaxNameLength;
constexpr int IntervalMs = 2000;

// The group announcements go to over IPv6 (link-local scope).
inline const QHostAddress MulticastGroup{QStringLiteral("ff02::7773")};
// The game's port when an announcement does not say (the first version's).
constexpr quint16 StandardGamePort = 7772;

// A game's port as a lobby offers it: the ports below are the system's.
inline bool gamePort(uint port)
{
    return port >= 1024 && port <= 65535;
}

// "host", "host:port", "[v6]" or "[v6]:port", and a bare IPv6 address when
// allowed; the port is the fallback when not given. A host is an address or
// a name of letters, digits, dots and dashes. nullopt when it does not read.
struct HostPort {
    QString host;
    quint16 port = 0;
};
std::optional<HostPort> parseHostPort(const QString &text, quint16 fallback, bool bareV6);
// The text that parseHostPort reads back, the port left out when usual.
QString hostPortText(const QString &host, quint16 port, quint16 usual);

// Names follow the one rule of the game's messages.
using wire::nameCharacters;
using wire::printableName;
using wire::suggestedName;

struct Announcement {
    QString name;
    int seatsTaken = 0; // 0..4
    bool running = false;
    quint16 port = StandardGamePort;
    bool operator==(const Announcement &) const = default;
};

// The datagram's bytes. A name that is empty, too long or not printable
// Latin-1 cannot be announced (nullopt), nor a port of 0. The first line
// names the layout's version: copies that know only the first (without the
// port) drop this one rather than misread it.
std::optional<QByteArray> encode(const Announcement &a);
// The same game in the first version's layout, for older copies; only a game
// on the standard port can be said so.
std::optional<QByteArray> encodeFirstVersion(const Announcement &a);
// Anything that is not exactly an announcement of either version gives
// nullopt.
std::optional<Announcement> decode(const QByteArray &datagram);

class Announcer : public QObject {
    Q_OBJECT
public:
    explicit Announcer(QObject *parent = nullptr);
    void setPort(quint16 port) { m_port = port; }
    // Asked each time, so the announcement follows the game.
    void setSource(std::function<Announcement()> source) { m_source = std::move(source); }
    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }
    // Sends one announcement now; false when no address took it.
    bool announce();

private:
    QUdpSocket m_socket;
    QUdpSocket m_socket6;
    QTimer m_timer;
    quint16 m_port = DefaultPort;
    std::function<Announcement()> m_source;
};

class Listener : public QObject {
    Q_OBJECT
public:
    // One game per address, the latest it announced; when the list is full
    // the game heard longest ago gives way, so talkers that fill it cannot
    // keep a real host out.
    struct Host {
        QHostAddress address;
        Announcement announcement;
        qint64 heardAt = 0; // ms of the listener's clock
    };
    static constexpr int MaxHosts = 32;

    explicit Listener(QObject *parent = nullptr);
    // Listens on the port (0: any free one) over IPv4, and over IPv6 where
    // the machine has it; false with the reason when IPv4 cannot listen.
    bool listen(quint16 port = DefaultPort, QString *error = nullptr);
    quint16 port() const { return m_socket.localPort(); }
    bool hearsIPv6() const { return m_socket6.state() == QAbstractSocket::BoundState; }
    void close();
    // A host not heard for this long is dropped.
    void setExpiry(int ms) { m_expiryMs = ms; }
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // Announcements this copy does not list (its own game) take no place.
    void setIgnored(std::function<bool(const QHostAddress &, const Announcement &)> ignored)
    {
        m_ignored = std::move(ignored);
    }
    // Drops the hosts that went quiet (also run every second).
    void expire();
    const QList<Host> &hosts() const { return m_hosts; }

signals:
    void hostsChanged();

private:
    void readPending(QUdpSocket &socket);
    void heard(const QHostAddress &from, const Announcement &a, bool &changed);

    QUdpSocket m_socket;
    QUdpSocket m_socket6;
    QTimer m_sweep;
    QList<Host> m_hosts;
    int m_expiryMs = 3 * IntervalMs;
    std::function<qint64()> m_clock;
    std::function<bool(const QHostAddress &, const Announcement &)> m_ignored;
};

// This computer's addresses that others on the network can use (none when it
// is on no network).
QStringList localAddresses();
// Whether a datagram from this address came from this computer: any of its
// addresses, IPv6 link-local ones with or without their interface's scope.
bool isThisComputer(const QHostAddress &address);

} // namespace lobby
