#include "clientmodel.h"
#include "logging.h"

#include "message.h"
#include "rules.h"
#include "wiremessages.h"

#include <algorithm>
#include <utility>
#include <cctype>

namespace msg = wire::msg;

ClientModel::ClientModel(QObject *parent)
    : QObject(parent), m_link([this](const QByteArray &message) { handle(message); })
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
    connect(&m_countdown, &TurnCountdown::tick, this, &ClientModel::countdownTick);
    connect(&m_countdown, &TurnCountdown::lastSeconds, this, [this] { emit soundRequested(Sound::Timer); });
    connect(&m_link, &HostLink::connectFailed, this, &ClientModel::connectFailed);
    connect(&m_link, &HostLink::hostNotFound, this, &ClientModel::hostNotFound);
    connect(&m_link, &HostLink::connectionClosed, this, &ClientModel::connectionClosed);
    m_pickSync.setSingleShot(true);
    connect(&m_pickSync, &QTimer::timeout, this, &ClientModel::sendPicks);
    m_pickClock.start();
}

void ClientModel::connectTo(const QString &address, quint16 port, const QByteArray &name, Keep keep)
{
    if (keep == Keep::Nothing)
        closeConnection();
    m_used = true;
    m_loginName = wire::safeName(name);
    m_endedByHost = false;
    if (address != m_hostAddress || port != m_hostPort)
        m_seatKey.clear();
    m_hostAddress = address;
    m_hostPort = port;
    m_link.connectTo(address, port);
}

void ClientModel::closeConnection()
{
    // A model never connected has nothing to forget (and the window still
    // shows its welcome).
    if (!std::exchange(m_used, false))
        return;
    m_link.close();
    forgetSentPicks();
    m_countdown.stop();
    m_seatKey.clear();
    m_myslot = 0;
    m_loggedin = false;
    m_currentplayer = 0;
    m_gameRunning = false;
    m_teamGame = false;
    m_timePerTurn = 0;
    m_arrowsFor = 0;
    m_endedByHost = false;
    m_chat.reset();
    m_roster.reset();
    m_mirror.reset();
    emit cleared();
    emit arrowsChanged();
    for (int seat = 1; seat <= Seats; ++seat)
        emit seatChanged(seat);
}

bool ClientModel::send(const QByteArray &message)
{
    if (!m_loggedin)
        return false;
    if (m_link.send(message))
        return true;
    qCWarning(lcConnection, "Send - Socket Not Connected");
    return false;
}

void ClientModel::handle(const QByteArray &message)
{
    const wire::Decoded<wire::FromHost> d = wire::decodeFromHost(message);
    if (!d.message)
        return;
    std::visit(
            [&](const auto &m) {
                if (!d.error || wire::takesPartial<std::decay_t<decltype(m)>>())
                    on(m);
            },
            *d.message);
    if (d.error) {
        // Shown in the chat rather than as a dialog: a stream of bad messages
        // must not pile up message boxes.
        qCWarning(lcConnection, "%s", d.error->describe().constData());
        emit systemLine(d.error->describe());
    }
}

// ---- Mirror helpers --------------------------------------------------------

void ClientModel::withdrawArrows()
{
    m_arrowsFor = 0;
    emit arrowsChanged();
}

// ---- Connection and roster -------------------------------------------------

void ClientModel::on(const wire::down::SendLogin &m)
{
    m_myslot = m.slot;
    m_loggedin = true;
    m_chat.setSlot(m_myslot);
    const QByteArray version = m_version ? m_version() : QByteArray(wire::ProtocolVersion);
    if (!m_seatKey.isEmpty())
        send(msg::seatkey(m_myslot, m_seatKey));
    send(msg::logininfo(m_myslot, version, m_loginName));
}

void ClientModel::on(const wire::SeatKey &given)
{
    // Kept as it came, but only what a key can be: it goes back in a
    // message of its own.
    if (given.slot == m_myslot && given.key.size() <= 64
            && std::all_of(given.key.cbegin(), given.key.cend(), [](char c) { return std::isxdigit(uchar(c)); }))
        m_seatKey = given.key;
}

void ClientModel::on(const wire::down::PlayerDisconnected &m)
{
    // The host says goodbye to a removed user, and everybody hears the
    // hosting user (slot 1) leave when the host closes.
    if (m.slot >= 1 && (m.slot == m_myslot || m.slot == 1))
        m_endedByHost = true;
    m_roster.left(m.slot, m.name);
}

void ClientModel::joined(const QList<wire::down::Present> &users)
{
    m_roster.joined(users, m_myslot);
    emit soundRequested(Sound::Entered);
}

void ClientModel::on(const wire::down::HaveWrongVersion &m)
{
    emit systemLine(tr("%1 has a different version of the game then you.").arg(QString::fromLatin1(m.name)).toLatin1());
}

void ClientModel::on(const wire::down::WrongVersion &)
{
    emit systemLine(tr("You have a differnt version of the game then the host.").toLatin1());
}

// ---- The course of a game --------------------------------------------------

