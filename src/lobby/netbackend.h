#pragma once
// What the internet module offers. The router libraries (miniupnpc and
// libnatpmp) and the message broker's client library (libmosquitto, with
// OpenSSL under it) live in a module of their own, loaded the first time a
// copy hosts or opens the lobby, so the program starts without them.

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <functional>

namespace lobby {

// Whether others on the internet could reach this address: not a private,
// shared, benchmarking, reserved, loopback or link-local range, not
// multicast or broadcast. A router may report any of these as its "internet"
// address; a game listed under one can be joined by nobody.
inline bool isInternetAddress(const QHostAddress &a)
{
    static const char *const inner[] = {"0.0.0.0/8", "10.0.0.0/8", "100.64.0.0/10", "127.0.0.0/8", "169.254.0.0/16",
            "172.16.0.0/12", "192.0.0.0/24", "192.0.2.0/24", "192.168.0.0/16", "198.18.0.0/15", "198.51.100.0/24",
            "203.0.113.0/24", "224.0.0.0/4", "240.0.0.0/4", "::/128", "::1/128", "fc00::/7", "fe80::/10", "fec0::/10",
            "ff00::/8", "2001:db8::/32"};
    if (a.isNull())
        return false;
    bool v4 = false;
    const QHostAddress plain(a.toIPv4Address(&v4));
    if (v4 && a.protocol() == QAbstractSocket::IPv6Protocol)
        return isInternetAddress(plain); // ::ffff:a.b.c.d
    for (const char *subnet : inner)
        if (a.isInSubnet(QHostAddress::parseSubnet(QLatin1String(subnet))))
            return false;
    // NAT64's well-known prefix carries an IPv4 address in its last 32 bits.
    if (a.isInSubnet(QHostAddress::parseSubnet(QStringLiteral("64:ff9b::/96")))) {
        const Q_IPV6ADDR b = a.toIPv6Address();
        return isInternetAddress(
                QHostAddress(quint32(b[12]) << 24 | quint32(b[13]) << 16 | quint32(b[14]) << 8 | b[15]));
    }
    return true;
}

// The plain words for a router's answer.
inline QString mappedText(const QString &external)
{
    return QStringLiteral("Others on the internet join at %1").arg(external);
}
inline QString noRouterText(quint16 port)
{
    // Said to the hosting player, who is the one who can do something.
    return QStringLiteral("No router answered; to let players on the internet join, forward TCP port %1 on your "
                          "router to this computer, or play with players on your network")
            .arg(port);
}
inline QString conflictText()
{
    return QStringLiteral("The router refused: port already mapped to another computer");
}
inline QString noModuleText()
{
    return QStringLiteral("The game's internet module (wordmire-net) is missing; reinstall the game");
}

struct RouterAnswer {
    bool mapped = false;
    QString external; // empty unless the router has an address on the internet
    QString status;
};

// Talks with the home router; a call may wait on the network (a few
// seconds at most), so it is made on a thread of its own, one call at a time.
class RouterClient {
public:
    virtual ~RouterClient() = default;
    // Maps the TCP port (the same number outside) to this computer, or
    // renews the mapping made before.
    virtual RouterAnswer map(quint16 port, int leaseSeconds) = 0;
    // Removes what map() made or asked for, if anything, without waiting
    // for the router's answer.
    virtual void unmap(quint16 port) = 0;
    // From any thread: the question in progress ends at once (unmap() is
    // still made after it).
    virtual void cancel() = 0;
};

// One connection to an MQTT broker, on the library's own network thread.
class MqttClient {
public:
    // Called on the library's thread.
    struct Events {
        std::function<void(int rc)> connected; // 0: accepted
        std::function<void()> disconnected;
        std::function<void(const QByteArray &topic, const QByteArray &payload)> message;
        // The secure connection failed; the library's words for why.
        std::function<void(const QString &why)> tlsFailed;
    };
    struct Setup {
        QByteArray id;
        QByteArray willTopic; // the will clears this retained topic
        bool tls = false;
        QByteArray caFile; // empty: the system's authorities
        int keepaliveSeconds = 30;
    };
    virtual ~MqttClient() = default;
    // Starts connecting (and reconnecting when the connection drops) in the
    // background; the host must be a number, or a name already looked up.
    virtual void connectTo(const QByteArray &host, quint16 port) = 0;
    virtual void publish(const QByteArray &topic, const QByteArray &payload, int qos, bool retain) = 0;
    virtual void subscribe(const QByteArray &topic) = 0;
    // Sends what is queued when connected, disconnects and ends the thread.
    virtual void stop() = 0;
    // The broker's reason for refusing, in words ("not authorised").
    virtual QString refusal(int rc) const = 0;
};

// One ICE session (libnice, reliable mode: an ordered byte stream over UDP,
// hole-punched or through a TURN relay), piping a TCP socket once it is
// ready. Everything happens on the module's own thread; the events are
// called there. Deleting the link ends the session and closes the socket;
// no event comes after.
class IceLink {
public:
    enum class Path { Direct, Relayed };
    struct Events {
        // This side's credentials and candidates, once gathered: for the peer.
        std::function<void(const QByteArray &description)> described;
        std::function<void(Path path)> ready;
        // Failed before it was ready, or the stream ended afterwards.
        std::function<void(const QString &why)> ended;
    };
    struct Setup {
        bool controlling = false; // the joining side
        QByteArray stunHost; // numeric; empty: no STUN
        quint16 stunPort = 3478;
        QByteArray turnHost; // numeric; empty: no relay
        quint16 turnPort = 3478;
        QByteArray turnUser;
        QByteArray turnPassword;
        // What the stream is piped to once ready: this socket (owned from
        // now on), or with -1 a new TCP connection to 127.0.0.1 at pipePort.
        int socket = -1;
        quint16 pipePort = 0;
        QByteArray first; // read from the socket already: sent to the peer first
    };
    virtual ~IceLink() = default;
    // The peer's description; false when it does not read.
    virtual bool setRemote(const QByteArray &description) = 0;
};

struct NetModule {
    RouterClient *(*router)();
    MqttClient *(*mqtt)(const MqttClient::Setup &setup, MqttClient::Events events); // null when out of memory
    IceLink *(*ice)(const IceLink::Setup &setup, IceLink::Events events);
    // Ed25519 (libsodium): a key pair from a 32-byte seed (null seed: a new
    // random one, returned in it), signatures of 64 bytes, and a BLAKE2b
    // digest of the length asked.
    bool (*keys)(QByteArray *seed, QByteArray *publicKey, QByteArray *secretKey);
    QByteArray (*sign)(const QByteArray &secretKey, const QByteArray &message);
    bool (*verify)(const QByteArray &publicKey, const QByteArray &message, const QByteArray &signature);
    QByteArray (*digest)(const QByteArray &data, int bytes);
};

// The module's one export, resolved by name.
#define WORDMIRE_NET_MODULE_ENTRY "wordmire_net_module"
using NetModuleEntry = const NetModule *(*)();

// Loads the module (once); null when it cannot be found.
const NetModule *netModule();

} // namespace lobby
