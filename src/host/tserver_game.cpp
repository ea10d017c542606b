// The course of a game on the host: starting, the board, turns and the turn
// timer, words and their scores, shifting, winning and the computer opponent.

#include "message.h"
#include "tserver.h"

#include <cstdio>

using wire::FieldReader;
using wire::Message;

void TServer::setManualTimers(bool manual)
{
    Timer1.setManual(manual);
    computertimer.setManual(manual);
}

rules::Seating TServer::seating() const
{
    rules::Seating s;
    s.teamgame = teamgame;
    for (int seat = 1; seat <= Seats; ++seat)
        s.active[seat] = tplayers[seat].active;
    return s;
}

QByteArray TServer::boardText() const
{
    QByteArray text;
    for (int x = 0; x < rules::Size; ++x)
        for (int y = 0; y < rules::Size; ++y)
            text += '+' + QByteArray::number(x) + '+' + QByteArray::number(y) + '+' + QByteArray::number(board[x][y]);
    return text;
}

void TServer::createmaze()
{
    for (auto &column : board)
        for (int &code : column)
            if (code == rules::Empty || code == rules::Removed)
                code = rules::drawLetter(m_rng);
    sendAll(Message("CMD_theboard").raw(boardText()).end());
}

void TServer::sendGameState(int slot)
{
    sendTo(slot, Message("CMD_theboard").raw(boardText()).end());
    Message stats("CMD_gamestats");
    stats.field(curplayer).field(playto).field(turntime).field(timeleft).field(teamgame ? "t" : "f");
    for (int seat = 1; seat <= Seats; ++seat)
        stats.field(tplayers[seat].score);
    stats.field(teamscore[0]).field(teamscore[1]);
    sendTo(slot, stats.endPlus());
    Message left("CMD_shufflesl");
    for (int seat = 1; seat <= Seats; ++seat)
        left.field(tplayers[seat].shufflesleft);
    sendTo(slot, left.endPlus());
}

void TServer::startgame(const QByteArray &data)
{
    // Every field is checked before anything changes: a bad one must not
    // leave a game half started with no turn ever given.
    FieldReader r(data);
    const QByteArray starter = r.field();
    const QByteArray playtoText = r.field();
    const QByteArray timeText = r.field();
    const QByteArray team = r.field();
    const QByteArray shufflesText = r.field();
    const auto newPlayto = wire::parseInt(playtoText);
    const auto newTime = wire::parseInt(timeText);
    const auto newShuffles = wire::parseInt(shufflesText);
    if (!newPlayto)
        throw wire::ConversionError(playtoText);
    if (!newTime)
        throw wire::ConversionError(timeText);
    if (!newShuffles)
        throw wire::ConversionError(shufflesText);
    // Far beyond what the options allow, and small enough that the turn
    // timer's arithmetic cannot overflow.
    if (*newTime < 1 || *newTime > 3600 || *newShuffles < 0 || *newShuffles > 99) {
        std::fprintf(stderr, "wordmire host: game options out of range; no game started\n");
        return;
    }

    Timer1.stop();
    computertimer.stop();
    gameon = true;
    playto = *newPlayto;
    turntime = *newTime;
    shufflesetting = *newShuffles;
    teamgame = team == "t";
    for (int seat = 1; seat <= Seats; ++seat) {
        tplayers[seat].score = 0;
        tplayers[seat].watching = false;
        tplayers[seat].shufflesleft = shufflesetting;
    }
    sendAll(Message("CMD_startgame")
                .field(starter)
                .field(playto)
                .field(turntime)
                .field(team)
                .field(shufflesetting)
                .endPlus());
    for (auto &column : board)
        column.fill(rules::Empty);
    teamscore = {0, 0};
    curplayer = 0;
    lastplayer = 0;
    direction = 1;
    createmaze();
    startnextround();
}

void TServer::startnextround()
{
    for (int seat = 1; seat <= Seats; ++seat)
        tplayers[seat].tiles.fill(QPoint(-1, -1));
    createmaze();
    findplayer();
}

void TServer::findplayer()
{
    const int s = rules::nextSeat(lastplayer, seating());
    lastplayer = 0;
    curplayer = s;
    tplayers[s].tiles.fill(QPoint(-1, -1));
    sendAll(Message("CMD_nextplayer").field(s).field(tplayers[s].shufflesleft).endPlus());
    if (!tplayers[s].active || tplayers[s].watching) {
        klotdelay = 5;
        computertimer.start();
    }
    timeleft = turntime + 4;
    Timer1.Tag = 1;
    Timer1.start();
}

void TServer::shuffle(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (seat < 1 || seat > Seats || seat != curplayer || tplayers[seat].shufflesleft < 1)
        return;
    --tplayers[seat].shufflesleft;
    timeleft += turntime / 2;
    sendAll(Message("CMD_useshuffle").field(seat).field(tplayers[seat].shufflesleft).field(timeleft).endPlus());
    for (auto &column : board)
        column.fill(rules::Empty);
    createmaze();
}

void TServer::selectletter(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (seat == curplayer && seat >= 1)
        sendAllBut(seat, Message("CMD_selectletter").field(seat).raw("+" + r.rest()).end());
}

void TServer::clearletter(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (seat == curplayer && seat >= 1)
        sendAllBut(seat, Message("CMD_clearletter").field(seat).raw("+" + r.rest()).end());
}

void TServer::selectclear(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (seat == curplayer && seat >= 1)
        sendAllBut(seat, Message("CMD_selectclear").field(seat).endPlus());
}

