#pragma once
// The internet lobby: games and a chat on an MQTT broker (such as Mosquitto)
// that anyone may run. A hosting copy keeps one retained message on its own
// topic saying who hosts where, with a last will that clears it should the
// copy vanish; a copy looking for a game subscribes to all such topics. The
// game itself never passes through the broker: players join the host's
// address directly, or over ICE (a hole punched through both routers, or a
// TURN relay) set up by an offer and an answer through the broker, and
// only when the player clicks Join.
//
// Everything published is sealed by the copy's Identity: a message counts
// only if the key its id was made from signed it.
//
// Everything the broker delivers is someone else's text: each message is
// size-capped and read field by field, the list holds a bounded number of
// games, and each sender may say one chat line a second.

#include "identity.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace lobby {

class MqttClient;

// Topics: <root>games/<client id> (retained), <root>chat/<client id>, and
// <root>ice/<to>/<from> for one copy's offer or answer to another. The
// broker's access list lets a client write only under its own id, and the
// seal says that the id's key signed it.
inline const QByteArray TopicRoot = "wordmire/2/";
constexpr int MaxMessage = 2048;
// An offer or answer carries the ICE candidates of every interface.
constexpr int MaxIceMessage = 3600;
// Sealed longer ago (or later) than this by the receiver's clock: a replay,
// or a clock far off.
constexpr qint64 MaxMessageAgeMs = 15 * 60 * 1000;
// Games a copy keeps (every game of a busy lobby, so that a search finds a
// friend's among all of them); past this many the least relevant give way.
constexpr int MaxInternetGames = 20000;
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
    // How the host is reached: at its router's open port, at an address of
    // its own, or only through the lobby (ICE, possibly relayed).
    enum class Reach { Router, Own, Lobby };
    QString id; // the host's client id on the broker
    QString name;
    int seatsTaken = 0;
    bool running = false;
    Reach reach = Reach::Router;
    QString address; // a numeric IPv4 or IPv6 address; empty through the lobby
    quint16 port = 7772;
    bool operator==(const InternetGame &) const = default;
};

struct LobbyLine {
    QString id;
    QString name; // as announced, told apart from another id's same name
    QString text;
};

// A joiner's offer of an ICE session, or the host's answer: its
// credentials and candidates.
struct IceSignal {
    QString from; // the sender's id (set on receipt)
    bool offer = true;
    QByteArray session; // 16 hex digits, chosen by the joiner
    bool relay = false; // the offer includes the relay's path (and the answer should)
    QByteArray description;
    bool operator==(const IceSignal &) const = default;
};

// The message bytes; nullopt when a field could not be read back.
std::optional<QByteArray> encodeGame(const InternetGame &g);
std::optional<InternetGame> decodeGame(const QByteArray &payload);
QByteArray encodeChat(const QString &name, const QString &text);
// What a chat line or name may hold, cut at the limit.
QString latin1Text(const QString &text, int limit);
// Cut and cleaned like game chat; nullopt for anything else.
std::optional<LobbyLine> decodeChat(const QByteArray &payload);
QByteArray encodeIce(const IceSignal &signal);
std::optional<IceSignal> decodeIce(const QByteArray &payload);
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
// `opened` is its seal already checked, when it was (off the window's
// thread, where the signatures of a lobby of thousands take their time).
struct Heard {
    QByteArray topic;
    QByteArray payload;
    int updates = 1;
    std::optional<std::optional<Unsealed>> opened;
};

// The id that sealed a message on this topic (games/<id>, chat/<id>,
// ice/<to>/<from>); empty for any other topic.
QByteArray senderOf(const QByteArray &topic);
// The seal checked; an empty payload (a game cleared) is left as it is.
Heard openedOnArrival(const QByteArray &topic, const QByteArray &payload);

// What the broker has said, kept safe: fed every message, it keeps at most
// capacity() games and the chat lines that passed the rate limit.
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
    // Those from `from` on until the deadline passes (one at least); where
    // to go on.
    qsizetype receivedUntil(const QList<Heard> &messages, qsizetype from, const QDeadlineTimer &deadline);
    // Games whose names hold this text (any case) are kept before others.
    void setSearch(const QString &text);
    void setCapacity(int games) { m_capacity = qMax(1, games); }
    int capacity() const { return m_capacity; }
    void clear();
    // Every game kept, in no particular order.
    QList<InternetGame> games() const;
    qsizetype gameCount() const { return m_games.size(); }
    const InternetGame *game(const QString &id) const;
    // Changes within this long count against a game when room is short.
    static constexpr int ChurnWindowMs = 10000;
    static constexpr int ChurnLimit = 4;
    // The latest lines, for a chat view opened after they came.
    static constexpr int ChatHistory = 100;
    // Senders whose last line's time is remembered for the rate limit.
    static constexpr int MaxTalkers = 800;
    const QList<LobbyLine> &chat() const { return m_chat; }

