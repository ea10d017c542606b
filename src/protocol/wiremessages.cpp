#include "wiremessages.h"

#include "message.h"

namespace wire::msg {

namespace {
QByteArray cells(const QList<QPoint> &points)
{
    QByteArray out;
    for (const QPoint &p : points)
        out += '+' + QByteArray::number(p.x()) + '+' + QByteArray::number(p.y());
    return out;
}

QByteArray line(QByteArrayView text, QByteArrayView colour)
{
    return text.toByteArray() + '|' + colour.toByteArray();
}
} // namespace

QByteArray logininfo(int slot, QByteArrayView version, QByteArrayView name)
{
    return Message(cmd::logininfo).field(slot).field(version).field(name).raw(QByteArrayView(&Terminator, 1)).end();
}

QByteArray seatkey(int slot, QByteArrayView key)
{
    return Message(cmd::seatkey).field(slot).field(key).end();
}

QByteArray kickhim(int requester, int target)
{
    return Message(cmd::kickhim).field(requester).field(target).endPlus();
}

QByteArray chat(int slot, QByteArrayView text, QByteArrayView colour)
{
    return Message(cmd::chat).field(slot).field(line(text, colour)).end();
}

QByteArray action(int slot, QByteArrayView text, QByteArrayView colour)
{
    return Message(cmd::action).field(slot).field(line(text, colour)).end();
}

QByteArray startgame(QByteArrayView starter, int playto, int turntime, QByteArrayView team, int shuffles)
{
    return Message(cmd::startgame).field(starter).field(playto).field(turntime).field(team).field(shuffles).endPlus();
}

QByteArray justwatch(int seat, bool watching)
{
    return Message(cmd::justwatch).field(seat).field(watching ? "1" : "2").end();
}

QByteArray playerdone(int slot, const QList<QPoint> &path)
{
    Message m(cmd::playerdone);
    m.field(slot);
    for (int i = 0; i < path.size(); ++i)
        m.field(i + 1).field(path[i].x()).field(path[i].y());
    return m.end();
}

QByteArray direction(int slot, int d)
{
    return Message(cmd::direction).field(slot).field(d).endPlus();
}

QByteArray selectletter(int slot, int i, QPoint cell)
{
    return Message(cmd::selectletter).field(slot).field(i).field(cell.x()).field(cell.y()).endPlus();
}

QByteArray selectclear(int slot)
{
    return Message(cmd::selectclear).field(slot).endPlus();
}

QByteArray clearletter(int slot, int i)
{
    return Message(cmd::clearletter).field(slot).field(i).endPlus();
}

QByteArray shuffle(int slot)
{
    return Message(cmd::shuffle).field(slot).endPlus();
}

QByteArray playasound(int slot, int sound)
{
    return Message(cmd::playasound).field(slot).field("wave" + QByteArray::number(sound)).endPlus();
}

QByteArray sendlogininfo(int slot)
{
    return Message(cmd::sendlogininfo).field(slot).end();
}

QByteArray chatLine(int slot, QByteArrayView name, QByteArrayView textAndColour)
{
    return Message(cmd::chat).field(slot).field(name).raw(" chats: ").raw(textAndColour).end();
}

QByteArray actionLine(int slot, QByteArrayView name, QByteArrayView textAndColour)
{
    return Message(cmd::action).field(slot).field(name).raw(" ").raw(textAndColour).end();
}

namespace {
QByteArray relay(const char *command, int slot, QByteArrayView rest)
{
    return Message(command).field(slot).field(rest).end();
}
} // namespace

QByteArray systemLine(QByteArrayView textAndColour)
{
    return relay(cmd::chat, 0, textAndColour);
}

QByteArray relaySelectletter(int slot, QByteArrayView rest)
{
    return relay(cmd::selectletter, slot, rest);
}

QByteArray relayClearletter(int slot, QByteArrayView rest)
{
    return relay(cmd::clearletter, slot, rest);
}

QByteArray relaySelectclear(int slot)
{
    return relay(cmd::selectclear, slot, "");
}

QByteArray relayPlayasound(int slot, QByteArrayView rest)
{
    return relay(cmd::playasound, slot, rest);
}

QByteArray newplayerinfo(int slot, QByteArrayView name)
{
    return Message(cmd::newplayerinfo).field(slot).field(name).field("0").end();
}

QByteArray havewrongversion(QByteArrayView name)
{
    return Message(cmd::havewrongversion).field(name).end();
}

QByteArray wrongversion()
{
    return Message(cmd::wrongversion).endPlus();
}

QByteArray existingplayers(const QList<Present> &others)
{
    Message m(cmd::existingplayers);
    for (const Present &p : others)
        m.field(p.slot).field(p.name).field(p.watching ? "1" : "0");
    return m.end();
}

QByteArray playerdisconnected(int slot, QByteArrayView name)
{
    return Message(cmd::playerdisconnected).field(slot).field(name).end();
}

QByteArray nextplayer(int seat, int shuffles)
{
    return Message(cmd::nextplayer).field(seat).field(shuffles).endPlus();
}

QByteArray winner(QByteArrayView name)
{
    return Message(cmd::winner).field(name).endPlus();
}

QByteArray full()
{
    return Message(cmd::full).endPlus();
}

QByteArray justwatching(int seat, bool watching)
{
    return Message(cmd::justwatching).field(seat).field(watching ? "1" : "2").end();
}

QByteArray theboard(const Grid &board)
{
    Message m(cmd::theboard);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            m.field(x).field(y).field(board[size_t(x)][size_t(y)]);
    return m.end();
}

QByteArray notvalid(int seat, QByteArrayView word)
{
    return Message(cmd::notvalid).field(seat).field(word).endPlus();
}

QByteArray madeword(
        int seat, QByteArrayView word, int score, int total, std::array<int, 2> teams, const QList<QPoint> &path)
{
    return Message(cmd::madeword)
            .field(seat)
            .field(word)
            .field(score)
            .field(total)
            .field(teams[0])
            .field(teams[1])
            .raw(cells(path))
            .end();
}

QByteArray timeup()
{
    return Message(cmd::timeup).endPlus();
}

QByteArray gamestats(int current, int playto, int timeperturn, int timeleft, bool team,
        const std::array<int, 4> &scores, std::array<int, 2> teams)
{
    Message m(cmd::gamestats);
    m.field(current).field(playto).field(timeperturn).field(timeleft).field(team ? "t" : "f");
    for (int s : scores)
        m.field(s);
    return m.field(teams[0]).field(teams[1]).endPlus();
}

QByteArray moving(int d)
{
    return Message(cmd::moving).field(d).endPlus();
}

QByteArray useshuffle(int seat, int shuffles, int timeleft)
{
    return Message(cmd::useshuffle).field(seat).field(shuffles).field(timeleft).endPlus();
}

QByteArray shufflesl(const std::array<int, 4> &left)
{
    Message m(cmd::shufflesl);
    for (int n : left)
        m.field(n);
    return m.endPlus();
}

QByteArray bonus(int seat, int points)
{
    return Message(cmd::bonus).field(seat).field(points).endPlus();
}

} // namespace wire::msg
