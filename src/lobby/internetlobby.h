#pragma once
// The internet lobby: games and a chat on an MQTT broker (such as Mosquitto)
// that anyone may run. A hosting copy keeps one retained message on its own
// topic saying who hosts where, with a last will that clears it should the
// copy vanish; a copy looking for a game subscribes to all such topics. The
// game itself never passes through the broker: players join the host's
// address directly, and only when the player clicks Join.
//
// Everything the broker delivers is someone else's text: each message is
// size-capped and read field by field, the list holds a bounded number of
// games, and each sender may say one chat line a second.

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>
#include <mutex>
#include <optional>

namespace lobby {

class MqttClient;

// Topics: <root>games/<client id> (retained) and <root>chat/<client id>.
// The broker's access list lets a client write only under its own id, so
// the id in a topic says who sent it.
inline const QByteArray TopicRoot = "wordmire/1/";
constexpr int MaxMessage = 2048;
constexpr int MaxInternetGames = 200;
constexpr int MaxLobbyChat = 300; // characters of one lobby chat line
constexpr int ChatIntervalMs = 1000; // per sender
// Lines shown a second from all senders together: many ids each keeping to
// their own second cannot bury the lobby.
constexpr int MaxChatPerSecond = 10;
constexpr int MaxClientId = 23; // what every MQTT 3.1.1 broker takes
constexpr quint16 DefaultBrokerPort = 1883;
// MQTT's port for TLS. A TLS lobby's certificate is checked against the
// system's certificate authorities and must name the host as typed.
constexpr quint16 TlsBrokerPort = 8883;

struct InternetGame {
    QString id; // the host's client id on the broker
    QString name;
    int seatsTaken = 0;
    bool running = false;
    QString address; // a numeric IPv4 or IPv6 address
    quint16 port = 7772;
    bool operator==(const InternetGame &) const = default;
};

struct LobbyLine {
    QString id;
    QString name;
    QString text;
};

// The message bytes; nullopt when a field could not be read back.
std::optional<QByteArray> encodeGame(const InternetGame &g);
std::optional<InternetGame> decodeGame(const QByteArray &payload);
QByteArray encodeChat(const QString &name, const QString &text);
// Cut and cleaned like game chat; nullopt for anything else.
std::optional<LobbyLine> decodeChat(const QByteArray &payload);
// Letters, digits, "-" and "_", 1..MaxClientId of them.
bool validClientId(QByteArrayView id);
// "host", "host:port" or "[v6]:port", after "mqtts://" for TLS (also
// meant by port 8883 alone) or "mqtt://"; nullopt when it does not read.
struct BrokerAddress {
    QString host;
    quint16 port = DefaultBrokerPort;
    bool tls = false;
};
std::optional<BrokerAddress> parseBroker(const QString &text);

// A message as the broker delivered it; `updates` counts the messages on
// its topic that it stands for (later ones merged into it on the way).
struct Heard {
    QByteArray topic;
    QByteArray payload;
    int updates = 1;
};

// What the broker has said, kept safe: fed every message, it keeps at most
// MaxInternetGames games and the chat lines that passed the rate limit.
// When more games come than it keeps, it keeps the most relevant: those
// matching the player's search, then calm ones over games that change all
// the time, then those heard from most recently (hosts say their game again
// now and then, so a lobby filled with junk first still takes an honest
// game that comes later, and a game that went quiet gives way).
class LobbyModel : public QObject {
    Q_OBJECT
public:
    explicit LobbyModel(QObject *parent = nullptr) : QObject(parent) { m_clock.start(); }
    // Messages from this client id (this copy's own game) are not listed.
    void setOwnId(const QString &id) { m_ownId = id; }
    // One message as the broker delivered it.
    void received(const QByteArray &topic, const QByteArray &payload);
    // Many at once, with one gamesChanged() at most.
    void receivedAll(const QList<Heard> &messages);
    // Games whose names hold this text (any case) are kept before others.
    void setSearch(const QString &text);
    void clear();
    const QList<InternetGame> &games() const { return m_games; }
    // Changes within this long count against a game when room is short.
    static constexpr int ChurnWindowMs = 10000;
    static constexpr int ChurnLimit = 4;
    // The latest lines, for a chat view opened after they came.
    static constexpr int ChatHistory = 100;
    const QList<LobbyLine> &chat() const { return m_chat; }

signals:
    void gamesChanged();
    void chatLine(const LobbyLine &line);
    // This copy's own game, as the broker holds it.
    void ownGameHeld(const QByteArray &payload);

private:
    void take(const Heard &heard, bool *changed);
    // Where the least relevant game is.
    qsizetype leastRelevant() const;
    bool matches(const InternetGame &g) const;