void TServer::playerdone(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    if (seat < 1 || seat > Seats || curplayer == 0 || seat != curplayer)
        return;
    tplayer &p = tplayers[seat];

    // Read every triple first: a square off the board or an entry outside
    // 1..7 drops the whole submission before any seat's data is touched.
    struct Entry {
        int n;
        QPoint at;
    };
    std::vector<Entry> entries;
    if (!r.rest().isEmpty()) {
        r.beginGroups();
        while (r.moreGroups()) {
            const int n = r.number();
            const int x = r.number();
            const int y = r.number();
            // Entries come in path order from 1; anything else is not a path.
            if (n != int(entries.size()) + 1 || n > 7 || !rules::onBoard(x, y))
                return;
            entries.push_back({n, QPoint(x, y)});
        }
    }

    p.tiles.fill(QPoint(-1, -1));
    if (entries.empty())
        return;
    QByteArray word;
    for (const Entry &e : entries) {
        p.tiles[e.n - 1] = e.at;
        if (e.n >= 2) {
            for (int k = 0; k < e.n - 1; ++k) {
                if (p.tiles[k] == e.at) {
                    std::fprintf(stderr, "wordmire host: stopping here - twice\n");
                    return;
                }
            }
            if (!rules::touches(e.at, p.tiles[e.n - 2])) {
                if (!p.active || p.watching)
                    computerplay();
                return;
            }
        }
        const char letter = rules::convertoletter(board[e.at.x()][e.at.y()]);
        word += (letter >= 'a' && letter <= 'z') ? char(letter - 'a' + 'A') : letter;
    }

    if (!spell->CheckWord(word)) {
        if (p.active)
            sendTo(seat, Message("CMD_notvalid").field(seat).field(word).endPlus());
        return;
    }

    direction = int(m_rng.bounded(1, 5));
    lastplayer = seat;
    Timer1.stop();
    curplayer = 0;

    rules::Path used;
    for (const QPoint &t : p.tiles) {
        if (t.x() != -1 && t.y() != -1)
            used.push_back(t);
    }
    const int score = rules::scoreWord(board, used);
    QByteArray squares;
    for (const QPoint &t : used) {
        squares += '+' + QByteArray::number(t.x()) + '+' + QByteArray::number(t.y());
        board[t.x()][t.y()] = rules::Removed;
    }
    if (p.team == 1 || p.team == 2)
        teamscore[p.team - 1] += score;
    p.score += score;

    sendAll(Message("CMD_madeword")
                .field(seat)
                .field(word)
                .field(score)
                .field(p.score)
                .field(teamscore[0])
                .field(teamscore[1])
                .raw(squares)
                .end());
    if (word.size() == 7)
        sendAll(Message("CMD_bonus").field(seat).field(rules::SevenLetterBonus).endPlus());
    if (checkforwin(seat))
        return;
    timeleft = (p.active && !p.watching) ? 5 : 2;
    Timer1.Tag = 2;
    Timer1.start();
}

void TServer::direction_(const QByteArray &data)
{
    FieldReader r(data);
    const int seat = r.number();
    const int code = r.number();
    if (seat != lastplayer || seat == 0)
        return;
    direction = code;
    timeleft = 2;
}

void TServer::Timer1Timer()
{
    if (!Timer1.isActive())
        return;
    if (--timeleft >= 1)
        return;
    Timer1.stop();
    switch (Timer1.Tag) {
    case 1:
        if (checkforwin(curplayer))
            return;
        lastplayer = curplayer;
        Timer1.Tag = 3;
        timeleft = 4;
        Timer1.start();
        sendAll(Message("CMD_timeup").endPlus());
        break;
    case 2:
        sendAll(Message("CMD_moving").field(direction).endPlus());
        rules::shift(board, direction);
        Timer1.Tag = 3;
        timeleft = 4;
        Timer1.start();
        break;
    case 3:
        startnextround();
        break;
    default:
        break;
    }
}

bool TServer::checkforwin(int seat)
{
    if (rules::nextSeat(seat, seating()) != 1)
        return false;
    rules::Standing s;
    s.teamgame = teamgame;
    s.playto = playto;
    s.teamscore = teamscore;
    for (int i = 1; i <= Seats; ++i) {
        s.score[i] = tplayers[i].score;
        s.name[i] = tplayers[i].name;
    }
    const auto name = rules::winner(s);
    if (!name)
        return false;
    // Nobody may play on once the game is over, in team games too.
    curplayer = 0;
    gameon = false;
    Timer1.stop();
    computertimer.stop();
    sendAll(Message("CMD_winner").field(*name).endPlus());
    return true;
}

void TServer::computertimerTimer()
{
    if (!computertimer.isActive())
        return;
    if (--klotdelay >= 1)
        return;
    computertimer.stop();
    if (!gameon || curplayer < 1 || curplayer > Seats)
        return;
    const tplayer &p = tplayers[curplayer];
    if (!p.active || p.watching)
        computerplay();
}

void TServer::computerplay()
{
    const rules::KlotWords &words = klotWordTable();
    const int n = int(words.words.size());
    if (n < 2 || curplayer < 1)
        return;
    const auto move = rules::klotChoose(board, words, int(m_rng.bounded(0, n - 1)));
    if (!move)
        return;
    QByteArray data = QByteArray::number(curplayer);
    for (size_t k = 0; k < move->path.size(); ++k) {
        data += '+' + QByteArray::number(int(k + 1)) + '+' + QByteArray::number(move->path[k].x()) + '+'
                + QByteArray::number(move->path[k].y());
    }
    playerdone(data);
}
