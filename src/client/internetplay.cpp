#include "internetplay.h"

#include "chatview.h"
#include "netbackend.h"
#include "preferences.h"

InternetPlay::InternetPlay(Preferences &prefs, ChatView &chat, QObject *parent)
    : QObject(parent), m_prefs(prefs), m_chat(chat), m_mapper(this), m_internet(this)
{
    m_publish.setInterval(lobby::IntervalMs);
    connect(&m_publish, &QTimer::timeout, this, &InternetPlay::publish);
    connect(&m_mapper, &lobby::PortMapper::finished, this, [this](bool, const QString &status) {
        m_chat.addLine(status.toLatin1() + ".");
        publish();
        emit changed();
    });
    connect(&m_mapper, &lobby::PortMapper::lost, this, [this](const QString &status) {
        m_chat.addLine("The router no longer forwards the game's port: " + status.toLatin1() + ".");
        m_internet.clearGame();
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
        m_chat.addLine("Your game is now listed in the internet lobby.");
    });
}

void InternetPlay::startHosting(quint16 port)
{
    if (m_hosting)
        return;
    m_hosting = true;
    m_port = port;
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
    m_internet.clearGame();
    if (!m_browsing)
        m_internet.close();
    emit changed();
}

void InternetPlay::setBrowsing(bool browsing)
{
    m_browsing = browsing;
    if (browsing)
        connectLobby();
    else if (!m_hosting)
        m_internet.close();
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
        m_internet.clearGame();
    }
    emit changed();
}

void InternetPlay::connectLobby()
{
    const QString server = QString::fromLatin1(m_prefs.values().lobbyserver);
    if (server.isEmpty() || (!m_hosting && !m_browsing))
        return;
    m_internet.open(server);
}

QString InternetPlay::hostingStatus() const
{
    if (!m_hosting)
        return {};
    if (!m_prefs.values().openrouterport)
        return QStringLiteral("The router is not asked to open the port (your choice): players outside your network "
                              "reach you only if you forward TCP port %1 yourself.")
                .arg(m_port);
    return m_mapper.status();
}

// The game is listed only once the router has given it an address on the
// internet: without one, nobody who reads the lobby could reach it.
void InternetPlay::publish()
{
    if (!m_hosting || !m_source || m_internet.state() != lobby::InternetLobby::State::Connected)
        return;
    if (m_mapper.state() != lobby::PortMapper::State::Mapped
            || !lobby::isInternetAddress(QHostAddress(m_mapper.externalAddress()))) {
        m_internet.clearGame();
        return;
    }
    const lobby::Announcement a = m_source();
    lobby::InternetGame g;
    g.name = a.name;
    g.seatsTaken = a.seatsTaken;
    g.running = a.running;
    g.address = m_mapper.externalAddress();
    g.port = m_port;
    m_internet.publishGame(g);
}
