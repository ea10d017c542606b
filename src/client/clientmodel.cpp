#include "clientmodel.h"

#include "fieldreader.h"
#include "message.h"
#include "rules.h"
#include "wiremessages.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace msg = wire::msg;

ClientModel::ClientModel(QObject *parent)
    : QObject(parent), m_link([this](const QByteArray &command, const QByteArray &data) { handle(command, data); })
{
    connect(&m_roster, &Roster::systemLine, this, &ClientModel::systemLine);
    connect(&m_roster, &Roster::playerJoined, this, &ClientModel::playerJoined);
    connect(&m_roster, &Roster::playerJoined, this, [this](int slot) {
        if (slot != m_myslot)
            return;
        // Back after a dropped connection: what the host never heard goes now.
        m_chat.resendUnanswered();
        emit loginConfirmed();
    });
    connect(&m_roster, &Roster::playerLeft, this, &ClientModel::playerLeft);
    connect(&m_roster, &Roster::seatChanged, this, &ClientModel::seatChanged);
    connect(&m_mirror, &BoardMirror::boardChanged, this, &ClientModel::boardChanged);
    connect(&m_mirror, &BoardMirror::cellChanged, this, &ClientModel::cellChanged);
    connect(&m_mirror, &BoardMirror::stripChanged, this, &ClientModel::stripChanged);
    connect(&m_chat, &ChatChannel::systemLine, this, &ClientModel::systemLine);
    connect(&m_chat, &ChatChannel::chatLine, this, &ClientModel::chatLine);
    connect(&m_chat, &ChatChannel::chatterSound, this, &ClientModel::chatterSound);
    connect(&m_countdown, &TurnCountdown::tick, this, &ClientModel::countdownTick);
    connect(&m_countdown, &TurnCountdown::lastSeconds, this, [this] { emit soundRequested(Sound::Timer); });
    connect(&m_link, &HostLink::connectFailed, this, &ClientModel::connectFailed);
    connect(&m_link, &HostLink::hostNotFound, this, &ClientModel::hostNotFound);
    connect(&m_link, &HostLink::connectionClosed, this, &ClientModel::connectionClosed);
    m_pickSync.setSingleShot(true);
    connect(&m_pickSync, &QTimer::timeout, this, &ClientModel::sendPicks);
    m_pickClock.start();
}

void ClientModel::connectTo(const QString &address, quint16 port, const QByteArray &name)
{
    m_loginName = wire::safeName(name);
    m_endedByHost = false;
    if (address != m_hostAddress || port != m_hostPort)
        m_seatKey.clear();
    m_hostAddress = address;
    m_hostPort = port;
    m_link.connectTo(address, port);
}

bool ClientModel::send(const QByteArray &message)
{
    if (!m_loggedin)
        return false;
    if (m_link.send(message))
        return true;
    std::fprintf(stderr, "wordmire: Send - Socket Not Connected\n");
    return false;
}

void ClientModel::handle(const QByteArray &command, const QByteArray &data)
{
    try {
        dispatch(command, data);
    } catch (const wire::ConversionError &e) {
        // Shown in the chat rather than as a dialog: a stream of bad messages
        // must not pile up message boxes.
        std::fprintf(stderr, "wordmire: %s\n", e.what());
        emit systemLine("0+" + QByteArray(e.what()));
    }
}

