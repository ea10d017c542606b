#pragma once
// The game host: listening, connections, slots, the queue of received
// messages, the sender checks and the login. The game itself (board, turns,
// scores, Klot) is a HostGame; this class hands it the requests that pass the
// checks and puts what the game reports on the wire. It lives in every copy
// but listens only in the copy that hosts; clients, the hosting user's own
// included, reach it only through TCP messages.

#include "fieldreader.h"
#include "framer.h"
#include "typedmessages.h"
#include "message.h"
#include "gametimer.h"
#include "hostgame.h"
#include "tdictn.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QThreadPool>
#include <QQueue>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

class TServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = wire::GamePort;
    static constexpr int MaxUsers = 9; // slots 1..9 hold users
    static constexpr int SlotTable = 11; // slot 10 only refuses; 11 is never used
    static constexpr int Seats = 4;
    // Far above any real message; a peer that never ends one is cut off here.
    static constexpr qsizetype MaxPending = 64 * 1024;
    // The longest message a real client sends is a chat line of a few hundred
    // bytes; anything longer is not a client of ours.
    static constexpr qsizetype MaxMessage = 4 * 1024;
    // A peer is judged by what it sends, never by how far the host is behind:
    // each connection may have a burst of this many messages handled at once,
    // refilled at MessageRate a second (a token bucket). A faster sender is
    // not cut off: its messages wait their turn, and past ReadPause waiting
    // messages the host stops reading it, so the network holds it back.
    static constexpr int MaxQueued = 64;
    // One connection's messages are handled at least this far apart (the
    // pace the game has always kept); nobody waits for another's spacing.
    static constexpr int MessageSpacingMs = 10;
    // For the socket fuzz target, which steps the queue by hand: 0 handles
    // every waiting message at once.
    void setMessageSpacing(int ms) { m_spacing = ms; }
    static constexpr int MessageRate = 30;
    static constexpr int ReadPause = 256;
    // Only a memory guard: one read can bring at most what the socket's
    // buffer holds, and only a peer sending thousands of empty or tiny
    // messages at once gets this many waiting. It is cut off (the hosting
    // user's own window never is: its reads are bounded all the same).
    static constexpr int MaxBacklog = 4096;
    // What a connection's socket may hold unread while the host is not
    // reading it.
    static constexpr qint64 ReadBuffer = 64 * 1024;
    // Unsent bytes a peer may let pile up before it counts as gone.
    static constexpr qint64 MaxUnsent = 1024 * 1024;
    // A seat's key: 16 random bytes in hex.
    static constexpr int SeatKeyLength = 32;
    static constexpr int LoginTimeoutMs = 10000;
    // A seated player whose connection drops mid-game keeps the seat this
    // long for a login under the same name; Klot plays it meanwhile.
    static constexpr int SeatHoldMs = 120000;

    // A slot's connection; the seats' game state lives in the game.
    struct tplayer {
        QByteArray name;
        bool active = false;
        QTcpSocket *playersock = nullptr;
        bool loggedin = false; // the login arrived on this connection
        int reports = 0; // diagnostics written about this connection
        bool kicked = false; // its connection is being closed by a kick
        // Given to a seated player at login: only a connection that shows it
        // again gets the seat back while it is held.
        QByteArray seatKey;
        QByteArray shownKey; // what this connection showed before its login
    };

    explicit TServer(QObject *parent = nullptr);
    ~TServer() override;

    // Where the login's version text is compared from (the about box).
    void setVersionSource(std::function<QByteArray()> source) { m_version = std::move(source); }

    // Starts listening on all local addresses. On failure returns false and
    // sets error to the text the user is shown.
    bool listen(quint16 port, QString *error = nullptr);
    quint16 listeningPort() const;

    // Slots 1..9 (1-based).
    std::array<tplayer, SlotTable + 1> tplayers{};
    int slotcount = 0;

    // The word list, owned by the host window in every copy.
    std::unique_ptr<TDictn> spell;

    game::HostGame &game() { return m_game; }
    const game::HostGame &game() const { return m_game; }

    QTimer socktimer; // single shot: when the next waiting message is due
    GameTimer Timer1; // 1 s: the game's turn timer
    GameTimer computertimer; // 1 s: the game's countdown to Klot's play

    // Tests step the game timers by calling their tick slots.
    void setManualTimers(bool manual);
    // Tests may pin the random source.
    void setRandomSeed(quint32 seed) { m_game.setRandomSeed(seed); }
    // The computer opponent's words.
    void setKlotWords(const QByteArrayList &words) { listbox_words = rules::KlotWords(words); }
    // The computer opponent's words, prepared when first needed.
    const rules::KlotWords &klotWordTable();

    int queuedMessages() const;
    // Tests shorten the wait for a login.
    void setLoginTimeout(int ms) { m_loginTimeout = ms; }
    qint64 bytesReceived() const { return m_bytesReceived; }
    int Tag() const { return int(m_game.state().phase); } // the turn's phase

    // Peers without a socket, for the in-process fuzzer and fast tests: what
    // the host sends goes to the sink instead of a socket, a message is
    // handled at once as a tick of the queue would handle it.
    using Sink = std::function<void(int slot, const QByteArray &message)>;
    void setSendSink(Sink sink) { m_sink = std::move(sink); }
    // Where the host's diagnostics go (standard error when unset). A
    // connection gets a few lines at most, however much bad input it sends.
    static constexpr int MaxReports = 10;
    void setDiagnosticSink(std::function<void(const QByteArray &line)> sink) { m_diagnostics = std::move(sink); }
    int attachPeer(); // the slot given, or 0 when full
    void detachPeer(int slot);
    void handle(int slot, const QByteArray &message);

