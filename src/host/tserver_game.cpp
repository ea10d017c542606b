// The game's requests read off the wire, and the game's events put back on it.

#include "message.h"
#include "wiremessages.h"
#include "tserver.h"

#include <cstdio>

namespace msg = wire::msg;

namespace {
template <class... F> struct Overloaded : F... {
    using F::operator()...;
};
template <class... F> Overloaded(F...) -> Overloaded<F...>;
} // namespace

void TServer::setManualTimers(bool manual)
{
    Timer1.setManual(manual);
    computertimer.setManual(manual);
}

void TServer::Timer1Timer()
{
    m_game.Timer1Timer();
    publish();
}

void TServer::computertimerTimer()
{
    m_game.computertimerTimer();
    publish();
}

void TServer::publish()
{
    for (game::Event &event : m_game.takeEvents()) {
        std::visit(
                Overloaded{
                        [&](const game::BoardDealt &) { sendAll(msg::theboard(m_game.state().board)); },
                        [&](const game::GameStarted &e) {
                            sendAll(msg::startgame(e.starter, e.playto, e.turntime, e.team, e.shuffles));
                        },
                        [&](const game::TurnGiven &e) { sendAll(msg::nextplayer(e.seat, e.shufflesLeft)); },
                        [&](const game::ShuffleUsed &e) {
                            sendAll(msg::useshuffle(e.seat, e.shufflesLeft, e.timeleft));
                        },
                        [&](const game::WordRefused &e) { sendTo(e.seat, msg::notvalid(e.seat, e.word)); },
                        [&](const game::WordMade &e) {
                            sendAll(msg::madeword(e.seat, e.word, e.score, e.total, e.teamscore,
                                    QList<QPoint>(e.squares.begin(), e.squares.end())));
                        },
                        [&](const game::SevenLetters &e) { sendAll(msg::bonus(e.seat, e.points)); },
                        [&](const game::TimeUp &) { sendAll(msg::timeup()); },
                        [&](const game::Moving &e) { sendAll(msg::moving(e.direction)); },
                        [&](const game::Winner &e) {
                            sendAll(msg::winner(e.name));
                            endAllHolds();
                        },
                        [&](const game::WatchChanged &e) { sendAll(msg::justwatching(e.seat, e.watching)); },
                        [&](const game::BoardRenewed &) {
                            // A system line: slot 0, the text, its colour.
                            sendAll(msg::relay(wire::cmd::chat, "0",
                                    "Nobody found a word in a whole round and no shuffles are left: a new board is "
                                    "dealt.|clNavy"));
                        },
                        [&](const game::Diagnostic &e) { std::fprintf(stderr, "wordmire host: %s\n", e.text.c_str()); },
                },
                event);
    }
    // The clocks follow the game's countdowns; a restart starts a fresh second.
    const game::Countdown &turn = m_game.turnTimer();
    if (turn.starts != m_turnStarts && turn.running)
        Timer1.start();
    else if (!turn.running)
        Timer1.stop();
    m_turnStarts = turn.starts;
    const game::Countdown &klot = m_game.klotTimer();
    if (klot.starts != m_klotStarts && klot.running)
        computertimer.start();
    else if (!klot.running)
        computertimer.stop();
    m_klotStarts = klot.starts;
}

void TServer::sendGameState(int slot)
{
    const game::HostGame::State &g = m_game.state();
    sendTo(slot, msg::theboard(g.board));
    std::array<int, Seats> scores{}, left{};
    for (int seat = 1; seat <= Seats; ++seat) {
        scores[size_t(seat - 1)] = g.seats[size_t(seat)].score;
        left[size_t(seat - 1)] = g.seats[size_t(seat)].shufflesleft;
    }
    sendTo(slot, msg::gamestats(g.curplayer, g.playto, g.turntime, g.timeleft, g.teamgame, scores, g.teamscore));
    sendTo(slot, msg::shufflesl(left));
}

void TServer::startgame(const QByteArray &data)
{
    // Every field is checked before anything changes: a bad one must not
    // leave a game half started with no turn ever given.
    const wire::msg::StartGame g = wire::msg::readStartgame(data);
    game::GameOptions o;
    o.starter = g.starter;
    o.team = g.team;
    const QByteArray &playtoText = g.playto, &timeText = g.turntime, &shufflesText = g.shuffles;
    const auto playto = wire::parseInt(playtoText);
    const auto time = wire::parseInt(timeText);
    const auto shuffles = wire::parseInt(shufflesText);
    if (!playto)
        throw wire::ConversionError(playtoText);
    if (!time)
        throw wire::ConversionError(timeText);
    if (!shuffles)
        throw wire::ConversionError(shufflesText);
    o.playto = *playto;
    o.turntime = *time;
    o.shuffles = *shuffles;
    // A new game keeps no seat for anybody.
    endAllHolds();
    m_game.startgame(o);
}

void TServer::shuffle(const QByteArray &data)
{
    m_game.shuffle(msg::readSeat(data));
}

void TServer::selectletter(const QByteArray &data)
{
    const auto [seat, rest] = msg::readSeatAndRest(data);
    if (m_game.relaysPicksOf(seat))
        sendAllBut(seat, msg::relay(wire::cmd::selectletter, QByteArray::number(seat), rest));
}

void TServer::clearletter(const QByteArray &data)
{
    const auto [seat, rest] = msg::readSeatAndRest(data);
    if (m_game.relaysPicksOf(seat))
        sendAllBut(seat, msg::relay(wire::cmd::clearletter, QByteArray::number(seat), rest));
}

void TServer::selectclear(const QByteArray &data)
{
    const int seat = msg::readSeat(data);
    if (m_game.relaysPicksOf(seat))
        sendAllBut(seat, msg::relay(wire::cmd::selectclear, QByteArray::number(seat), ""));
}

void TServer::playerdone(const QByteArray &data)
{
    const int seat = msg::readSeat(data);
    // Not the turn's seat: the path is not even read.
    if (seat < 1 || seat > Seats || m_game.state().curplayer == 0 || seat != m_game.state().curplayer)
        return;
    std::vector<game::PathEntry> entries;
    msg::readPath(data, [&entries](int n, int x, int y) {
        entries.push_back({n, x, y});
        // The game drops a path with an entry out of order or off the
        // board; nothing after it needs reading.
        return n == int(entries.size()) && n <= 7 && rules::onBoard(x, y);
    });
    m_game.playerdone(seat, entries);
}

void TServer::direction_(const QByteArray &data)
{
    const msg::Direction d = msg::readDirection(data);
    m_game.direction_(d.seat, d.direction);
}

void TServer::justwatch(const QByteArray &data)
{
    const auto [seat, mode] = msg::readSeatAndRest(data);
    if (mode == "2")
        m_game.justwatch(seat, false);
    else if (mode == "1")
        m_game.justwatch(seat, true);
}
