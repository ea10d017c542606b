// The game's requests read off the wire, and the game's events put back on it.

#include "message.h"
#include "logging.h"
#include "wiremessages.h"
#include "tserver.h"

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
        std::visit(Overloaded{
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
                               sendAll(msg::systemLine(
                                       "Nobody found a word in a whole round and no shuffles are left: a new board is "
                                       "dealt.|clNavy"));
                           },
                           [&](const game::Diagnostic &e) { qCWarning(lcHost, "%s", e.text.c_str()); },
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

void TServer::handle(const wire::up::StartGame &g)
{
    // Every field has read before anything changes: a bad one must not
    // leave a game half started with no turn ever given.
    game::GameOptions o;
    o.starter = g.starter;
    o.team = g.team;
    o.playto = g.playto;
    o.turntime = g.turntime;
    o.shuffles = g.shuffles;
    // A new game keeps no seat for anybody.
    endAllHolds();
    m_game.startgame(o);
}

void TServer::handle(const wire::up::Shuffle &s)
{
    m_game.shuffle(s.slot);
}

void TServer::handle(const wire::up::SelectLetter &pick)
{
    if (m_game.relaysPicksOf(pick.slot))
        sendAllBut(pick.slot, msg::relaySelectletter(pick.slot, pick.rest));
}

void TServer::handle(const wire::up::ClearLetter &takeBack)
{
    if (m_game.relaysPicksOf(takeBack.slot))
        sendAllBut(takeBack.slot, msg::relayClearletter(takeBack.slot, takeBack.rest));
}

void TServer::handle(const wire::up::SelectClear &clear)
{
    if (m_game.relaysPicksOf(clear.slot))
        sendAllBut(clear.slot, msg::relaySelectclear(clear.slot));
}

void TServer::handle(const wire::up::PlayerDone &done)
{
    std::vector<game::PathEntry> entries;
    entries.reserve(done.path.size());
    for (const wire::up::PathEntry &e : done.path)
        entries.push_back({e.n, e.x, e.y});
    m_game.playerdone(done.slot, entries);
}

void TServer::handle(const wire::up::Direction &d)
{
    m_game.direction_(d.slot, d.direction);
}

void TServer::handle(const wire::up::JustWatch &w)
{
    if (w.mode == "2")
        m_game.justwatch(w.slot, false);
    else if (w.mode == "1")
        m_game.justwatch(w.slot, true);
}
