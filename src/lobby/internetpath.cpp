#include "internetpath.h"
#include "logging.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>

#include <unistd.h>

namespace lobby {

QByteArray relayPassword(const QByteArray &secret, const QByteArray &user)
{
    return QMessageAuthenticationCode::hash(user, secret, QCryptographicHash::Sha1).toBase64();
}

IceLink::Setup iceSetup(const InternetLobby &lobby, bool controlling)
{
    IceLink::Setup setup;
    setup.controlling = controlling;
    const QByteArray server = lobby.serverAddress().toLatin1();
    setup.stunHost = server;
    setup.stunPort = RelayPort;
    setup.turnHost = server;
    setup.turnPort = RelayPort;
    setup.turnUser = QByteArray::number(QDateTime::currentSecsSinceEpoch() + RelayCredentialSeconds) + ':'
            + lobby.clientId().toLatin1();
    setup.turnPassword = relayPassword(RelaySecret, setup.turnUser);
    return setup;
}

QString pathWords(IceLink::Path path)
{
    return path == IceLink::Path::Relayed ? QCoreApplication::translate("JoinPath", "through the lobby's relay")
                                          : QCoreApplication::translate("JoinPath", "straight through both routers");
}

namespace {

QByteArray newSession()
{
    return QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0');
}

// Events of a link come on the module's thread; they are handed to the
// object's own, where it may be gone by then.
template <class T, class F> auto onThread(T *object, F f)
{
    return [guard = QPointer<T>(object), f](auto... args) {
        QMetaObject::invokeMethod(guard.data(), [guard, f, args...] {
            if (guard)
                f(args...);
        });
    };
}

} // namespace

struct IceHost::Link {
    QString from;
    QByteArray session;
    std::unique_ptr<IceLink> ice;
    QTimer connecting;
    bool ready = false;
};

IceHost::IceHost(InternetLobby &lobby, QObject *parent) : QObject(parent), m_lobby(lobby)
{
    m_clock.start();
    connect(&lobby.model(), &LobbyModel::iceSignal, this, [this](const IceSignal &signal) {
        if (signal.offer)
            offered(signal);
    });
}

IceHost::~IceHost() = default;

void IceHost::start(quint16 port)
{
    m_port = port;
}

void IceHost::stop()
{
    m_port = 0;
    m_links.clear();
    m_lastOffer.clear();
}

void IceHost::offered(const IceSignal &offer)
{
    const NetModule *module = netModule();
    if (!m_port || !module)
        return;
    const qint64 now = m_clock.elapsed();
    const auto last = m_lastOffer.constFind(offer.from);
    if (last != m_lastOffer.constEnd() && now - *last < OfferIntervalMs)
        return;
    if (m_lastOffer.size() > 4 * MaxSessions)
        m_lastOffer.removeIf([now](const auto &it) { return now - it.value() >= OfferIntervalMs; });
    m_lastOffer.insert(offer.from, now);
    const auto mine =
            std::count_if(m_links.cbegin(), m_links.cend(), [&](const auto &l) { return l->from == offer.from; });
    const bool known = std::any_of(m_links.cbegin(), m_links.cend(),
            [&](const auto &l) { return l->from == offer.from && l->session == offer.session; });
    if (known || mine >= MaxPerSender || int(m_links.size()) >= MaxSessions)
        return;
    auto link = std::make_unique<Link>();
    Link *l = link.get();
    l->from = offer.from;
    l->session = offer.session;
    IceLink::Setup setup = iceSetup(m_lobby, false);
    if (!offer.relay)
        setup.turnHost.clear();
    setup.pipePort = m_port;
    IceLink::Events events;
    events.described = onThread(this, [this, l](const QByteArray &description) {
        if (!holds(l))
            return;
        IceSignal answer;
        answer.offer = false;
        answer.session = l->session;
        answer.description = description;
        m_lobby.sendIce(l->from, answer);
    });
    events.ready = onThread(this, [this, l](IceLink::Path path) {
        if (!holds(l))
            return;
        l->ready = true;
        l->connecting.stop();
        emit joined(path);
    });
    events.ended = onThread(this, [this, l](const QString &) { drop(l); });
    l->ice.reset(module->ice(setup, std::move(events)));
    if (!l->ice || !l->ice->setRemote(offer.description))
        return;
    l->connecting.setSingleShot(true);
    connect(&l->connecting, &QTimer::timeout, this, [this, l] { drop(l); });
    l->connecting.start(ConnectMs);
    m_links.push_back(std::move(link));
}

bool IceHost::holds(const Link *link) const
{
    return std::any_of(m_links.cbegin(), m_links.cend(), [link](const auto &l) { return l.get() == link; });
}

void IceHost::drop(Link *link)
{
    std::erase_if(m_links, [link](const auto &l) { return l.get() == link; });
}

struct JoinPath::Carry {
    ~Carry()
    {
        if (socket >= 0)
            ::close(socket);
    }
    QPointer<QTcpSocket> local; // the window's connection, until ICE takes it
    QPointer<QTcpSocket> direct;
    QTimer timer;
    // Once ICE has it: the window's connection, and what it said meanwhile.
    // Each try gets a copy; the connection closes when this goes.
    int socket = -1;
    QByteArray first;
    QByteArray session;
    bool relay = false; // the try through the relay
    std::unique_ptr<IceLink> ice;
};

JoinPath::JoinPath(InternetLobby &lobby, const InternetGame &game, QObject *parent)
    : QObject(parent), m_lobby(lobby), m_game(game)
{
    connect(&m_server, &QTcpServer::newConnection, this, &JoinPath::accepted);
    connect(&lobby.model(), &LobbyModel::iceSignal, this, [this](const IceSignal &signal) {
        if (!signal.offer && signal.from == m_game.id)
            answered(signal);
    });
    m_server.listen(QHostAddress::LocalHost);
}

JoinPath::~JoinPath() = default;

QString JoinPath::address() const
{
    return m_server.isListening() ? QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()) : QString();
}

