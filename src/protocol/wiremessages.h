#pragma once
// Every message of the game, each layout written once: the command names
// both sides dispatch on, and one encoder a message giving its exact bytes,
// terminator included. Whether a "+" precedes the terminator differs from
// message to message; the encoders know which. Relayed messages carry the
// request's own text ("as received"), so their fields stay bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPoint>

#include <array>
#include <functional>
#include <optional>

namespace wire::cmd {
// Client to host.
inline constexpr char logininfo[] = "CMD_logininfo";
inline constexpr char kickhim[] = "CMD_kickhim";
inline constexpr char chat[] = "CMD_chat";
inline constexpr char action[] = "CMD_action";
inline constexpr char startgame[] = "CMD_startgame";
inline constexpr char justwatch[] = "CMD_justwatch";
inline constexpr char playerdone[] = "CMD_playerdone";
inline constexpr char direction[] = "CMD_direction";
inline constexpr char selectletter[] = "CMD_selectletter";
inline constexpr char selectclear[] = "CMD_selectclear";
inline constexpr char clearletter[] = "CMD_clearletter";
inline constexpr char shuffle[] = "CMD_shuffle";
inline constexpr char playasound[] = "CMD_playasound";
// Host to client (chat, action, startgame, selectletter, selectclear,
// clearletter and playasound go both ways).
inline constexpr char sendlogininfo[] = "CMD_sendlogininfo";
inline constexpr char newplayerinfo[] = "CMD_newplayerinfo";
inline constexpr char havewrongversion[] = "CMD_havewrongversion";
inline constexpr char wrongversion[] = "CMD_wrongversion";
inline constexpr char existingplayers[] = "CMD_existingplayers";
inline constexpr char playerdisconnected[] = "CMD_playerdisconnected";
inline constexpr char nextplayer[] = "CMD_nextplayer";
inline constexpr char winner[] = "CMD_winner";
inline constexpr char full[] = "CMD_full";
inline constexpr char justwatching[] = "CMD_justwatching";
inline constexpr char theboard[] = "CMD_theboard";
inline constexpr char notvalid[] = "CMD_notvalid";
inline constexpr char madeword[] = "CMD_madeword";
inline constexpr char timeup[] = "CMD_timeup";
inline constexpr char gamestats[] = "CMD_gamestats";
inline constexpr char moving[] = "CMD_moving";
inline constexpr char useshuffle[] = "CMD_useshuffle";
inline constexpr char shufflesl[] = "CMD_shufflesl";
inline constexpr char bonus[] = "CMD_bonus";
// Both ways: the host gives a seated player the key to their seat; the
// player's copy shows it again, just before its login, when it comes back
// after a dropped connection. Copies that do not know it ignore it.
inline constexpr char seatkey[] = "CMD_seatkey";
} // namespace wire::cmd