    // When each game heard of lately changed (the last ChurnLimit times),
    // kept or not: a game pushed out and back in is still known to churn.
    void noteChange(const QString &id, qint64 now, int times);
    bool calm(const QString &id, qint64 now) const;
    QHash<QString, QList<qint64>> m_changes;
    QList<InternetGame> m_games;
    QList<quint64> m_seen; // beside m_games: the order of the last message about each
    quint64 m_messages = 0;
    QString m_search;
    QList<LobbyLine> m_chat;
    QHash<QString, qint64> m_lastLine;
    QList<qint64> m_recentLines; // when the last lines were shown
    QElapsedTimer m_clock;
    QString m_ownId;
};

// One connection to the broker. Its network thread is libmosquitto's own;
// what it hears is handed to the model on this object's thread.
class InternetLobby : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Connecting, Connected };

    explicit InternetLobby(QObject *parent = nullptr);
    ~InternetLobby() override;

    // A fresh random id per copy, e.g. "wm3f9a0c1d2e4b".
    QString clientId() const { return m_id; }
    LobbyModel &model() { return m_model; }
    State state() const { return m_state; }
    QString status() const { return m_status; }

    // Connects (and keeps reconnecting) to "host:port"; false with the
    // reason in status() when the address does not read.
    bool open(const QString &broker);
    // The certificate authority a TLS lobby's certificate must come from,
    // instead of the system's (a private lobby's own).
    void setCertificateAuthority(const QString &file) { m_caFile = file; }
    // Clears this copy's game from the lobby, then disconnects.
    void close();
    // This copy's game, listed until clearGame() or close(); while not
    // connected, sent on connecting.
    void publishGame(const InternetGame &g);
    void clearGame();
    // False when the line is empty or comes within a second of the last.
    bool say(const QString &name, const QString &text);

signals:
    void stateChanged();
    // The broker holds the game last published, as it stands: others see it.
    void gameListed();

private:
    void connected(int rc);
    void disconnected();
    void tlsFailed(const QString &host, const QString &why);
    void post(const QByteArray &topic, const QByteArray &payload);
    void drain();
    void setProblem(const QString &text);
    void setStatus(State state, const QString &text);
    QByteArray gameTopic() const;

    LobbyModel m_model;
    QString m_id;
    std::unique_ptr<MqttClient> m_client;
    State m_state = State::Closed;
    QString m_status;
    QString m_problem; // why connecting fails, when the broker or TLS said
    QString m_broker;
    QString m_caFile;
    std::optional<QByteArray> m_game; // published, or to publish on connecting
    QElapsedTimer m_lastSaid;
    QTimer m_slow;
    static constexpr int RepeatMs = 30000;
    QElapsedTimer m_gameSent;
    // What the library's thread has heard and the model not yet taken.
    static constexpr int MaxInbox = 1000; // games waiting (each at most MaxMessage)
    static constexpr int BatchMs = 100;
    std::mutex m_inboxMutex;
    QHash<QByteArray, Heard> m_inboxGames; // by topic: the latest payload
    QList<QByteArray> m_inboxOrder; // the games' topics as they came
    QList<Heard> m_inboxOther; // chat
    bool m_drainAsked = false;
    QTimer m_drain;
};

} // namespace lobby
