#include "internetlobby.h"
#include "logging.h"

#include "lobby.h"
#include "netbackend.h"

#include <QDateTime>
#include <QHostInfo>
#include <QRandomGenerator>

namespace lobby {

namespace {

const QByteArray GamesTopic = TopicRoot + "games/";
const QByteArray ChatTopic = TopicRoot + "chat/";
const QByteArray IceTopic = TopicRoot + "ice/";
constexpr int KeepaliveSeconds = 30;
// Not connected after this long: the player is told, while it keeps trying.
constexpr int SlowMs = 3000;

} // namespace

QByteArray senderOf(const QByteArray &topic)
{
    for (const QByteArray *root : {&GamesTopic, &ChatTopic})
        if (topic.startsWith(*root))
            return topic.mid(root->size());
    if (!topic.startsWith(IceTopic))
        return {};
    const QList<QByteArray> ids = topic.mid(IceTopic.size()).split('/');
    return ids.size() == 2 ? ids[1] : QByteArray();
}

Heard openedOnArrival(const QByteArray &topic, const QByteArray &payload)
{
    const QByteArray id = senderOf(topic);
    if (payload.isEmpty() || !validClientId(id))
        return Heard{topic, payload, 1, std::nullopt};
    return Heard{topic, payload, 1, unseal(topic, QString::fromLatin1(id), payload)};
}

void LobbyModel::received(const QByteArray &topic, const QByteArray &payload)
{
    receivedAll({Heard{topic, payload, 1, std::nullopt}});
}

void LobbyModel::receivedAll(const QList<Heard> &messages)
{
    receivedUntil(messages, 0, QDeadlineTimer::Forever);
}

qsizetype LobbyModel::receivedUntil(const QList<Heard> &messages, qsizetype from, const QDeadlineTimer &deadline)
{
    bool changed = false;
    while (from < messages.size()) {
        take(messages[from++], &changed);
        if (deadline.hasExpired())
            break;
    }
    if (changed)
        emit gamesChanged();
    return from;
}

void LobbyModel::setSearch(const QString &text)
{
    m_search = text.trimmed();
    for (Kept &k : m_games)
        k.matching = matches(k.game);
}

bool LobbyModel::matches(const InternetGame &g) const
{
    return !m_search.isEmpty() && g.name.contains(m_search, Qt::CaseInsensitive);
}

QList<InternetGame> LobbyModel::games() const
{
    QList<InternetGame> out;
    out.reserve(m_games.size());
    for (const Kept &k : m_games)
        out.append(k.game);
    return out;
}

const InternetGame *LobbyModel::game(const QString &id) const
{
    const auto it = m_games.constFind(id);
    return it == m_games.cend() ? nullptr : &it->game;
}

void LobbyModel::noteChange(const QString &id, qint64 now, int times)
{
    // Bounded: games quiet for the window are forgotten, and should the
    // lobby hold more that churn than that, all.
    if (m_changes.size() > 4 * m_capacity) {
        m_changes.removeIf([&](const auto &it) { return now - it.value().constLast() >= ChurnWindowMs; });
        if (m_changes.size() > 4 * m_capacity)
            m_changes.clear();
    }
    QList<qint64> &changes = m_changes[id];
    for (int i = 0; i < qMin(times, ChurnLimit); ++i)
        changes.append(now);
    while (changes.size() > ChurnLimit)
        changes.removeFirst();
}

bool LobbyModel::calm(const QString &id, qint64 now) const
{
    const auto it = m_changes.constFind(id);
    return it == m_changes.cend() || it->size() < ChurnLimit || now - it->constFirst() >= ChurnWindowMs;
}

QString LobbyModel::leastRelevant() const
{
    const qint64 now = m_clock.elapsed();
    // Ranked by: matching the search, calm, heard from lately; the lowest goes.
    const auto rank = [&](const Kept &k) { return std::tuple(k.matching, calm(k.game.id, now), k.seen); };
    auto lowest = m_games.cbegin();
    for (auto it = m_games.cbegin(); it != m_games.cend(); ++it)
        if (rank(*it) < rank(*lowest))
            lowest = it;
    return lowest.key();
}

std::optional<QByteArray> LobbyModel::opened(const Heard &heard, const QString &id, bool sameTimeOk)
{
    const QByteArray &topic = heard.topic;
    std::optional<Unsealed> u = heard.opened ? *heard.opened : unseal(topic, id, heard.payload);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!u || qAbs(u->when - now) > MaxMessageAgeMs) {
        qCDebug(lcLobby, "refused a message on %s: %s", topic.constData(), u ? "too old or too new" : "seal broken");
        return std::nullopt;
    }
    const auto last = m_sealedAt.constFind(topic);
    if (last != m_sealedAt.constEnd() && (u->when < *last || (u->when == *last && !sameTimeOk))) {
        qCDebug(lcLobby, "refused a message on %s: older than one already taken", topic.constData());
        return std::nullopt;
    }
    // Bounded like the rest: what is older than any message still taken goes.
    if (m_sealedAt.size() > 2 * m_capacity)
        m_sealedAt.removeIf([&](const auto &it) { return now - it.value() > MaxMessageAgeMs; });
    if (m_sealedAt.size() > 2 * m_capacity)
        m_sealedAt.clear();
    m_sealedAt.insert(topic, u->when);
    return std::move(u->message);
}