void ClientModel::dispatch(const QByteArray &command, const QByteArray &data)
{
    using Handler = void (ClientModel::*)(const QByteArray &);
    struct Entry {
        const char *name;
        Handler handler;
    };
    // Compared in this order; the first equal name is handled.
    static const Entry table[] = {
            {wire::cmd::sendlogininfo, &ClientModel::sendloginfo},
            {wire::cmd::chat, &ClientModel::chatline},
            {wire::cmd::action, &ClientModel::chatrecieved},
            {wire::cmd::newplayerinfo, &ClientModel::newplayerinfo},
            {wire::cmd::havewrongversion, &ClientModel::havewrongversion},
            {wire::cmd::wrongversion, &ClientModel::wrongversion},
            {wire::cmd::existingplayers, &ClientModel::newplayerinfo},
            {wire::cmd::playerdisconnected, &ClientModel::playerdisconnected},
            {wire::cmd::startgame, &ClientModel::startthegame},
            {wire::cmd::nextplayer, &ClientModel::getnextplayer},
            {wire::cmd::winner, &ClientModel::winner},
            {wire::cmd::full, &ClientModel::full},
            {wire::cmd::justwatching, &ClientModel::justwatching},
            {wire::cmd::theboard, &ClientModel::theboard},
            {wire::cmd::notvalid, &ClientModel::notvalid},
            {wire::cmd::madeword, &ClientModel::madeword},
            {wire::cmd::timeup, &ClientModel::timeup},
            {wire::cmd::gamestats, &ClientModel::gamestats},
            {wire::cmd::selectletter, &ClientModel::selectletter},
            {wire::cmd::selectclear, &ClientModel::selectclear},
            {wire::cmd::moving, &ClientModel::moving},
            {wire::cmd::clearletter, &ClientModel::clearletter},
            {wire::cmd::useshuffle, &ClientModel::useshuffle},
            {wire::cmd::shufflesl, &ClientModel::shufflesl},
            {wire::cmd::bonus, &ClientModel::bonus},
            {wire::cmd::playasound, &ClientModel::playasound},
            {wire::cmd::seatkey, &ClientModel::seatkey},
    };
    for (const Entry &e : table) {
        if (command == e.name) {
            (this->*e.handler)(data);
            return;
        }
    }
}

// ---- Mirror helpers --------------------------------------------------------

void ClientModel::withdrawArrows()
{
    m_arrowsFor = 0;
    emit arrowsChanged();
}

// ---- Connection and roster -------------------------------------------------

void ClientModel::sendloginfo(const QByteArray &data)
{
    m_myslot = msg::readSendlogininfo(data);
    m_loggedin = true;
    m_chat.setSlot(m_myslot);
    const QByteArray version = m_version ? m_version() : QByteArray(wire::ProtocolVersion);
    if (!m_seatKey.isEmpty())
        send(msg::seatkey(m_myslot, m_seatKey));
    send(msg::logininfo(m_myslot, version, m_loginName));
}

void ClientModel::seatkey(const QByteArray &data)
{
    const msg::SeatKey given = msg::readSeatkey(data);
    // Kept as it came, but only what a key can be: it goes back in a
    // message of its own.
    if (given.slot == m_myslot && given.key.size() <= 64
            && std::all_of(given.key.cbegin(), given.key.cend(), [](char c) { return std::isxdigit(uchar(c)); }))
        m_seatKey = given.key;
}

void ClientModel::playerdisconnected(const QByteArray &data)
{
    // The host says goodbye to a removed user, and everybody hears the
    // hosting user (slot 1) leave when the host closes.
    const int slot = wire::parseInt(msg::readSlotAndRest(data).slot).value_or(-1);
    if (slot >= 1 && (slot == m_myslot || slot == 1))
        m_endedByHost = true;
    m_roster.left(data);
}

void ClientModel::newplayerinfo(const QByteArray &data)
{
    m_roster.joined(data, m_myslot);
    emit soundRequested(Sound::Entered);
}

void ClientModel::havewrongversion(const QByteArray &data)
{
    emit systemLine("0+" + data + " has a different version of the game then you.");
}

void ClientModel::wrongversion(const QByteArray &)
{
    emit systemLine("0+You have a differnt version of the game then the host.");
}

void ClientModel::full(const QByteArray &)
{
    emit gameFull();
}

// ---- The course of a game --------------------------------------------------

