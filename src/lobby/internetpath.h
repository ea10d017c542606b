#pragma once
// The paths a game takes between players on the internet. A joiner's window
// connects, as ever, to a TCP address: for a game from the internet lobby
// that is a port of its own computer, from which each connection is carried
// to the host by the best path there is: the address the host listed (its
// router's open port, or its own public address), else an ICE session set
// up through the lobby, punched straight through both routers when they
// let it, else through the lobby's TURN relay. On the host's side an ICE
// session ends in an ordinary connection to the game's port, so the host
// treats a player who came that way like any other.

#include "internetlobby.h"
#include "netbackend.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTcpServer>

#include <memory>

class QTcpSocket;

namespace lobby {

// The lobby's STUN and TURN server (coturn) runs beside its broker, on the
// standard port, with coturn's shared-secret credentials: each copy signs
// in as "<expiry>:<its id>", so the relay's quotas hold per copy.
constexpr quint16 RelayPort = 3478;
inline const QByteArray RelaySecret = "wordmire-relay";
constexpr int RelayCredentialSeconds = 24 * 3600;
// What ICE is given for this lobby's server.
IceLink::Setup iceSetup(const InternetLobby &lobby, bool controlling);
// coturn's password for a user name under the shared secret.
QByteArray relayPassword(const QByteArray &secret, const QByteArray &user);

// How a player came or went, in a word for the lines the window shows.
QString pathWords(IceLink::Path path);

// While hosting: answers joiners' offers, each with an ICE session piped to
// the game's port on this computer. A flood of offers costs little: few
// sessions at once, one a second from one sender, and each gets a while to
// connect.
class IceHost : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxSessions = 16;
    static constexpr int MaxPerSender = 2;
    static constexpr int OfferIntervalMs = 1000;
    static constexpr int ConnectMs = 30000;

    explicit IceHost(InternetLobby &lobby, QObject *parent = nullptr);
    ~IceHost() override;
    void start(quint16 port);
    void stop();
    int sessions() const { return int(m_links.size()); }

signals:
    void joined(lobby::IceLink::Path path);

private:
    struct Link;
    void offered(const IceSignal &offer);
    bool holds(const Link *link) const;
    void drop(Link *link);

    InternetLobby &m_lobby;
    quint16 m_port = 0;
    std::vector<std::unique_ptr<Link>> m_links;
    QHash<QString, qint64> m_lastOffer;
    QElapsedTimer m_clock;
};

// While playing a game from the internet lobby: the local port the window
// connects to.
class JoinPath : public QObject {
    Q_OBJECT
public:
    // How long the listed address gets before ICE is tried, and ICE before
    // the joiner is told there is no way through.
    static constexpr int DirectMs = 4000;
    static constexpr int PunchMs = 8000;
    static constexpr int IceMs = 25000;

    JoinPath(InternetLobby &lobby, const InternetGame &game, QObject *parent = nullptr);
    ~JoinPath() override;
    // "127.0.0.1:port" for the window; empty when no local port was had.
    QString address() const;
    const InternetGame &game() const { return m_game; }

signals:
    // The words for the path a connection took, once it is through.
    void through(const QString &words);
    // No path: the window's connection is closed, and this says why.
    void failed(const QString &why);

private:
    struct Carry;
    void accepted();
    void tryIce(Carry *carry);
    void startIce(Carry *carry);
    void iceFailed(Carry *carry, const QString &why);
    void answered(const IceSignal &answer);
    bool holds(const Carry *carry) const;
    void drop(Carry *carry);

    InternetLobby &m_lobby;
    InternetGame m_game;
    QTcpServer m_server;
    std::vector<std::unique_ptr<Carry>> m_carries;
};

} // namespace lobby
