#pragma once
// The client without its window: the host's messages dispatched to the
// mirror of the game (roster, board, turn, countdown, chat), and the local
// user's input as operations (pick, take back, clear, submit, choose a
// direction, shuffle, chat, watch, kick, start), whatever device it came
// from; what changed leaves as typed signals for the window to draw.

#include "boardmirror.h"
#include "chatchannel.h"
#include "gameoptions.h"
#include "hostlink.h"
#include "typedmessages.h"
#include "roster.h"
#include "soundplayer.h"
#include "turncountdown.h"

#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <functional>
#include <vector>

class ClientModel : public QObject {
    Q_OBJECT
public:
    static constexpr int Seats = 4;
    static constexpr int StripLength = 7;
    // The host runs each turn this much longer than the windows show it, so
    // a word sent in the last second still arrives in time.
    static constexpr int TurnSlackSeconds = 4;
    static inline const QString Waiting = Roster::Waiting;
    using Seat = Roster::Seat;

    struct GameStats {
        QByteArray playto;
        int timePerTurn = 0;
        int timeleft = 0;
        bool team = false;
        std::array<QByteArray, Seats + 1> scores{}; // 1..4
        QByteArray teamA, teamB;
    };

    struct WordMade {
        int seat = 0;
        QByteArray word, points, total, teamA, teamB;
        // The word's tiles in the order traced, with their letters.
        std::vector<std::pair<QPoint, int>> tiles;
    };

    enum class PickResult { NotYourTurn, Invalid, Placed };

    explicit ClientModel(QObject *parent = nullptr);

    // Where the login's version text comes from (the about box).
    void setVersionSource(std::function<QByteArray()> source) { m_version = std::move(source); }
    // Connects and, once a slot is offered, logs in under this name.
    // Every change of connection goes through here. A game of another host
    // (or a new login to this one) starts from nothing: whatever is open
    // closes without a word to the window, and the model is as new. Coming
    // back to the same seat keeps the game as it was.
    enum class Keep { Nothing, Game };
    void connectTo(const QString &address, quint16 port, const QByteArray &name, Keep keep = Keep::Nothing);
    // Ends the connection without a word to the window and forgets the game.
    void closeConnection();
    // How long a connection may take before it counts as failed.
    void setConnectTimeout(int ms) { m_link.setConnectTimeout(ms); }
    void setHosting(bool hosting) { m_ishost = hosting; }
    // The matchmaking client may listen here; nothing is ever said on it.
    void openMatchmakerLink() { m_link.openMatchmakerLink(); }

    // The mirror.
    int myslot() const { return m_myslot; }
    bool loggedin() const { return m_loggedin; }
    bool ishost() const { return m_ishost; }
    int currentplayer() const { return m_currentplayer; }
    // From a game's start to its winner.
    bool gameRunning() const { return m_gameRunning; }
    bool teamGame() const { return m_teamGame; }
    bool isSeat(int slot) const { return Roster::isSeat(slot); }
    bool myTurn() const { return m_currentplayer != 0 && m_currentplayer == m_myslot; }
    const Seat &seat(int s) const { return m_roster.seat(s); }
    int othersPresent() const { return m_roster.othersPresent(m_myslot); }
    // The own seat's "Just Watch", as the host last confirmed it.
    bool watchingSelf() const { return isSeat(m_myslot) && m_roster.seat(m_myslot).watching; }
    const ClientBoard &board() const { return m_mirror.board(); }
    // What each strip slot shows (1..7; -1 empty).
    int stripCode(int k) const { return m_mirror.stripCode(k); }
    int lastdirection() const { return m_mirror.lastdirection(); }
    // For the last slide: where each tile now on the board came from.
    rules::Board slideSources() const { return m_mirror.slideSources(); }
    int timePerTurn() const { return m_timePerTurn; }
    // The seat the slide arrows are offered to (0: none).
    int arrowsFor() const { return m_arrowsFor; }
    int queuedMessages() const { return m_link.queued(); }
    // The host told this user it is leaving them: they were removed, or the
    // hosting user (and so the host) left. Reset by the next connect.
    bool endedByHost() const { return m_endedByHost; }
    QTcpSocket &socket() { return m_link.socket(); }

    // The turn countdown, counted here once a second from the host's figures.
    int timeLeft() const { return m_countdown.left(); }
    bool countdownRunning() const { return m_countdown.running(); }
    void startCountdown(int seconds) { m_countdown.start(seconds); }

    // The local user's operations. Each sends what the host needs, and
    // nothing when it is not the user's to do.
    PickResult pick(QPoint cell);
    bool takeBack(int k); // only the last pick can be taken back
    void clearPicks(); // pressclear
    bool submit(); // pressdone
    void chooseDirection(int d);
    void withdrawArrows();
    void useShuffle();
    // Chat lines, actions (a phrase button, as typed after "/me ") and
    // chatter sounds ("wave" + k, seated users only).
    void sendChat(const QByteArray &text, quint32 colour) { m_chat.sendChat(text, colour); }
    void sendAction(const QByteArray &text, quint32 colour) { m_chat.sendAction(text, colour); }
    void sendChatterSound(int k) { m_chat.sendChatterSound(k); }
    void toggleJustWatch();
    void setJustWatch(int seat, bool watching);
    void kick(int slot);
    // Klot's remarks draw from this source (tests pin it).
    void setChatterSeed(quint32 seed) { m_chat.setChatterSeed(seed); }
    // Asks the host to start a game with these options, named as this user
    // logged in.
    void startGame(const game::GameOptions &options);
    static QByteArray startMessage(const QByteArray &starter, const game::GameOptions &options);

