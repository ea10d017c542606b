#pragma once
// Every message of the game, each layout written once: the command names,
// and one encoder a message giving its exact bytes, terminator included
// (typedmessages.h reads them). Whether a "+" precedes the terminator differs from
// message to message; the encoders know which. Relayed messages carry the
// request's own text ("as received"), so their fields stay bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPoint>

#include <array>

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
QByteArray chatLine(int slot, QByteArrayView name, QByteArrayView textAndColour);
QByteArray actionLine(int slot, QByteArrayView name, QByteArrayView textAndColour);
// A line of the host's own (slot 0): the text, "|" and its colour.
QByteArray systemLine(QByteArrayView textAndColour);
// Requests passed on to the others: the sender's slot and the rest of the
// request as it came (which brings its own ending "+").
QByteArray relaySelectletter(int slot, QByteArrayView rest);
QByteArray relayClearletter(int slot, QByteArrayView rest);
QByteArray relaySelectclear(int slot);
QByteArray relayPlayasound(int slot, QByteArrayView rest);
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

} // namespace wire::msg
