#include "internetplay.h"

#include "netbackend.h"
#include "preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkInterface>

namespace {

// An address of this computer's own that others on the internet could
// reach (a server, a university network, IPv6 with a global address);
// IPv4 first, which every player can reach.
QString ownInternetAddress()
{
    QString found;
    for (const QHostAddress &a : QNetworkInterface::allAddresses())
        if (lobby::isInternetAddress(a) && (found.isEmpty() || a.protocol() == QAbstractSocket::IPv4Protocol)) {
            found = a.toString();
            if (a.protocol() == QAbstractSocket::IPv4Protocol)
                break;
        }
    return found;
}

} // namespace

InternetPlay::InternetPlay(Preferences &prefs, QObject *parent)
    : QObject(parent), m_prefs(prefs), m_mapper(this), m_internet(this), m_iceHost(m_internet, this)
{
    connect(&m_iceHost, &lobby::IceHost::joined, this, [this](lobby::IceLink::Path path) {
        emit said(tr("A player on the internet came %1.").arg(lobby::pathWords(path)).toLatin1());
    });
    m_publish.setInterval(lobby::IntervalMs);
    connect(&m_publish, &QTimer::timeout, this, &InternetPlay::publish);
    connect(&m_mapper, &lobby::PortMapper::finished, this, [this](bool mapped, const QString &status) {
        // With a lobby, a router that opens nothing is no dead end: the
        // lobby lists the game anyway, and players come through it.
        if (!mapped && !m_prefs.values().lobbyserver.isEmpty())
            emit said(tr("No router opened the game's port; the internet lobby lists your game all the same.")
                              .toLatin1());
        else
            emit said(status.toLatin1() + ".");
        publish();
        emit changed();
    });
    connect(&m_mapper, &lobby::PortMapper::lost, this, [this](const QString &status) {
        emit said(tr("The router no longer forwards the game's port: %1.").arg(status).toLatin1());
        publish();
        emit changed();
    });
    connect(&m_internet, &lobby::InternetLobby::stateChanged, this, [this] {
        publish();
        emit changed();
    });
    // Said once the broker holds the game, not when it is sent: a broker
    // that drops it lists nothing.
    connect(&m_internet, &lobby::InternetLobby::gameListed, this, [this] {
        if (m_listedSaid || !m_hosting)
            return;
        m_listedSaid = true;
        emit said(tr("Your game is now listed in the internet lobby.").toLatin1());
    });
}

void InternetPlay::startHosting(quint16 port)
{
    if (m_hosting)
        return;
    m_hosting = true;
    m_port = port;
    m_iceHost.start(port);
    if (m_prefs.values().openrouterport)
        m_mapper.start(port);
    connectLobby();
    m_publish.start();
    emit changed();
}

void InternetPlay::stopHosting()
{
    if (!m_hosting)
        return;
    m_hosting = false;
    m_publish.stop();
    m_mapper.stop();
    m_iceHost.stop();
    m_internet.clearGame();
    m_reach.reset();
    closeUnlessUsed();
    emit changed();
}

void InternetPlay::closeUnlessUsed()
{
    if (!m_browsing && !m_hosting && !m_joined)
        m_internet.close();
}

QString InternetPlay::join(const lobby::InternetGame &game)
{
    m_joined = std::make_unique<lobby::JoinPath>(m_internet, game);
    connect(m_joined.get(), &lobby::JoinPath::through, this,
            [this](const QString &words) { emit said(tr("Connected to the host %1.").arg(words).toLatin1()); });
    connect(m_joined.get(), &lobby::JoinPath::failed, this, [this](const QString &why) { emit said(why.toLatin1()); });
    return m_joined->address();
}

void InternetPlay::leaveJoined()
{
    m_joined.reset();
    closeUnlessUsed();
}

void InternetPlay::setBrowsing(bool browsing)
{
    m_browsing = browsing;
    if (browsing)
        connectLobby();
    else
        closeUnlessUsed();
}

