#pragma once
// Every message of the game read once, off the wire, into a typed value: the
// numbers converted, the names and texts as they came. A window's requests
// to the host are `FromClient`, the host's messages to the windows
// `FromHost`; each side handles them with one visitor, so a message type that
// has no handler does not compile.
//
// A request also says who may send it (its `sender` rule) and whether it may
// come before the login; the host checks both before its handler runs, and a
// request type without a rule does not compile either.
//
// Reading stops at the first number field that does not read. For most
// messages that drops the message; for the few whose handlers take their
// fields one at a time (the board, the list of users, the scores), the
// value holds what was read and says it is not complete, so what came
// before the bad field still counts, as it always has.

#include <QByteArray>
#include <QList>
#include <QPoint>

#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace wire {

// The first field that did not read: its place after the command (1 for the
// first) and its text.
struct Unreadable {
    int field = 0;
    QByteArray text;
    // What the report and the chat show: "'x' is not a valid integer value".
    QByteArray describe() const;
};

// Both ways: the host gives a seated player the key to their seat; the
// player's copy shows it again, just before its login, when it comes back.
struct SeatKey {
    int slot = 0;
    QByteArray key;
};

// ---- A window to the host ----
namespace up {
// Who may send a request: the user of the slot it names, the hosting user
// (slot 1), or either.
enum class Sender { Own, HostingUser, OwnOrHostingUser };

struct Login {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = true;
    int slot = 0;
    QByteArray version, name;
};
struct ShowKey {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = true;
    int slot = 0;
    QByteArray key;
};
struct Kick {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = false;
    int slot = 0, victim = 0;
};
// Types of one layout are made apart by a tag, never by deriving one from
// another: a handler for one must not quietly take the other.
//
// A chat or action line: the text and its colour as received ("hello|clRed").
template <class Tag> struct Said {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = false;
    int slot = 0;
    QByteArray said;
};
using Chat = Said<struct ChatTag>;
using Action = Said<struct ActionTag>;
// Only the hosting user starts games (its copy alone shows the options).
struct StartGame {
    static constexpr Sender sender = Sender::HostingUser;
    static constexpr bool beforeLogin = false;
    QByteArray starter, team;
    int playto = 0, turntime = 0, shuffles = 0;
};
// The hosting user may switch any seat; everybody else only their own.
// "1" watching, "2" playing; anything else asks nothing.
struct JustWatch {
    static constexpr Sender sender = Sender::OwnOrHostingUser;
    static constexpr bool beforeLogin = false;
    int slot = 0;
    QByteArray mode;
};
struct PathEntry {
    int n, x, y;
};
struct PlayerDone {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = false;
    int slot = 0;
    std::vector<PathEntry> path;
};
struct Direction {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = false;
    int slot = 0, direction = 0;
};
// A pick, a take-back or a chatter sound, relayed to the others with the
// rest as it came ("wave3+").
template <class Tag> struct Relayed {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = false;
    int slot = 0;
    QByteArray rest;
};
using SelectLetter = Relayed<struct SelectLetterTag>;
using ClearLetter = Relayed<struct ClearLetterTag>;
using PlayASound = Relayed<struct PlayASoundTag>;
template <class Tag> struct SlotOnly {
    static constexpr Sender sender = Sender::Own;
    static constexpr bool beforeLogin = false;
    int slot = 0;
};
using SelectClear = SlotOnly<struct SelectClearTag>;
using Shuffle = SlotOnly<struct ShuffleTag>;
} // namespace up

using FromClient = std::variant<up::Login, up::ShowKey, up::Kick, up::Chat, up::Action, up::StartGame, up::JustWatch,
        up::PlayerDone, up::Direction, up::SelectLetter, up::ClearLetter, up::SelectClear, up::Shuffle, up::PlayASound>;