void JoinPath::accepted()
{
    while (QTcpSocket *local = m_server.nextPendingConnection()) {
        // Only this game's window: one connection at a time (a reconnect
        // replaces the last, which is closed).
        while (!m_carries.empty())
            drop(m_carries.front().get());
        auto carry = std::make_unique<Carry>();
        Carry *c = carry.get();
        c->local = local;
        local->setParent(this);
        m_carries.push_back(std::move(carry));
        connect(local, &QTcpSocket::disconnected, this, [this, c] { drop(c); });
        c->timer.setSingleShot(true);
        if (m_game.address.isEmpty()) {
            tryIce(c);
            continue;
        }
        // The listed address first: the plain path, when it works.
        auto *direct = new QTcpSocket(this);
        c->direct = direct;
        connect(&c->timer, &QTimer::timeout, this, [this, c] { tryIce(c); });
        // Refused or unreachable while trying; an error once through (the
        // host closing) ends the connection instead.
        connect(direct, &QTcpSocket::errorOccurred, this, [this, c] {
            if (c->timer.isActive())
                tryIce(c);
        });
        connect(direct, &QTcpSocket::connected, this, [this, c] {
            c->timer.stop();
            // Both ways as it comes; either end closing closes the other.
            const auto pipe = [](QTcpSocket *from, QTcpSocket *to) {
                connect(from, &QTcpSocket::readyRead, to, [from, to] { to->write(from->readAll()); });
            };
            pipe(c->local, c->direct);
            pipe(c->direct, c->local);
            c->direct->write(c->local->readAll());
            connect(c->direct, &QTcpSocket::disconnected, this, [this, c] { drop(c); });
            qCDebug(lcLobby, "joined a game at the address its host listed");
            emit through(QCoreApplication::translate("JoinPath", "at the address the host listed"));
        });
        direct->connectToHost(m_game.address, m_game.port);
        c->timer.start(DirectMs);
    }
}

