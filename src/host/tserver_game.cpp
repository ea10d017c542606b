// The game's requests read off the wire, and the game's events put back on it.

#include "message.h"
#include "tserver.h"

#include <cstdio>

using wire::FieldReader;
using wire::Message;

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

QByteArray TServer::boardText() const
{
    const rules::Board &board = m_game.state().board;
    QByteArray text;
    for (int x = 0; x < rules::Size; ++x)
        for (int y = 0; y < rules::Size; ++y)
            text += '+' + QByteArray::number(x) + '+' + QByteArray::number(y) + '+'
                    + QByteArray::number(board[size_t(x)][size_t(y)]);
    return text;
}

void TServer::publish()
{
    for (game::Event &event : m_game.takeEvents()) {
        std::visit(
                Overloaded{
                        [&](const game::BoardDealt &) { sendAll(Message("CMD_theboard").raw(boardText()).end()); },
                        [&](const game::GameStarted &e) {
                            sendAll(Message("CMD_startgame")
                                            .field(e.starter)
                                            .field(e.playto)
                                            .field(e.turntime)
                                            .field(e.team)
                                            .field(e.shuffles)
                                            .endPlus());
                        },
                        [&](const game::TurnGiven &e) {
                            sendAll(Message("CMD_nextplayer").field(e.seat).field(e.shufflesLeft).endPlus());
                        },
                        [&](const game::ShuffleUsed &e) {
                            sendAll(Message("CMD_useshuffle")
                                            .field(e.seat)
                                            .field(e.shufflesLeft)
                                            .field(e.timeleft)
                                            .endPlus());
                        },
                        [&](const game::WordRefused &e) {
                            sendTo(e.seat, Message("CMD_notvalid").field(e.seat).field(e.word).endPlus());
                        },
                        [&](const game::WordMade &e) {
                            QByteArray squares;
                            for (const QPoint &t : e.squares)
                                squares += '+' + QByteArray::number(t.x()) + '+' + QByteArray::number(t.y());
                            sendAll(Message("CMD_madeword")
                                            .field(e.seat)
                                            .field(e.word)
                                            .field(e.score)
                                            .field(e.total)
                                            .field(e.teamscore[0])
                                            .field(e.teamscore[1])
                                            .raw(squares)
                                            .end());
                        },
                        [&](const game::SevenLetters &e) {
                            sendAll(Message("CMD_bonus").field(e.seat).field(e.points).endPlus());
                        },
                        [&](const game::TimeUp &) { sendAll(Message("CMD_timeup").endPlus()); },
                        [&](const game::Moving &e) { sendAll(Message("CMD_moving").field(e.direction).endPlus()); },
                        [&](const game::Winner &e) { sendAll(Message("CMD_winner").field(e.name).endPlus()); },
                        [&](const game::WatchChanged &e) {
                            sendAll(Message("CMD_justwatching").field(e.seat).field(e.watching ? "1" : "2").end());
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
    sendTo(slot, Message("CMD_theboard").raw(boardText()).end());
    Message stats("CMD_gamestats");
    stats.field(g.curplayer).field(g.playto).field(g.turntime).field(g.timeleft).field(g.teamgame ? "t" : "f");
    for (int seat = 1; seat <= Seats; ++seat)
        stats.field(g.seats[size_t(seat)].score);
    stats.field(g.teamscore[0]).field(g.teamscore[1]);
    sendTo(slot, stats.endPlus());
    Message left("CMD_shufflesl");
    for (int seat = 1; seat <= Seats; ++seat)
        left.field(g.seats[size_t(seat)].shufflesleft);
    sendTo(slot, left.endPlus());
}

void TServer::startgame(const QByteArray &data)
{
    // Every field is checked before anything changes: a bad one must not
    // leave a game half started with no turn ever given.
    FieldReader r(data);
    game::GameOptions o;
    o.starter = r.field();
    const QByteArray playtoText = r.field();
    const QByteArray timeText = r.field();
    o.team = r.field();
    const QByteArray shufflesText = r.field();
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
    m_game.startgame(o);
}

void TServer::shuffle(const QByteArray &data)
{
    FieldReader r(data);
    m_game.shuffle(r.number());
}

void TServer::selectletter(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (m_game.relaysPicksOf(seat))
        sendAllBut(seat, Message("CMD_selectletter").field(seat).raw("+" + r.rest()).end());
}

void TServer::clearletter(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (m_game.relaysPicksOf(seat))
        sendAllBut(seat, Message("CMD_clearletter").field(seat).raw("+" + r.rest()).end());
}

void TServer::selectclear(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (m_game.relaysPicksOf(seat))
        sendAllBut(seat, Message("CMD_selectclear").field(seat).endPlus());
}

void TServer::playerdone(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    // Not the turn's seat: the path is not even read.
    if (seat < 1 || seat > Seats || m_game.state().curplayer == 0 || seat != m_game.state().curplayer)
        return;
    std::vector<game::PathEntry> entries;
    if (!r.rest().isEmpty()) {
        r.beginGroups();
        while (r.moreGroups()) {
            const int n = r.number();
            const int x = r.number();
            const int y = r.number();
            entries.push_back({n, x, y});
            // The game drops a path with an entry out of order or off the
            // board; nothing after it needs reading.
            if (n != int(entries.size()) || n > 7 || !rules::onBoard(x, y))
                break;
        }
    }
    m_game.playerdone(seat, entries);
}

void TServer::direction_(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    const int code = r.number();
    m_game.direction_(seat, code);
}

void TServer::justwatch(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    const QByteArray mode = r.rest();
    if (mode == "2")
        m_game.justwatch(seat, false);
    else if (mode == "1")
        m_game.justwatch(seat, true);
}