public slots:
    void socktimerTimer();
    // Handles every waiting message that is due and sets the timer for the
    // next one.
    void pump();
    void Timer1Timer();
    void computertimerTimer();
    // The seat's hold runs out (its timer calls this): the slot is freed.
    void endHold(int seat);

public:
    // Whether a seat waits for its dropped player's return.
    bool isHeld(int seat) const { return seat >= 1 && seat <= Seats && m_holds[size_t(seat)].has_value(); }

private:
    struct Hold {
        QByteArray name; // as the seat showed it
        // A new connection that logged in under the name and was offered
        // the seat; the seat is its once its login for the seat arrives.
        QTcpSocket *claimant = nullptr;
    };
    bool holdsOnDrop(int slot) const;
    void hold(int seat);
    void startHold(int seat); // the seat waits for its player, for SeatHoldMs
    // The held seat whose key this is (0: none).
    int heldSeatFor(const QByteArray &key) const;
    void claimHold(int slot, int seat);
    void returnToSeat(int seat, const QByteArray &version);
    void sendPresent(int slot);
    void endAllHolds();
    std::array<std::optional<Hold>, Seats + 1> m_holds;
    std::array<QTimer, Seats + 1> m_holdTimers;

    struct Connection {
        quint64 id = 0;
        int slot = 0;
        wire::Framer framer{MaxPending};
        QQueue<QByteArray> queue; // complete messages, in arrival order
        bool closing = false; // cut off; its messages count no more
        double tokens = MaxQueued; // messages that may still be handled at once
        qint64 refilledAt = 0; // ms of m_clock
        qint64 servedAt = -MessageSpacingMs; // when its last message was handled
    };

    void FormCreate();
    void Sock1Accept();
    void Sock1Read(QTcpSocket *sock);
    void tempsockDisconnect(QTcpSocket *sock);
    void tempsockInfo(QTcpSocket *sock, const QString &info);
    int takeSlot(); // 0 when every slot is taken
    void greet(int slot);
    void leave(int slot);
    void process(int slot, const QByteArray &text);
    // Takes the next message of one connection; false when it had none.
    bool serve(QTcpSocket *sock);
    // A connection's tokens now, topped up for the time gone by.
    static double tokensAt(const Connection &c, qint64 now);
    // Tops up a connection's tokens for the time gone by.
    void refill(Connection &c, qint64 now) const;
    // When a connection's next waiting message is due, from now; -1 when none.
    qint64 dueIn(const Connection &c, qint64 now) const;
    void flushReplies();
    // Closes a connection that broke the limits, once, after the current
    // handler has finished with it.
    void cutOff(QTcpSocket *sock, const char *why);
    static void setKeepAlive(QTcpSocket *sock);
    QByteArray distinctName(int slot, QByteArray name) const;

    // One a request: a request type without its handler does not compile.
    void handle(const wire::up::Login &login);
    void handle(const wire::up::ShowKey &shown);
    void handle(const wire::up::Kick &kick);
    void handle(const wire::up::Chat &line);
    void handle(const wire::up::Action &line);
    void handle(const wire::up::PlayASound &sound);
    void handle(const wire::up::JustWatch &w);
    void handle(const wire::up::StartGame &g);
    void handle(const wire::up::Shuffle &s);
    void handle(const wire::up::SelectLetter &pick);
    void handle(const wire::up::ClearLetter &takeBack);
    void handle(const wire::up::SelectClear &clear);
    void handle(const wire::up::PlayerDone &done);
    void handle(const wire::up::Direction &d);
    void giveSeatKey(int slot);
    void disconnectsock(int slot);
    void sendGameState(int slot);
    // Puts the game's events on the wire and keeps the clocks in step.
    void publish();

    void sendTo(int slot, const QByteArray &message);
    void sendAll(const QByteArray &message);
    void sendAllBut(int slot, const QByteArray &message);

    QByteArray versionText() const;

    QTcpServer *Sock1 = nullptr;
    // A handful at most, walked a few times for every message handled: a
    // tree walks only what it holds, where a hash scans its whole table.
    QMap<QTcpSocket *, Connection> m_connections;
    quint64 m_nextConnection = 1;
    quint64 m_lastServed = 0; // round robin: the connection served last
    int m_loginTimeout = LoginTimeoutMs;
    std::function<QByteArray()> m_version;
    qint64 m_bytesReceived = 0;
    rules::KlotWords listbox_words;
    game::HostGame m_game;
    // Where the strong and gentle Klot's words are found, off this thread, so
    // no message waits for the search (it goes, finishing what it does,
    // before the game).
    QThreadPool m_solving;
    Sink m_sink;
    QElapsedTimer m_clock; // for the connections' token buckets and spacing
    int m_spacing = MessageSpacingMs;
    std::function<void(const QByteArray &line)> m_diagnostics;
    void report(int slot, const QByteArray &text);
    unsigned m_turnStarts = 0;
    unsigned m_klotStarts = 0;
};