void ClientModel::on(const wire::down::StartGame &g)
{
    m_gameRunning = true;
    const QByteArray &name = g.starter, &playto = g.playto, &team = g.team;
    m_timePerTurn = g.turntime;
    const int shuffles = g.shuffles;

    withdrawArrows();
    m_teamGame = team == "t";
    for (int s = 1; s <= Seats; ++s) {
        Seat &seat = m_roster.seat(s);
        seat.total = seat.bestPoints = 0;
        seat.bestWord.clear();
    }
    if (isSeat(m_myslot) && m_roster.seat(m_myslot).name.toLatin1() == name)
        emit systemLine(tr("You have started a game.").toLatin1());
    else
        emit systemLine(tr("%1 has started a game.").arg(QString::fromLatin1(name)).toLatin1());
    for (int s = 1; s <= Seats; ++s)
        m_roster.seat(s).watching = false;
    emit gameStarted(playto, m_timePerTurn, team == "t", shuffles);
    if (m_roster.seat(2).name == Waiting) {
        m_roster.seat(2).name = QString::fromLatin1(rules::KlotName);
        emit systemLine(tr("I am Klot the bot. Good Luck!").toLatin1());
    }
    for (int s = 1; s <= Seats; ++s)
        emit seatChanged(s);
    emit playersSeated();
}

void ClientModel::on(const wire::down::TheBoard &m)
{
    forgetSentPicks();
    m_mirror.beginBoard();
    for (const auto &[x, y, letter] : m.squares)
        m_mirror.setLetter(x, y, letter);
    m_mirror.endBoard();
}

void ClientModel::on(const wire::down::NextPlayer &next)
{
    withdrawArrows();
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

void ClientModel::on(const wire::down::GameStats &read)
{
    // The numbers count as they came, up to one that did not read.
    GameStats s;
    if (read.current) {
        m_currentplayer = *read.current;
        m_mirror.clearStrip();
    }
    if (read.timePerTurn)
        m_timePerTurn = *read.timePerTurn;
    if (read.timeLeft) {
        s.timeleft = *read.timeLeft;
        m_countdown.stop(*read.timeLeft);
    }
    if (!read.complete)
        return;
    s.playto = read.playto;
    s.timePerTurn = m_timePerTurn;
    s.team = read.team == "t";
    m_teamGame = s.team;
    for (int seat = 1; seat <= Seats; ++seat) {
        s.scores[size_t(seat)] = read.scores[size_t(seat - 1)];
        m_roster.seat(seat).total = read.totals[size_t(seat - 1)];
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

void ClientModel::on(const wire::down::ShufflesLeft &m)
{
    for (int seat = 1; seat <= m.left.size(); ++seat)
        emit shufflesChanged(seat, m.left[seat - 1]);
}

void ClientModel::on(const wire::down::UseShuffle &used)
{
    emit shufflesChanged(used.seat, used.shuffles);
    if (used.timeleft)
        m_countdown.start(qMax(*used.timeleft, 0) - TurnSlackSeconds);
    emit soundRequested(Sound::Shuffle);
}

void ClientModel::on(const wire::down::Bonus &)
{
    emit sevenLetterBonus();
}

void ClientModel::on(const wire::down::TimeUp &)
{
    m_currentplayer = 0;
    emit timeIsUp();
    emit soundRequested(Sound::RoundOver);
    withdrawArrows();
}

void ClientModel::on(const wire::down::Winner &m)
{
    m_gameRunning = false;
    withdrawArrows();
    m_currentplayer = 0;
    // The game is over: no turn runs down any more.
    m_countdown.stop();
    m_mirror.clearStrip();
    const QByteArray &name = m.name;
    const bool seated = isSeat(m_myslot);
    const QByteArray own = seated ? m_roster.seat(m_myslot).name.toLatin1() : QByteArray();
    const bool mine = seated && own == name;
    const QString text =
            mine ? tr("You have won the game!") : tr("%1 has won the game!").arg(QString::fromLatin1(name));
    emit winnerDeclared(text, seated);
    emit soundRequested(Sound::GameOver);
    emit systemLine(text.toLatin1());
    if (seated) {
        if (mine)
            emit tallyGame(QStringLiteral("addtomine"));
        else if (name != "Team A" && name != "Team B")
            emit tallyGame(QString::fromLatin1(name));
    }
}

// ---- Words on the board ----------------------------------------------------

void ClientModel::on(const wire::down::Pick &pick)
{
    if (pick.seat == m_myslot)
        return;
    if (m_mirror.otherPick(pick.index, pick.cell))
        emit soundRequested(Sound::Place);
}

void ClientModel::on(const wire::down::SelectClear &m)
{
    if (m.seat == m_myslot)
        return;
    m_mirror.dropMarks();
    emit soundRequested(Sound::Clear);
}

void ClientModel::on(const wire::down::ClearLetter &m)
{
    if (m.seat == m_myslot)
        return;
    m_mirror.otherTakeBack(m.index);
}

void ClientModel::on(const wire::down::NotValid &refused)
{
    if (refused.seat != m_myslot)
        return;
    emit wordRefused(refused.word);
    m_mirror.dropMarks();
    emit soundRequested(Sound::BadWord);
}

void ClientModel::on(const wire::down::MadeWord &m)
{
    m_currentplayer = 0;
    forgetSentPicks();
    m_countdown.stop(m_countdown.left());

    WordMade made{m.seat, m.word, m.score, m.total, m.teamA, m.teamB, {}};
    for (const QPoint &c : m.cells)
        made.tiles.emplace_back(c, m_mirror.letterAt(c));
    if (isSeat(made.seat)) {
        Seat &s = m_roster.seat(made.seat);
        s.total = m.totalPoints;
        const int points = m.points;
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
        emit tallyWordMade(made.word, m.points);
        m_arrowsFor = made.seat;
        emit arrowsChanged();
    } else {
        emit soundRequested(Sound::RoundOver);
    }
}

void ClientModel::on(const wire::down::Moving &m)
{
    withdrawArrows();
    m_mirror.shift(m.direction);
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