QString LobbyModel::shownName(const QString &id, const QString &name)
{
    if (m_names.size() > 2 * m_capacity)
        m_names.clear();
    m_names.insert(id, name);
    for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
        if (it.key() != id && it.value().compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("%1 (%2)").arg(name, id.mid(2, 4));
    return name;
}

void LobbyModel::take(const Heard &heard, bool *changed)
{
    const QByteArray &topic = heard.topic;
    const QByteArray &payload = heard.payload;
    if (payload.size() > MaxMessage + 200 && !(topic.startsWith(IceTopic) && payload.size() <= MaxIceMessage + 200))
        return;
    if (topic.startsWith(IceTopic)) {
        // ice/<to>/<from>: only what is addressed to this copy.
        const QList<QByteArray> ids = topic.mid(IceTopic.size()).split('/');
        if (ids.size() != 2 || QString::fromLatin1(ids[0]) != m_ownId || !validClientId(ids[1]))
            return;
        const QString from = QString::fromLatin1(ids[1]);
        const std::optional<QByteArray> message = opened(heard, from, false);
        std::optional<IceSignal> signal = message ? decodeIce(*message) : std::nullopt;
        if (!signal)
            return;
        signal->from = from;
        emit iceSignal(*signal);
        return;
    }
    if (topic.startsWith(GamesTopic)) {
        const QByteArray id = topic.mid(GamesTopic.size());
        if (!validClientId(id))
            return;
        const bool cleared = payload.isEmpty();
        if (QString::fromLatin1(id) == m_ownId) {
            // The broker hands this copy's own game back: it holds it.
            if (!cleared)
                emit ownGameHeld(payload);
            return;
        }
        const QString key = QString::fromLatin1(id);
        const auto at = m_games.find(key);
        const bool known = at != m_games.end();
        if (cleared) {
            // The host left (cleanly or through its last will).
            if (known) {
                m_games.erase(at);
                *changed = true;
                emit gameRemoved(key);
            }
            return;
        }
        const std::optional<QByteArray> message = opened(heard, key, true);
        std::optional<InternetGame> g = message ? decodeGame(*message) : std::nullopt;
        if (!g)
            return;
        g->id = key;
        m_names.insert(key, g->name);
        const qint64 now = m_clock.elapsed();
        if (known) {
            at->seen = ++m_messages;
            // Updates merged on the way count as the changes they were.
            const bool differs = !(at->game == *g);
            if (differs || heard.updates > 1)
                noteChange(key, now, differs ? heard.updates : heard.updates - 1);
            if (differs) {
                at->game = *g;
                at->matching = matches(*g);
                *changed = true;
                emit gameChanged(*g);
            }
            return;
        }
        noteChange(key, now, heard.updates);
        if (m_games.size() >= m_capacity) {
            // Room is made by the least relevant game, unless the newcomer
            // is less relevant still (a churning game while the list holds
            // calm ones, a junk name while the player searches). Heard just
            // now, it is the newest.
            const QString out = leastRelevant();
            if (std::tuple(matches(*g), calm(key, now)) < std::tuple(m_games[out].matching, calm(out, now)))
                return;
            m_games.remove(out);
            emit gameRemoved(out);
        }
        m_games.insert(key, Kept{*g, ++m_messages, matches(*g)});
        *changed = true;
        emit gameAdded(*g);
        return;
    }
    if (topic.startsWith(ChatTopic)) {
        const QByteArray id = topic.mid(ChatTopic.size());
        if (!validClientId(id))
            return;
        const QString key = QString::fromLatin1(id);
        const qint64 now = m_clock.elapsed();
        const auto last = m_lastLine.constFind(key);
        if (last != m_lastLine.constEnd() && now - *last < ChatIntervalMs)
            return;
        while (!m_recentLines.isEmpty() && now - m_recentLines.constFirst() >= 1000)
            m_recentLines.removeFirst();
        if (m_recentLines.size() >= MaxChatPerSecond)
            return;
        const std::optional<QByteArray> message = opened(heard, key, false);
        std::optional<LobbyLine> line = message ? decodeChat(*message) : std::nullopt;
        if (!line)
            return;
        line->name = shownName(key, line->name);
        if (m_lastLine.size() > MaxTalkers)
            m_lastLine.removeIf([now](const auto &it) { return now - it.value() >= ChatIntervalMs; });
        m_lastLine.insert(key, now);
        m_recentLines.append(now);
        line->id = key;
        if (m_chat.size() >= ChatHistory)
            m_chat.removeFirst();
        m_chat.append(*line);
        emit chatLine(*line);
    }
}

void LobbyModel::clear()
{
    m_sealedAt.clear();
    m_names.clear();
    m_lastLine.clear();
    m_chat.clear();
    m_changes.clear();
    if (m_games.isEmpty())
        return;
    m_games.clear();
    m_games.squeeze();
    emit cleared();
    emit gamesChanged();
}

InternetLobby::InternetLobby(QObject *parent) : QObject(parent)
{
    connect(&m_model, &LobbyModel::ownGameHeld, this, [this](const QByteArray &payload) {
        if (payload == m_game)
            emit gameListed();
    });
    m_drain.setSingleShot(true);
    connect(&m_drain, &QTimer::timeout, this, &InternetLobby::drain);
    m_slow.setSingleShot(true);
    connect(&m_slow, &QTimer::timeout, this, [this] {
        if (m_state == State::Connecting && m_problem.isEmpty())
            setStatus(State::Connecting, tr("The internet lobby at %1 does not answer; still trying.").arg(m_broker));
    });
}

InternetLobby::~InternetLobby()
{
    close();
}

// The key pair is made when first needed, not with the window: making it
// loads the internet module and its libraries, which a player who never
// opens the lobby should not wait for at start-up.
void InternetLobby::ensureIdentity()
{
    if (!m_id.isEmpty())
        return;
    if (std::optional<Identity> fresh = Identity::fresh()) {
        setIdentity(*fresh);
        return;
    }
    // Without the internet module nothing is published or read; the id is
    // still one nobody else has.
    const quint64 r = QRandomGenerator::system()->generate64();
    m_id = QStringLiteral("wm") + QString::number(r & 0xffffffffffffULL, 16).rightJustified(12, QLatin1Char('0'));
    m_model.setOwnId(m_id);
}

void InternetLobby::setIdentity(const Identity &identity)
{
    if (m_client)
        return;
    m_identity = identity;
    m_id = identity.id();
    m_model.setOwnId(m_id);
}

QByteArray InternetLobby::gameTopic() const
{
    return GamesTopic + m_id.toLatin1();
}

QByteArray InternetLobby::sealed(const QByteArray &topic, const QByteArray &message) const
{
    return m_identity ? m_identity->seal(topic, message, QDateTime::currentMSecsSinceEpoch()) : QByteArray();
}

bool InternetLobby::open(const QString &broker)
{
    const std::optional<BrokerAddress> address = parseBroker(broker);
    if (!address) {
        close();
        setStatus(State::Closed,
                QStringLiteral("The internet lobby's address \"%1\" does not read: type host or "
                               "host:port.")
                        .arg(broker.left(60)));
        return false;
    }
    if (m_client && broker.trimmed() == m_broker)
        return true;
    close();
    const NetModule *module = netModule();
    if (!module) {
        setStatus(State::Closed, noModuleText() + QLatin1Char('.'));
        return false;
    }
    ensureIdentity();
    m_broker = broker.trimmed();
    MqttClient::Setup setup;
    setup.id = m_id.toLatin1();
    setup.willTopic = gameTopic();
    setup.tls = address->tls;
    setup.caFile = m_caFile.toLocal8Bit();
    setup.keepaliveSeconds = KeepaliveSeconds;
    // The events come on the library's thread and are handled on this one;
    // close() ends that thread before the object goes.
    MqttClient::Events events;
    events.connected = [this](int rc) { QMetaObject::invokeMethod(this, [this, rc] { connected(rc); }); };
    events.disconnected = [this] { QMetaObject::invokeMethod(this, [this] { disconnected(); }); };
    events.tlsFailed = [this, host = address->host](const QString &why) {
        QMetaObject::invokeMethod(this, [this, host, why] { tlsFailed(host, why); });
    };
    events.message = [this](const QByteArray &topic, const QByteArray &payload) { post(topic, payload); };
    m_client.reset(module->mqtt(setup, std::move(events)));
    if (!m_client) {
        setStatus(State::Closed, tr("The internet lobby cannot be used: out of memory."));
        return false;
    }
    setStatus(State::Connecting, tr("Connecting to the internet lobby at %1...").arg(m_broker));
    m_slow.start(SlowMs);
    // Names are looked up here, off the library's thread and without
    // holding the window; the library is given the number. Over TLS it is
    // given the name, which the certificate must carry; it looks it up
    // again, found a moment ago and so at once.
    MqttClient *client = m_client.get();
    const auto start = [this, client, port = address->port, host = address->tls ? address->host : QString()](
                               const QString &ip) {
        if (client != m_client.get())
            return; // closed or reopened meanwhile
        m_serverAddress = ip;
        client->connectTo((host.isEmpty() ? ip : host).toLatin1(), port);
    };
    if (!QHostAddress(address->host).isNull()) {
        start(address->host);
        return true;
    }
    QHostInfo::lookupHost(address->host, this, [this, start, client](const QHostInfo &info) {
        if (client != m_client.get())
            return;
        if (info.addresses().isEmpty()) {
            setStatus(State::Connecting,
                    tr("The internet lobby at %1 was not found: %2").arg(m_broker, info.errorString()));
            return;
        }
        start(info.addresses().constFirst().toString());
    });
    return true;
}

// On the library's thread. What the broker sends waits here, bounded, and
// reaches the model in batches: a game's updates merge into its latest, and
// the window handles one batch per BatchMs however fast the lobby churns.
void InternetLobby::post(const QByteArray &topic, const QByteArray &payload)
{
    if (payload.size() > MaxIceMessage + 200)
        return;
    Heard heard = openedOnArrival(topic, payload);
    {
        const std::lock_guard lock(m_inboxMutex);
        if (topic.startsWith(GamesTopic)) {
            // Full, the oldest waiting game gives way: the newest are the
            // ones worth listing.
            if (!m_inboxGames.contains(topic) && m_inboxOrder.size() >= MaxInbox)
                m_inboxGames.remove(m_inboxOrder.takeFirst());
            const auto it = m_inboxGames.find(topic);
            if (it == m_inboxGames.end()) {
                m_inboxGames.insert(topic, std::move(heard));
                m_inboxOrder.append(topic);
            } else {
                heard.updates = it->updates + 1;
                *it = std::move(heard);
            }
        } else if (m_inboxOther.size() < MaxInboxOther) {
            m_inboxOther.append(std::move(heard));
        }
        if (m_drainAsked)
            return;
        m_drainAsked = true;
    }
    QMetaObject::invokeMethod(this, [this] {
        if (!m_drain.isActive())
            m_drain.start(BatchMs);
    });
}

// Everything waiting, games in the order they came, then chat and offers;
// the inbox is left empty, and the next message asks for a drain again.
QList<Heard> InternetLobby::takeInbox()
{
    QList<Heard> all;
    const std::lock_guard lock(m_inboxMutex);
    all.reserve(m_inboxOrder.size() + m_inboxOther.size());
    for (const QByteArray &topic : std::as_const(m_inboxOrder))
        all.append(m_inboxGames.take(topic));
    all += m_inboxOther;
    m_inboxOrder = {};
    m_inboxGames = {};
    m_inboxOther.clear();
    m_drainAsked = false;
    return all;
}

// What waits is taken a slice at a time, a frame apart.
void InternetLobby::drain()
{
    if (m_taken >= m_taking.size()) {
        m_taking = takeInbox();
        m_taken = 0;
    }
    m_taken = m_model.receivedUntil(m_taking, m_taken, QDeadlineTimer(SliceMs));
    if (m_taken < m_taking.size()) {
        m_drain.start(FrameMs - SliceMs);
        return;
    }
    m_taking = {};
    m_taken = 0;
    // What came meanwhile is taken a frame later.
    const std::lock_guard lock(m_inboxMutex);
    if (m_drainAsked)
        m_drain.start(FrameMs);
}

void InternetLobby::close()
{
    m_slow.stop();
    if (m_client) {
        const bool wasConnected = m_state == State::Connected;
        if (wasConnected && m_game)
            m_client->publish(gameTopic(), {}, 1, true);
        m_client->stop();
        m_client.reset();
    }
    // The library's thread has ended: nothing more comes in, and what
    // waits is dropped.
    m_drain.stop();
    takeInbox();
    m_taking = {};
    m_taken = 0;
    m_broker.clear();
    m_serverAddress.clear();
    m_problem.clear();
    m_game.reset();
    m_model.clear();
    if (m_state != State::Closed)
        setStatus(State::Closed, {});
}

void InternetLobby::publishGame(const InternetGame &g)
{
    ensureIdentity();
    InternetGame mine = g;
    mine.id = m_id;
    const std::optional<QByteArray> bytes = encodeGame(mine);
    // The same game is said again now and then: lobbies keep the games
    // they hear from.
    if (!bytes || (m_game && *bytes == m_gameMessage && m_gameSent.isValid() && m_gameSent.elapsed() < RepeatMs))
        return;
    m_gameMessage = *bytes;
    m_game = sealed(gameTopic(), *bytes);
    m_gameSent.start();
    if (m_state == State::Connected)
        m_client->publish(gameTopic(), *m_game, 1, true);
}

void InternetLobby::clearGame()
{
    if (!m_game)
        return;
    m_game.reset();
    if (m_state == State::Connected)
        m_client->publish(gameTopic(), {}, 1, true);
}

bool InternetLobby::say(const QString &name, const QString &text)
{
    if (m_state != State::Connected || latin1Text(text, MaxLobbyChat).isEmpty())
        return false;
    if (m_lastSaid.isValid() && m_lastSaid.elapsed() < ChatIntervalMs)
        return false;
    m_lastSaid.start();
    const QByteArray topic = ChatTopic + m_id.toLatin1();
    m_client->publish(topic, sealed(topic, encodeChat(name, text)), 0, false);
    return true;
}

bool InternetLobby::sendIce(const QString &to, const IceSignal &signal)
{
    if (m_state != State::Connected || !validClientId(to.toLatin1()))
        return false;
    const QByteArray topic = IceTopic + to.toLatin1() + '/' + m_id.toLatin1();
    m_client->publish(topic, sealed(topic, encodeIce(signal)), 1, false);
    return true;
}

void InternetLobby::connected(int rc)
{
    if (!m_client)
        return;
    if (rc != 0) {
        m_slow.stop();
        setProblem(tr("The internet lobby at %1 refused this copy: %2; trying again.")
                           .arg(m_broker, m_client->refusal(rc)));
        return;
    }
    m_slow.stop();
    m_problem.clear();
    m_client->subscribe(GamesTopic + "+");
    m_client->subscribe(ChatTopic + "+");
    m_client->subscribe(IceTopic + m_id.toLatin1() + "/+");
    if (m_game)
        m_client->publish(gameTopic(), *m_game, 1, true);
    setStatus(State::Connected, tr("Connected to the internet lobby at %1.").arg(m_broker));
}

void InternetLobby::disconnected()
{
    if (!m_client || m_state == State::Closed)
        return;
    // The list is as good as the connection: it is built again on return.
    m_model.clear();
    // Why it failed, when known, stays said while it tries again.
    if (!m_problem.isEmpty())
        return setStatus(State::Connecting, m_problem);
    setStatus(State::Connecting, tr("Lost the internet lobby at %1; trying again.").arg(m_broker));
    m_slow.start(SlowMs);
}

void InternetLobby::tlsFailed(const QString &host, const QString &why)
{
    if (!m_client || m_state == State::Closed)
        return;
    m_slow.stop();
    setProblem(why.contains(QLatin1String("certificate verify failed"))
                    ? QStringLiteral("The internet lobby at %1 is not trusted: its certificate is not signed by an "
                                     "authority this computer trusts, or is not for %2; trying again.")
                              .arg(m_broker, host)
                    : tr("The secure connection to the internet lobby at %1 failed (%2); trying again.")
                              .arg(m_broker, why));
}

void InternetLobby::setProblem(const QString &text)
{
    m_problem = text;
    qCWarning(lcLobby, "%s", qPrintable(text));
    setStatus(State::Connecting, text);
}

void InternetLobby::setStatus(State state, const QString &text)
{
    m_state = state;
    m_status = text;
    qCDebug(lcLobby, "%s", qPrintable(text));
    emit stateChanged();
}

} // namespace lobby