// ---- The host to the windows ----
namespace down {
struct SendLogin {
    int slot = 0;
};
// A relayed chat or action line: the sender's slot (0 for the host's own
// lines, and for any number that is not a user's), the line with the
// sender's name, its colour.
template <class Tag> struct Said {
    int slot = 0;
    QByteArray line;
    quint32 colour = 0;
};
using Chat = Said<struct ChatTag>;
using Action = Said<struct ActionTag>;
struct Present {
    int slot = 0;
    QByteArray name, watching; // watching "1"
};
// Users as announced, in order; partial: those read before a bad field.
template <class Tag> struct Players {
    static constexpr bool partial = true;
    bool complete = false;
    QList<Present> users;
};
using NewPlayer = Players<struct NewPlayerTag>;
using ExistingPlayers = Players<struct ExistingPlayersTag>;
struct HaveWrongVersion {
    QByteArray name;
};
struct WrongVersion { };
struct Full { };
struct TimeUp { };
// Slot -1 when it is not a plain number.
struct PlayerDisconnected {
    int slot = -1;
    QByteArray name;
};
// The options as the hosting user gave them; the play-to score is shown as
// sent, and shuffles that do not read are 0.
struct StartGame {
    QByteArray starter, playto, team;
    int turntime = 0, shuffles = 0;
};
struct NextPlayer {
    int seat = 0, shuffles = 0; // shuffles 0 when they do not read
};
struct Winner {
    QByteArray name;
};
struct JustWatching {
    int seat = 0;
    QByteArray mode; // "1" watching
};
struct Square {
    int x, y, letter;
};
struct TheBoard {
    static constexpr bool partial = true;
    bool complete = false;
    std::vector<Square> squares;
};
struct NotValid {
    int seat = 0;
    QByteArray word;
};
struct MadeWord {
    int seat = 0;
    QByteArray word, score, total, teamA, teamB; // shown as sent
    int points = 0, totalPoints = 0; // the same, 0 when they do not read
    QList<QPoint> cells;
};
// The numbers are taken one at a time as read; the rest shows as sent.
struct GameStats {
    static constexpr bool partial = true;
    bool complete = false;
    std::optional<int> current, timePerTurn, timeLeft;
    QByteArray playto, team;
    std::array<QByteArray, 4> scores; // seats 1 to 4, shown as sent
    std::array<int, 4> totals{}; // the same, 0 when they do not read
    QByteArray teamA, teamB;
};
struct Pick {
    int seat = 0, index = 0;
    QPoint cell;
};
struct SelectClear {
    int seat = 0;
};
struct ClearLetter {
    int seat = 0, index = 0;
};
struct Moving {
    int direction = 0;
};
struct UseShuffle {
    int seat = 0, shuffles = 0;
    std::optional<int> timeleft;
};
// Each seat's shuffles left; partial: the seats read before a bad field.
struct ShufflesLeft {
    static constexpr bool partial = true;
    bool complete = false;
    QList<int> left;
};
struct Bonus {
    int seat = 0;
};
// A chatter sound: the sender's slot (0 when it does not read) and the
// sound's name.
struct PlayASound {
    int slot = 0;
    QByteArray name;
};
} // namespace down

using FromHost = std::variant<down::SendLogin, down::Chat, down::Action, down::NewPlayer, down::ExistingPlayers,
        down::HaveWrongVersion, down::WrongVersion, down::Full, down::TimeUp, down::PlayerDisconnected, down::StartGame,
        down::NextPlayer, down::Winner, down::JustWatching, down::TheBoard, down::NotValid, down::MadeWord,
        down::GameStats, down::Pick, down::SelectClear, down::ClearLetter, down::Moving, down::UseShuffle,
        down::ShufflesLeft, down::Bonus, down::PlayASound, SeatKey>;

template <class M> struct Decoded {
    std::optional<M> message; // none: not a message of the game
    std::optional<Unreadable> error;
};
// A whole message, terminator taken off.
Decoded<FromClient> decodeFromClient(const QByteArray &message);
Decoded<FromHost> decodeFromHost(const QByteArray &message);

// Whether a message type's handler runs on what was read before a bad field.
template <class T> constexpr bool takesPartial()
{
    if constexpr (requires { T::partial; })
        return T::partial;
    else
        return false;
}

// Whether the user of a slot may send this request.
template <class R> bool senderAllowed(const R &request, int from)
{
    if constexpr (R::sender == up::Sender::HostingUser)
        return from == 1;
    else if constexpr (R::sender == up::Sender::OwnOrHostingUser)
        return from == 1 || request.slot == from;
    else
        return request.slot == from;
}

} // namespace wire