void JoinPath::tryIce(Carry *carry)
{
    if (carry->direct) {
        carry->direct->disconnect(this);
        carry->direct->abort();
        carry->direct->deleteLater();
    }
    carry->timer.disconnect();
    if (!netModule() || !carry->local || carry->local->state() != QAbstractSocket::ConnectedState) {
        qCDebug(lcLobby, "the listed address failed after it worked");
        emit failed(QCoreApplication::translate("JoinPath", "The host cannot be reached."));
        return drop(carry);
    }
    // The window's connection goes to ICE whole, with what it has said so far.
    carry->first = carry->local->readAll();
    carry->socket = ::dup(int(carry->local->socketDescriptor()));
    carry->local->disconnect(this);
    carry->local->abort();
    carry->local->deleteLater();
    connect(&carry->timer, &QTimer::timeout, this, [this, carry] { iceFailed(carry, {}); });
    startIce(carry);
}

// First without the relay, so that a path punched through both routers is
// the one taken whenever there is one (ICE, offered both at once, may
// settle on the relay's pair because it answered first); then through it.
void JoinPath::startIce(Carry *carry)
{
    IceLink::Setup setup = iceSetup(m_lobby, true);
    if (!carry->relay)
        setup.turnHost.clear();
    setup.first = carry->first;
    setup.socket = ::dup(carry->socket);
    carry->session = newSession();
    IceLink::Events events;
    events.described = onThread(this, [this, carry](const QByteArray &description) {
        if (!holds(carry))
            return;
        IceSignal offer;
        offer.session = carry->session;
        offer.relay = carry->relay;
        offer.description = description;
        m_lobby.sendIce(m_game.id, offer);
    });
    events.ready = onThread(this, [this, carry](IceLink::Path path) {
        if (!holds(carry))
            return;
        carry->timer.stop();
        qCDebug(lcLobby, "joined a game %s", qPrintable(pathWords(path)));
        emit through(pathWords(path));
    });
    events.ended = onThread(this, [this, carry](const QString &why) {
        if (holds(carry))
            iceFailed(carry, why);
    });
    carry->ice.reset(netModule()->ice(setup, std::move(events)));
    carry->timer.start(carry->relay ? IceMs : PunchMs);
}

void JoinPath::iceFailed(Carry *carry, const QString &why)
{
    // Ended after it was through: the game's connection is over.
    if (!carry->timer.isActive() && why.size())
        return drop(carry);
    if (!carry->relay) {
        carry->relay = true;
        carry->ice.reset();
        return startIce(carry);
    }
    emit failed(why.isEmpty() ? QCoreApplication::translate(
                        "JoinPath", "The host cannot be reached: no path through the routers or the relay.")
                              : QCoreApplication::translate("JoinPath", "The host cannot be reached: %1.").arg(why));
    drop(carry);
}

void JoinPath::answered(const IceSignal &answer)
{
    for (const auto &c : m_carries)
        if (c->ice && c->session == answer.session)
            c->ice->setRemote(answer.description);
}

bool JoinPath::holds(const Carry *carry) const
{
    return std::any_of(m_carries.cbegin(), m_carries.cend(), [carry](const auto &c) { return c.get() == carry; });
}

void JoinPath::drop(Carry *carry)
{
    const auto it =
            std::find_if(m_carries.begin(), m_carries.end(), [carry](const auto &c) { return c.get() == carry; });
    if (it == m_carries.end())
        return;
    std::unique_ptr<Carry> gone = std::move(*it);
    m_carries.erase(it);
    for (QTcpSocket *s : {gone->local.data(), gone->direct.data()})
        if (s) {
            s->disconnect(this);
            s->abort();
            s->deleteLater();
        }
}

} // namespace lobby