void ClientModel::startthegame(const QByteArray &data)
{
    m_gameRunning = true;
    const msg::StartGame g = msg::readStartgame(data);
    const QByteArray &name = g.starter, &playto = g.playto, &team = g.team;
    const auto turntime = wire::parseInt(g.turntime);
    if (!turntime)
        throw wire::ConversionError(g.turntime);
    m_timePerTurn = *turntime;
    const int shuffles = wire::parseInt(g.shuffles).value_or(0);

    withdrawArrows();
    m_teamGame = team == "t";
    for (int s = 1; s <= Seats; ++s) {
        Seat &seat = m_roster.seat(s);
        seat.total = seat.bestPoints = 0;
        seat.bestWord.clear();
    }
    if (isSeat(m_myslot) && m_roster.seat(m_myslot).name.toLatin1() == name)
        emit systemLine("0+You have started a game.");
    else
        emit systemLine("0+" + name + " has started a game.");
    for (int s = 1; s <= Seats; ++s)
        m_roster.seat(s).watching = false;
    emit gameStarted(playto, m_timePerTurn, team == "t", shuffles);
    if (m_roster.seat(2).name == Waiting) {
        m_roster.seat(2).name = QString::fromLatin1(rules::KlotName);
        emit systemLine("0+I am Klot the bot. Good Luck!");
    }
    for (int s = 1; s <= Seats; ++s)
        emit seatChanged(s);
    emit playersSeated();
}

void ClientModel::theboard(const QByteArray &data)
{
    forgetSentPicks();
    m_mirror.beginBoard();
    msg::readTheboard(data, [this](int x, int y, int letter) { m_mirror.setLetter(x, y, letter); });
    m_mirror.endBoard();
}

void ClientModel::getnextplayer(const QByteArray &data)
{
    withdrawArrows();
    const msg::NextPlayer next = msg::readNextplayer(data);
    m_currentplayer = next.seat;
    forgetSentPicks();
    // A seat nobody holds plays only as Klot (seat 4 beside a team mate in
    // seat 3, say): it shows as Klot, not as an empty seat.
    if (isSeat(next.seat) && m_roster.seat(next.seat).name == Waiting) {
        m_roster.seat(next.seat).name = QString::fromLatin1(rules::KlotName);
        emit seatChanged(next.seat);
    }
    m_mirror.newTurn();
    emit turnGiven(m_currentplayer, next.shuffles);
    m_countdown.start(m_timePerTurn);
}

void ClientModel::gamestats(const QByteArray &data)
{
    GameStats s;
    msg::StatsSteps steps;
    steps.current = [this](int seat) {
        m_currentplayer = seat;
        m_mirror.clearStrip();
    };
    steps.timePerTurn = [this](int seconds) { m_timePerTurn = seconds; };
    steps.timeLeft = [this, &s](int seconds) {
        s.timeleft = seconds;
        m_countdown.stop(seconds);
    };
    const msg::Stats read = msg::readGamestats(data, steps);
    s.playto = read.playto;
    s.timePerTurn = m_timePerTurn;
    s.team = read.team == "t";
    m_teamGame = s.team;
    for (int seat = 1; seat <= Seats; ++seat) {
        s.scores[size_t(seat)] = read.scores[size_t(seat - 1)];
        m_roster.seat(seat).total = wire::parseInt(s.scores[size_t(seat)]).value_or(0);
    }
    s.teamA = read.teamA;
    s.teamB = read.teamB;
    // The host's turn time holds four seconds of slack beyond what every
    // window shows (as with a shuffle); between turns nothing counts down.
    if (m_currentplayer == 0)
        m_countdown.stop();
    else if (s.timeleft > TurnSlackSeconds)
        m_countdown.start(s.timeleft - TurnSlackSeconds);
    else
        m_countdown.stop();
    emit statsReceived(s);
}

void ClientModel::shufflesl(const QByteArray &data)
{
    msg::readShufflesl(data, [this](int seat, int left) { emit shufflesChanged(seat, left); });
}

void ClientModel::useshuffle(const QByteArray &data)
{
    const msg::UseShuffle used = msg::readUseshuffle(data);
    emit shufflesChanged(used.seat, used.shuffles);
    if (used.timeleft)
        m_countdown.start(qMax(*used.timeleft, 0) - TurnSlackSeconds);
    emit soundRequested(Sound::Shuffle);
}

