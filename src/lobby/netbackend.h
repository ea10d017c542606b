#pragma once
// What the internet module offers. The router libraries (miniupnpc and
// libnatpmp) and the message broker's client library (libmosquitto, with
// OpenSSL under it) live in a module of their own, loaded the first time a
// copy hosts or opens the lobby, so the program starts without them.

#include <QByteArray>
#include <QString>

#include <functional>

namespace lobby {

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

// Talks with the home router; each call may wait on the network (2 s at
// most), so it is made on a thread of its own, one call at a time.
class RouterClient {
public:
    virtual ~RouterClient() = default;
    // Maps the TCP port (the same number outside) to this computer, or
    // renews the mapping made before.
    virtual RouterAnswer map(quint16 port, int leaseSeconds) = 0;
    // Removes what map() made, if anything.
    virtual void unmap(quint16 port) = 0;
};

// One connection to an MQTT broker, on the library's own network thread.
class MqttClient {
public:
    // Called on the library's thread.
    struct Events {
        std::function<void(int rc)> connected; // 0: accepted
        std::function<void()> disconnected;
        std::function<void(const QByteArray &topic, const QByteArray &payload)> message;
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
    // The broker's reason for refusing, in words.
    virtual QString refusal(int rc) const = 0;
};

struct NetModule {
    RouterClient *(*router)();
    MqttClient *(*mqtt)(const MqttClient::Setup &setup, MqttClient::Events events); // null when out of memory
};

// The module's one export, resolved by name.
#define WORDMIRE_NET_MODULE_ENTRY "wordmire_net_module"
using NetModuleEntry = const NetModule *(*)();

// Loads the module (once); null when it cannot be found.
const NetModule *netModule();

} // namespace lobby