void InternetPlay::setServer(const QString &server)
{
    const QByteArray bytes = server.trimmed().toLatin1();
    if (bytes != m_prefs.values().lobbyserver)
        m_prefs.setLobbyServer(bytes);
    m_internet.close();
    m_listedSaid = false;
    connectLobby();
    emit changed();
}

void InternetPlay::setOpenRouterPort(bool on)
{
    if (on == m_prefs.values().openrouterport)
        return;
    m_prefs.setOpenRouterPort(on);
    if (!m_hosting)
        return;
    if (on) {
        m_mapper.start(m_port);
    } else {
        m_mapper.stop();
        publish();
    }
    emit changed();
}

void InternetPlay::connectLobby()
{
    const QString server = QString::fromLatin1(m_prefs.values().lobbyserver);
    if (server.isEmpty() || (!m_hosting && !m_browsing && !m_joined))
        return;
    // The key pair is kept beside the settings, read the first time the
    // lobby is used (it needs the internet module).
    if (!m_identityKept) {
        m_identityKept = true;
        if (std::optional<lobby::Identity> me =
                        lobby::Identity::kept(QFileInfo(m_prefs.path()).dir().filePath(QStringLiteral("wordmire.key"))))
            m_internet.setIdentity(*me);
    }
    m_internet.open(server);
}

QString InternetPlay::hostingStatus() const
{
    if (!m_hosting)
        return {};
    if (m_reach && m_internet.state() == lobby::InternetLobby::State::Connected) {
        switch (*m_reach) {
        case lobby::InternetGame::Reach::Router:
            return tr("Players on the internet reach you through your router's open port.");
        case lobby::InternetGame::Reach::Own:
            return tr("Players on the internet reach you directly at %1.").arg(ownInternetAddress());
        case lobby::InternetGame::Reach::Lobby:
            return tr("Players on the internet reach you through the lobby's relay: a little slower.");
        }
    }
    // With a lobby every game is listed somehow: until it is, the router's
    // answer is only a step on the way.
    if (!m_prefs.values().lobbyserver.isEmpty() && m_mapper.state() != lobby::PortMapper::State::Asking)
        return tr("Listing your game in the internet lobby...");
    if (!m_prefs.values().openrouterport)
        return tr("The router is not asked to open the port (your choice): players outside your network "
                  "reach you only if you forward TCP port %1 yourself.")
                .arg(m_port);
    return m_mapper.status();
}

// Listed under the best way in: the router's open port, else an address of
// this computer's own on the internet, else through the lobby (once the
// router has answered: its port, when it opens one, is the plainer path).
void InternetPlay::publish()
{
    if (!m_hosting || !m_source || m_internet.state() != lobby::InternetLobby::State::Connected)
        return;
    lobby::InternetGame g;
    const QString own = ownInternetAddress();
    if (m_mapper.state() == lobby::PortMapper::State::Mapped
            && lobby::isInternetAddress(QHostAddress(m_mapper.externalAddress()))) {
        g.reach = lobby::InternetGame::Reach::Router;
        g.address = m_mapper.externalAddress();
    } else if (!own.isEmpty()) {
        g.reach = lobby::InternetGame::Reach::Own;
        g.address = own;
    } else if (m_mapper.state() == lobby::PortMapper::State::Asking) {
        return;
    } else {
        g.reach = lobby::InternetGame::Reach::Lobby;
    }
    const lobby::Announcement a = m_source();
    g.name = a.name;
    g.seatsTaken = a.seatsTaken;
    g.running = a.running;
    // Through the lobby no port is listed: the joiner's ICE session ends at
    // this copy, which passes it on to the game's port.
    g.port = g.reach == lobby::InternetGame::Reach::Lobby ? lobby::InternetGame().port : m_port;
    const bool changedReach = m_reach != g.reach;
    m_reach = g.reach;
    m_internet.publishGame(g);
    if (changedReach)
        emit changed();
}