void ClientModel::bonus(const QByteArray &data)
{
    msg::readSeat(data);
    emit sevenLetterBonus();
}

void ClientModel::timeup(const QByteArray &)
{
    m_currentplayer = 0;
    emit timeIsUp();
    emit soundRequested(Sound::RoundOver);
    withdrawArrows();
}

void ClientModel::winner(const QByteArray &data)
{
    m_gameRunning = false;
    withdrawArrows();
    m_currentplayer = 0;
    // The game is over: no turn runs down any more.
    m_countdown.stop();
    m_mirror.clearStrip();
    const QByteArray name = msg::readWinner(data);
    const bool seated = isSeat(m_myslot);
    const QByteArray own = seated ? m_roster.seat(m_myslot).name.toLatin1() : QByteArray();
    const bool mine = seated && own == name;
    const QString text = mine ? QStringLiteral("You have won the game!")
                              : QString::fromLatin1(name) + QStringLiteral(" has won the game!");
    emit winnerDeclared(text, seated);
    emit soundRequested(Sound::GameOver);
    emit systemLine("0+" + text.toLatin1());
    if (seated) {
        if (mine)
            emit tallyGame(QStringLiteral("addtomine"));
        else if (name != "Team A" && name != "Team B")
            emit tallyGame(QString::fromLatin1(name));
    }
}

// ---- Words on the board ----------------------------------------------------

void ClientModel::selectletter(const QByteArray &data)
{
    if (msg::readSeat(data) == m_myslot)
        return;
    const msg::Pick pick = msg::readSelectletter(data);
    if (m_mirror.otherPick(pick.index, pick.cell))
        emit soundRequested(Sound::Place);
}

void ClientModel::selectclear(const QByteArray &data)
{
    if (msg::readSeat(data) == m_myslot)
        return;
    m_mirror.dropMarks();
    emit soundRequested(Sound::Clear);
}

void ClientModel::clearletter(const QByteArray &data)
{
    if (msg::readSeat(data) == m_myslot)
        return;
    m_mirror.otherTakeBack(msg::readClearletter(data).index);
}

void ClientModel::notvalid(const QByteArray &data)
{
    const msg::NotValid refused = msg::readNotvalid(data);
    if (refused.seat != m_myslot)
        return;
    emit wordRefused(refused.word);
    m_mirror.dropMarks();
    emit soundRequested(Sound::BadWord);
}

void ClientModel::madeword(const QByteArray &data)
{
    m_currentplayer = 0;
    forgetSentPicks();
    m_countdown.stop(m_countdown.left());

    const msg::MadeWord m = msg::readMadeword(data);
    WordMade made{m.seat, m.word, m.score, m.total, m.teamA, m.teamB, {}};
    for (const QPoint &c : m.cells)
        made.tiles.emplace_back(c, m_mirror.letterAt(c));
    if (isSeat(made.seat)) {
        Seat &s = m_roster.seat(made.seat);
        s.total = wire::parseInt(made.total).value_or(0);
        const int points = wire::parseInt(made.points).value_or(0);
        if (points > s.bestPoints) {
            s.bestPoints = points;
            s.bestWord = made.word;
        }
    }
    emit wordMade(made);

    std::vector<QPoint> cells;
    for (const auto &tile : made.tiles)
        cells.push_back(tile.first);
    m_mirror.takeWord(cells);
    if (made.seat == m_myslot) {
        emit soundRequested(Sound::GoodWord);
        emit tallyWordMade(made.word, wire::parseInt(made.points).value_or(0));
        m_arrowsFor = made.seat;
        emit arrowsChanged();
    } else {
        emit soundRequested(Sound::RoundOver);
    }
}

void ClientModel::moving(const QByteArray &data)
{
    withdrawArrows();
    m_mirror.shift(msg::readMoving(data));
    emit soundRequested(Sound::Shift);
    emit moved(m_mirror.lastdirection());
}

// ---- The local user's operations -------------------------------------------