namespace wire::msg {

using Grid = std::array<std::array<int, 7>, 7>; // [x][y]

// ---- Client to host ----
// The name keeps a terminator of its own, so the login ends in two.
QByteArray logininfo(int slot, QByteArrayView version, QByteArrayView name);
QByteArray kickhim(int requester, int target);
// Chat and action lines: the text, "|" and the colour text.
QByteArray chat(int slot, QByteArrayView text, QByteArrayView colour);
QByteArray action(int slot, QByteArrayView text, QByteArrayView colour);
// Sent by the hosting user and echoed by the host as it came.
QByteArray startgame(QByteArrayView starter, int playto, int turntime, QByteArrayView team, int shuffles);
QByteArray justwatch(int seat, bool watching);
QByteArray playerdone(int slot, const QList<QPoint> &path);
QByteArray direction(int slot, int direction);
QByteArray selectletter(int slot, int i, QPoint cell);
QByteArray selectclear(int slot);
QByteArray clearletter(int slot, int i);
QByteArray shuffle(int slot);
QByteArray playasound(int slot, int sound);
// Both ways: "CMD_seatkey+slot+key".
QByteArray seatkey(int slot, QByteArrayView key);

// ---- Host to client ----
QByteArray sendlogininfo(int slot);
// A chat or action line relayed: the sender's slot as sent, the sender's
// name, and the text with its colour as received.
QByteArray chatLine(QByteArrayView slot, QByteArrayView name, QByteArrayView textAndColour);
QByteArray actionLine(QByteArrayView slot, QByteArrayView name, QByteArrayView textAndColour);
// A request passed on to others: the command, the sender's slot as sent and
// the rest of the request as it came (which brings its own ending "+").
QByteArray relay(const char *command, QByteArrayView slot, QByteArrayView rest);
QByteArray newplayerinfo(int slot, QByteArrayView name);
QByteArray havewrongversion(QByteArrayView name);
QByteArray wrongversion();
struct Present {
    int slot;
    QByteArray name;
    bool watching;
};
QByteArray existingplayers(const QList<Present> &others);
QByteArray playerdisconnected(int slot, QByteArrayView name);
QByteArray nextplayer(int seat, int shuffles);
QByteArray winner(QByteArrayView name);
QByteArray full();
QByteArray justwatching(int seat, bool watching);
QByteArray theboard(const Grid &board);
QByteArray notvalid(int seat, QByteArrayView word);
QByteArray madeword(
        int seat, QByteArrayView word, int score, int total, std::array<int, 2> teams, const QList<QPoint> &cells);
QByteArray timeup();
QByteArray gamestats(int current, int playto, int timeperturn, int timeleft, bool team,
        const std::array<int, 4> &scores, std::array<int, 2> teams);
QByteArray moving(int direction);
QByteArray useshuffle(int seat, int shuffles, int timeleft);
QByteArray shufflesl(const std::array<int, 4> &left);
QByteArray bonus(int seat, int points);

// ---- Reading ----
// Each takes the data after the command name, as the dispatcher splits it,
// and reads the fields in order; a number field that does not read throws
// ConversionError there, so a handler that reads first changes nothing.

// Both sides read the options' numbers their own way (the host refuses any
// that does not read, a window shows the play-to score as sent).
struct StartGame {
    QByteArray starter, playto, turntime, team, shuffles;
};
StartGame readStartgame(const QByteArray &data);
struct NextPlayer {
    int seat;
    int shuffles; // 0 when it does not read
};
NextPlayer readNextplayer(const QByteArray &data);
struct UseShuffle {
    int seat;
    int shuffles;
    std::optional<int> timeleft;
};
UseShuffle readUseshuffle(const QByteArray &data);
struct MadeWord {
    int seat;
    QByteArray word, score, total, teamA, teamB; // as sent
    QList<QPoint> cells;
};
MadeWord readMadeword(const QByteArray &data);

// The first field as a number: the seat or slot a request comes from or a
// message is about. Handlers that drop messages by seat read it before
// anything else, so a bad field after it never matters for those.
int readSeat(const QByteArray &data);
// A slot as sent and the rest as it came: chat, action and sound requests,
// and a user's leaving.
struct SlotAndRest {
    QByteArray slot, rest;
};
SlotAndRest readSlotAndRest(const QByteArray &data);
// A seat and the rest: CMD_justwatch and CMD_justwatching ("1" watching),
// and the picks the host relays as they came.
struct SeatAndRest {
    int seat;
    QByteArray rest;
};
SeatAndRest readSeatAndRest(const QByteArray &data);

struct LoginInfo {
    int slot;
    QByteArray version, name;
};
LoginInfo readLogininfo(const QByteArray &data);
struct SeatKey {
    int slot;
    QByteArray key;
};
SeatKey readSeatkey(const QByteArray &data);
struct Kick {
    int requester, victim;
};
Kick readKickhim(const QByteArray &data);
struct Direction {
    int seat, direction;
};
Direction readDirection(const QByteArray &data);
// The path of a CMD_playerdone after its seat: each entry goes to onEntry as
// read, and reading stops when onEntry returns false.
void readPath(const QByteArray &data, const std::function<bool(int n, int x, int y)> &onEntry);

// The slot the host gives a new connection (the message has no terminator).
int readSendlogininfo(const QByteArray &data);
// CMD_newplayerinfo and CMD_existingplayers: one call per user as read.
void readPlayers(const QByteArray &data,
        const std::function<void(int slot, const QByteArray &name, const QByteArray &watching)> &onPlayer);
// The board, one call per square as read.
void readTheboard(const QByteArray &data, const std::function<void(int x, int y, int letter)> &onSquare);
// The numbers of CMD_gamestats are handed on as they are read, so what a
// handler does with the first stays done when a later one does not read.
struct Stats {
    QByteArray playto, team;
    std::array<QByteArray, 4> scores; // seats 1 to 4, as sent
    QByteArray teamA, teamB;
};
struct StatsSteps {
    std::function<void(int)> current, timePerTurn, timeLeft;
};
Stats readGamestats(const QByteArray &data, const StatsSteps &steps);
// Each seat's shuffles left, one call per seat as read.
void readShufflesl(const QByteArray &data, const std::function<void(int seat, int left)> &onSeat);
int readMoving(const QByteArray &data);
QByteArray readWinner(const QByteArray &data);
struct NotValid {
    int seat;
    QByteArray word;
};
NotValid readNotvalid(const QByteArray &data);
struct Pick {
    int seat, index;
    QPoint cell;
};
Pick readSelectletter(const QByteArray &data);
struct TakeBack {
    int seat, index;
};
TakeBack readClearletter(const QByteArray &data);

} // namespace wire::msg
