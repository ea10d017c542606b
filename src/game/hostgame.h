#pragma once
// The host's game: the board, the seats' scores and shuffles, the turn and
// its phases, the direction wait, the winner and the computer opponent's
// play. It knows nothing of sockets or clocks: the host hands it requests
// that passed its sender checks and calls the two tick functions once a
// second while their timers run; what happened comes back as plain events
// for the host to put on the wire.

#include "gameoptions.h"
#include "rules.h"
#include "solver.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRandomGenerator>

#include <array>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace game {

inline constexpr int Seats = rules::Seats;

// What the host tells everybody (or, where it says so, one seat).
struct BoardDealt { }; // the whole board, as it now stands
struct GameStarted {
    QByteArray starter;
    int playto;
    int turntime;
    QByteArray team; // as the starter sent it
    int shuffles;
};
struct TurnGiven {
    int seat;
    int shufflesLeft;
};
struct ShuffleUsed {
    int seat;
    int shufflesLeft;
    int timeleft;
};
struct WordRefused { // to the seat alone, while someone sits there
    int seat;
    QByteArray word;
};
struct WordMade {
    int seat;
    QByteArray word;
    int score;
    int total;
    std::array<int, 2> teamscore;
    rules::Path squares;
};
struct SevenLetters {
    int seat;
    int points;
};
struct TimeUp { };
struct Moving {
    int direction;
};
struct Winner {
    QByteArray name;
};
struct WatchChanged {
    int seat;
    bool watching;
};
// A whole round passed without a word and nobody had a shuffle left: the
// host dealt a new board so the game can go on (told in the chat).
struct BoardRenewed { };
struct Diagnostic { // for the host's standard error, never for a peer
    std::string text;
};
using Event = std::variant<BoardDealt, GameStarted, TurnGiven, ShuffleUsed, WordRefused, WordMade, SevenLetters, TimeUp,
        Moving, Winner, WatchChanged, BoardRenewed, Diagnostic>;

// How the computer opponent plays: Normal is its classic greedy search; Strong
// plays the best-scoring word on the board, Gentle a short common one of
// lower score.
enum class KlotStrength { Gentle, Normal, Strong };

// The turn timer's phases.
enum class Phase {
    Idle, // no turn running
    Turn, // a seat is tracing a word
    Direction, // a word was made; the maker may choose the slide
    Pause, // between turns, before the next one is given
};

// A one-second countdown the host runs for the game. `starts` changes every
// time it is (re)started, so the host can restart its clock in step.
struct Countdown {
    bool running = false;
    unsigned starts = 0;
};

// One entry of a submitted path: its place in the path (from 1) and square.
struct PathEntry {
    int n;
    int x;
    int y;
};

struct Seat {
    bool active = false; // a person is connected at this seat
    QByteArray name;
    bool watching = false; // Klot plays for the person
    int score = 0;
    std::array<QPoint, 7> tiles{};
    int team = 0;
    int shufflesleft = 0;
};

class HostGame {
public:
    using WordCheck = std::function<bool(QByteArrayView)>;
    using KlotWordSource = std::function<const rules::KlotWords &()>;

    HostGame(WordCheck checkWord, KlotWordSource klotWords);
    // Every word on a board, best first; needed by any strength but Normal.
    using Solver = std::function<std::vector<FoundWord>(const rules::Board &)>;
    void setSolver(Solver solve) { m_solve = std::move(solve); }
    // Asked, as Klot's countdown starts, to find the board's words ahead of
    // its move (elsewhere than the host's thread) and hand them back through
    // wordsFound(); a move whose words have not come finds them itself.
    using SolveAhead = std::function<void(const rules::Board &)>;
    void setSolveAhead(SolveAhead ahead) { m_solveAhead = std::move(ahead); }
    void wordsFound(const rules::Board &board, std::vector<FoundWord> found);
    // Klot's countdown to its move, from the start.
    void startKlot();
    void setKlotStrength(KlotStrength strength) { m_strength = strength; }
    KlotStrength klotStrength() const { return m_strength; }
    // One seat's Klot at a strength of its own (none: the game's), so that
    // strengths can be played against each other.
    void setSeatStrength(int seat, std::optional<KlotStrength> strength) { m_seatStrength.at(size_t(seat)) = strength; }
    KlotStrength strengthOf(int seat) const;

    void setRandomSeed(quint32 seed) { m_rng.seed(seed); }

    // Who sits where, as the host's connections say (seats 1..4; other slots
    // are ignored).
    void occupy(int seat);
    void setName(int seat, const QByteArray &name);
    void vacate(int seat);

    // Requests, in the names of the messages they answer.
    bool startgame(const GameOptions &options);
    void shuffle(int seat);
    void playerdone(int seat, const std::vector<PathEntry> &entries);
    void direction_(int seat, int code);
    void justwatch(int seat, bool watching);
    // Picks of the seat whose turn it is are shown to the others.
    bool relaysPicksOf(int seat) const { return seat == s.curplayer && seat >= 1; }

    // Once a second while the matching countdown runs.
    void Timer1Timer();
    void computertimerTimer();

    // The game's steps; public so that tests can drive them one by one.
    void createmaze();
    void startnextround();
    void findplayer();
    bool checkforwin(int seat);
    void computerplay();
    void endTurn(); // the turn's time is up (or Klot passes)
    std::vector<int> seatsInTurn() const; // one round's turns, from the seat to play
    rules::Seating seating() const;

    // What happened since the last call, in order.
    std::vector<Event> takeEvents();

    const Countdown &turnTimer() const { return m_turnTimer; }
    const Countdown &klotTimer() const { return m_klotTimer; }

    // Everything the game holds, as plain data: the host reads it for late
    // joiners, tests read it and lay boards and scores in it.
    struct State {
        std::array<Seat, Seats + 1> seats{}; // 1..4
        rules::Board board{};
        bool gameon = false;
        int curplayer = 0;
        int lastplayer = 0;
        bool teamgame = false;
        int playto = 0;
        int turntime = 0;
        int timeleft = 0;
        std::array<int, 2> teamscore{};
        int direction = 0;
        int klotdelay = 0;
        int shufflesetting = 0;
        Phase phase = Phase::Idle;
        int barrenTurns = 0; // turns in a row that ended without a word
    };
    const State &state() const { return s; }
    State &state() { return s; }

private:
    void emitEvent(Event e) { m_events.push_back(std::move(e)); }
    void startTurnTimer(Phase phase, int seconds);
    void stopTurnTimer();
    bool klotPlays(int seat) const;
    bool playSolversWord(int seat);

    WordCheck m_checkWord;
    KlotWordSource m_klotWords;
    Solver m_solve;
    SolveAhead m_solveAhead;
    struct Found {
        rules::Board board;
        std::vector<FoundWord> words;
    };
    std::optional<Found> m_found; // the words of the board Klot is to play on
    KlotStrength m_strength = KlotStrength::Normal;
    std::array<std::optional<KlotStrength>, Seats + 1> m_seatStrength{};
    QRandomGenerator m_rng;

    State s;
    Countdown m_turnTimer;
    Countdown m_klotTimer;
    std::vector<Event> m_events;
};

} // namespace game