signals:
    // One game at a time, as it comes, changes and goes; cleared() for all.
    void gameAdded(const lobby::InternetGame &game);
    void gameChanged(const lobby::InternetGame &game);
    void gameRemoved(const QString &id);
    void cleared();
    // After a batch of messages that changed any game.
    void gamesChanged();
    void chatLine(const LobbyLine &line);
    // An offer or answer addressed to this copy.
    void iceSignal(const IceSignal &signal);
    // This copy's own game, as the broker holds it.
    void ownGameHeld(const QByteArray &payload);

private:
    void take(const Heard &heard, bool *changed);
    // The least relevant game's id.
    QString leastRelevant() const;
    bool matches(const InternetGame &g) const;

    // When each game heard of lately changed (the last ChurnLimit times),
    // kept or not: a game pushed out and back in is still known to churn.
    void noteChange(const QString &id, qint64 now, int times);
    bool calm(const QString &id, qint64 now) const;
    // The message sealed by the id, if it is new from it: a message older
    // than its topic's last (or, for chat and offers, as old) is a replay.
    std::optional<QByteArray> opened(const Heard &heard, const QString &id, bool sameTimeOk);
    // The name shown for a chat line: another id announcing the same name
    // is told apart by its id's first letters.
    QString shownName(const QString &id, const QString &name);
    QHash<QByteArray, qint64> m_sealedAt; // by topic: the latest message's time
    QHash<QString, QString> m_names; // by id: the name it announced last
    QHash<QString, QList<qint64>> m_changes;
    struct Kept {
        InternetGame game;
        quint64 seen = 0; // the order of the last message about it
        bool matching = false; // its name holds the search's text
    };
    QHash<QString, Kept> m_games; // by id
    int m_capacity = MaxInternetGames;
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
    // What the model takes in one pass of the window's event loop, and the
    // frame the pause after it fills, so the window keeps drawing at its
    // frame rate while a lobby of thousands comes in.
    static constexpr int SliceMs = 8;
    static constexpr int FrameMs = 16;
    enum class State { Closed, Connecting, Connected };

    explicit InternetLobby(QObject *parent = nullptr);
    ~InternetLobby() override;

    // Who this copy is: a fresh key pair unless it is given the one kept
    // beside its settings (before opening).
    void setIdentity(const Identity &identity);
    // Made (with a fresh key pair) when the lobby is first opened or a game
    // first published, unless given before; empty until then.
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
    // An offer or answer to another copy; false while not connected.
    bool sendIce(const QString &to, const IceSignal &signal);
    // The lobby's server as a number, once looked up (its STUN and TURN
    // server are on the same machine).
    QString serverAddress() const { return m_serverAddress; }

signals:
    void stateChanged();
    // The broker holds the game last published, as it stands: others see it.
    void gameListed();

private:
    void ensureIdentity();
    void connected(int rc);
    void disconnected();
    void tlsFailed(const QString &host, const QString &why);
    void post(const QByteArray &topic, const QByteArray &payload);
    QList<Heard> takeInbox();
    void drain();
    void setProblem(const QString &text);
    void setStatus(State state, const QString &text);
    QByteArray gameTopic() const;
    QByteArray sealed(const QByteArray &topic, const QByteArray &message) const;

    LobbyModel m_model;
    std::optional<Identity> m_identity;
    QString m_id;
    QString m_serverAddress;
    std::unique_ptr<MqttClient> m_client;
    State m_state = State::Closed;
    QString m_status;
    QString m_problem; // why connecting fails, when the broker or TLS said
    QString m_broker;
    QString m_caFile;
    std::optional<QByteArray> m_game; // published, or to publish on connecting (sealed)
    QByteArray m_gameMessage; // what it says, unsealed
    QElapsedTimer m_lastSaid;
    QTimer m_slow;
    static constexpr int RepeatMs = 30000;
    QElapsedTimer m_gameSent;
    // What the library's thread has heard and the model not yet taken.
    // Games waiting: each at most MaxMessage, a whole lobby's worth.
    static constexpr int MaxInbox = MaxInternetGames;
    static constexpr int MaxInboxOther = 100; // chat and offers waiting
    static constexpr int BatchMs = 100;
    QList<Heard> m_taking;
    qsizetype m_taken = 0;
    std::mutex m_inboxMutex;
    QHash<QByteArray, Heard> m_inboxGames; // by topic: the latest payload
    QList<QByteArray> m_inboxOrder; // the games' topics as they came
    QList<Heard> m_inboxOther; // chat
    bool m_drainAsked = false;
    QTimer m_drain;
};

} // namespace lobby