ClientModel::PickResult ClientModel::pick(QPoint cell)
{
    if (!myTurn())
        return PickResult::NotYourTurn;
    if (!m_mirror.canPick(cell)) {
        emit soundRequested(Sound::BadWord);
        return PickResult::Invalid;
    }
    m_mirror.pick(cell);
    syncPicks();
    emit soundRequested(Sound::Place);
    return PickResult::Placed;
}

bool ClientModel::takeBack(int k)
{
    if (!myTurn() || !m_mirror.takeBack(k))
        return false;
    syncPicks();
    return true;
}

void ClientModel::clearPicks()
{
    if (!myTurn())
        return;
    m_mirror.dropMarks();
    m_clearAsked = true;
    syncPicks();
}

void ClientModel::syncPicks()
{
    if (m_pickSync.isActive())
        return; // the waiting send takes the path as it is then
    const qint64 wait = m_pickReadyAt - m_pickClock.elapsed();
    if (wait > 0)
        m_pickSync.start(int(wait));
    else
        sendPicks();
}

void ClientModel::sendPicks()
{
    m_pickSync.stop();
    if (!myTurn()) {
        m_sentPath.clear();
        return;
    }
    const ClientBoard &b = board();
    const std::vector<QPoint> now(b.path.begin() + 1, b.path.begin() + 1 + b.pathcount);
    size_t common = 0;
    while (common < now.size() && common < m_sentPath.size() && now[common] == m_sentPath[common])
        ++common;
    // The others' strips drop taken-back picks one at a time from the end,
    // or all at once; whichever says it in fewer messages.
    int sent = 0;
    const size_t dropped = m_sentPath.size() - common;
    const bool cleared = std::exchange(m_clearAsked, false);
    if (common == 0 && dropped > 0 && (cleared || dropped > 1)) {
        send(msg::selectclear(m_myslot));
        ++sent;
    } else {
        for (size_t k = m_sentPath.size(); k > common; --k, ++sent)
            send(msg::clearletter(m_myslot, int(k)));
    }
    for (size_t k = common; k < now.size(); ++k, ++sent)
        send(msg::selectletter(m_myslot, int(k + 1), now[k]));
    m_sentPath = now;
    m_pickReadyAt = m_pickClock.elapsed() + qint64(sent) * PickSpacingMs;
}

void ClientModel::forgetSentPicks()
{
    m_pickSync.stop();
    m_sentPath.clear();
    m_clearAsked = false;
}

bool ClientModel::submit()
{
    const ClientBoard &b = board();
    if (!myTurn() || b.pathcount <= 0)
        return false;
    // The others see the path that is played before the word.
    if (m_pickSync.isActive())
        sendPicks();
    send(msg::playerdone(m_myslot, QList<QPoint>(b.path.begin() + 1, b.path.begin() + 1 + b.pathcount)));
    clearPicks();
    return true;
}

void ClientModel::chooseDirection(int d)
{
    if (m_loggedin && m_myslot != 0 && m_arrowsFor == m_myslot && d >= 1 && d <= 4)
        send(msg::direction(m_myslot, d));
    withdrawArrows();
}

void ClientModel::useShuffle()
{
    send(msg::shuffle(m_myslot));
}

void ClientModel::toggleJustWatch()
{
    if (!m_loggedin || !isSeat(m_myslot))
        return;
    send(msg::justwatch(m_myslot, !watchingSelf()));
}

void ClientModel::setJustWatch(int seat, bool watching)
{
    if (m_loggedin && isSeat(seat))
        send(msg::justwatch(seat, watching));
}

void ClientModel::kick(int slot)
{
    if (m_ishost && m_loggedin)
        send(msg::kickhim(m_myslot, slot));
}

QByteArray ClientModel::startMessage(const QByteArray &starter, const game::GameOptions &o)
{
    return msg::startgame(starter, o.playto, o.turntime, o.team, o.shuffles);
}

void ClientModel::startGame(const game::GameOptions &options)
{
    send(startMessage(m_loginName, options));
}