    // Queues a complete message as if it had come from the host (without its
    // terminator); the dispatch timer handles it like any other.
    void receive(const QByteArray &message) { m_link.receive(message); }

    // Sends a finished message to the host; nothing before login. False
    // when it could not go.
    bool send(const QByteArray &message);

    // Own picks go to the host as the difference between what it last heard
    // and the path now, and at most one message each this often on average:
    // a held Tab or a burst of clicks sends the path it settles on, never
    // faster than the host takes a peer's messages.
    static constexpr int PickSpacingMs = 40;
    // Whether picks still wait to be sent (tests).
    bool picksPending() const { return m_pickSync.isActive(); }

public slots:
    void Timer1Timer() { m_link.Timer1Timer(); } // 1 ms: one queued message per tick
    void Timer2Timer() { m_countdown.Timer2Timer(); } // 1 s: the countdown

signals:
    // A line of the game's own, and one from a user (slot 1 to 9) or the
    // host (0) in its colour.
    void systemLine(const QByteArray &text);
    void chatLine(int sender, const QByteArray &text, quint32 colour);
    void soundRequested(Sound sound);
    void playerJoined(int slot, const QByteArray &name);
    void playerLeft(int slot, const QByteArray &name);
    void seatChanged(int seat);
    void gameStarted(const QByteArray &playto, int timePerTurn, bool team, int shuffles);
    // After the start, once every seat is named (Klot included): the moment
    // to read who is playing.
    void playersSeated();
    void boardChanged();
    void cellChanged(int x, int y);
    void stripChanged(int k);
    void turnGiven(int seat, int shufflesLeft);
    void statsReceived(const ClientModel::GameStats &stats);
    void shufflesChanged(int seat, int left);
    void sevenLetterBonus();
    void timeIsUp();
    void wordRefused(const QByteArray &word);
    void wordMade(const ClientModel::WordMade &made);
    void arrowsChanged();
    void moved(int direction);
    void winnerDeclared(const QString &text, bool seated);
    void countdownTick(int secondsLeft);
    void tallyGame(const QString &who);
    void tallyWordMade(const QByteArray &word, int points);
    // A chatter sound relayed by the host: the sender's slot (0 when it did
    // not read), and the sound's name.
    void chatterSound(int slot, const QString &name);
    void gameFull();
    void hostNotFound();
    // The host could not be reached (refused, unanswered, network down); the
    // reason in plain words.
    void connectFailed(const QString &reason);
    void connectionClosed();
    // The host announced this user's own login.
    void loginConfirmed();
    // The model was emptied for another connection: views show a window
    // with no game, nobody seated and no board.
    void cleared();

private:
    void handle(const QByteArray &message);

    // One a message of the host's: a message type without its handler does
    // not compile.
    void on(const wire::down::SendLogin &m);
    void on(const wire::down::Action &m) { m_chat.heardAction(m); }
    void on(const wire::down::Chat &m) { m_chat.heardChat(m); } // then Klot may answer
    void on(const wire::down::PlayASound &m) { emit chatterSound(m.slot, QString::fromLatin1(m.name)); }
    void on(const wire::down::NewPlayer &m) { joined(m.users); }
    void on(const wire::down::ExistingPlayers &m) { joined(m.users); }
    void on(const wire::down::PlayerDisconnected &m);
    void on(const wire::down::JustWatching &m) { m_roster.watching(m.seat, m.mode == "1"); }
    void on(const wire::down::HaveWrongVersion &m);
    void on(const wire::down::WrongVersion &m);
    void on(const wire::down::StartGame &m);
    void on(const wire::down::NextPlayer &m);
    void on(const wire::down::Winner &m);
    void on(const wire::down::Full &) { emit gameFull(); }
    void on(const wire::down::TheBoard &m);
    void on(const wire::down::NotValid &m);
    void on(const wire::down::MadeWord &m);
    void on(const wire::down::TimeUp &m);
    void on(const wire::down::GameStats &m);
    void on(const wire::down::Pick &m);
    void on(const wire::down::SelectClear &m);
    void on(const wire::down::Moving &m);
    void on(const wire::down::ClearLetter &m);
    void on(const wire::down::UseShuffle &m);
    void on(const wire::down::ShufflesLeft &m);
    void on(const wire::down::Bonus &m);
    void on(const wire::SeatKey &m);
    void joined(const QList<wire::down::Present> &users);

    // Sends the own path's change now, or when the pace allows.
    void syncPicks();
    void sendPicks();
    // The host's idea of the own path was wiped (a new turn, a new board).
    void forgetSentPicks();

    HostLink m_link;
    std::vector<QPoint> m_sentPath; // the own path as the host last heard it
    bool m_clearAsked = false; // the player cleared the path since
    QTimer m_pickSync; // single shot: the next send the pace allows
    QElapsedTimer m_pickClock;
    qint64 m_pickReadyAt = 0; // ms of m_pickClock
    TurnCountdown m_countdown;
    std::function<QByteArray()> m_version;
    QByteArray m_loginName; // as the login carries it
    // The key the host gave this user's seat, shown again only to the same
    // host when coming back after a dropped connection.
    QByteArray m_seatKey;
    QString m_hostAddress;
    quint16 m_hostPort = 0;

    int m_myslot = 0;
    bool m_loggedin = false;
    bool m_ishost = false;
    int m_currentplayer = 0;
    bool m_gameRunning = false;
    bool m_teamGame = false;
    Roster m_roster;
    ChatChannel m_chat{m_roster, [this](const QByteArray &message) { return send(message); }};
    BoardMirror m_mirror;
    int m_timePerTurn = 0;
    int m_arrowsFor = 0;
    bool m_endedByHost = false;
    bool m_used = false; // connected (or connecting) since made or last closed
};
