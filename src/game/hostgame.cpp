#include "hostgame.h"

#include <QDateTime>

namespace game {

HostGame::HostGame(WordCheck checkWord, KlotWordSource klotWords)
    : m_checkWord(std::move(checkWord)), m_klotWords(std::move(klotWords))
{
    for (int seat = 1; seat <= Seats; ++seat)
        s.seats[size_t(seat)].team = (seat % 2 == 1) ? 1 : 2;
    m_rng.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
}

std::vector<Event> HostGame::takeEvents()
{
    std::vector<Event> out;
    out.swap(m_events);
    return out;
}

void HostGame::occupy(int seat)
{
    if (seat >= 1 && seat <= Seats)
        s.seats[size_t(seat)].active = true;
}

void HostGame::setName(int seat, const QByteArray &name)
{
    if (seat >= 1 && seat <= Seats)
        s.seats[size_t(seat)].name = name;
}

void HostGame::vacate(int seat)
{
    if (seat < 1 || seat > Seats)
        return;
    Seat &p = s.seats[size_t(seat)];
    p.active = false;
    p.name.clear();
    p.watching = false;
    // Klot finishes the leaver's turn; the hosting user's seat never empties
    // while the game goes on.
    if (s.gameon && seat == s.curplayer && seat != 1)
        startKlot();
}

void HostGame::startTurnTimer(Phase phase, int seconds)
{
    s.phase = phase;
    s.timeleft = seconds;
    m_turnTimer.running = true;
    ++m_turnTimer.starts;
}

void HostGame::stopTurnTimer()
{
    m_turnTimer.running = false;
}

void HostGame::startKlot()
{
    s.klotdelay = 5;
    m_klotTimer.running = true;
    ++m_klotTimer.starts;
    m_found.reset();
    if (strengthOf(s.curplayer) != KlotStrength::Normal && m_solveAhead)
        m_solveAhead(s.board);
}

KlotStrength HostGame::strengthOf(int seat) const
{
    if (seat >= 1 && seat <= Seats && m_seatStrength[size_t(seat)])
        return *m_seatStrength[size_t(seat)];
    return m_strength;
}

void HostGame::wordsFound(const rules::Board &board, std::vector<FoundWord> found)
{
    if (board == s.board)
        m_found = Found{board, std::move(found)};
}

bool HostGame::klotPlays(int seat) const
{
    const Seat &p = s.seats[size_t(seat)];
    return !p.active || p.watching;
}

rules::Seating HostGame::seating() const
{
    rules::Seating seating;
    seating.teamgame = s.teamgame;
    for (int seat = 1; seat <= Seats; ++seat)
        seating.active[size_t(seat)] = s.seats[size_t(seat)].active;
    return seating;
}

void HostGame::createmaze()
{
    for (auto &column : s.board)
        for (int &code : column)
            if (code == rules::Empty || code == rules::Removed)
                code = rules::drawLetter(m_rng);
    emitEvent(BoardDealt{});
}

bool HostGame::startgame(const GameOptions &o)
{
    // Far beyond what the options allow, and small enough that the turn
    // timer's arithmetic cannot overflow.
    if (o.turntime < 1 || o.turntime > 3600 || o.shuffles < 0 || o.shuffles > 99) {
        emitEvent(Diagnostic{"game options out of range; no game started"});
        return false;
    }
    stopTurnTimer();
    m_klotTimer.running = false;
    s.gameon = true;
    s.playto = o.playto;
    s.turntime = o.turntime;
    s.shufflesetting = o.shuffles;
    s.teamgame = o.team == "t";
    for (int seat = 1; seat <= Seats; ++seat) {
        Seat &p = s.seats[size_t(seat)];
        p.score = 0;
        p.watching = false;
        p.shufflesleft = s.shufflesetting;
    }
    emitEvent(GameStarted{o.starter, s.playto, s.turntime, o.team, s.shufflesetting});
    for (auto &column : s.board)
        column.fill(rules::Empty);
    s.teamscore = {0, 0};
    s.barrenTurns = 0;
    s.curplayer = 0;
    s.lastplayer = 0;
    s.direction = 1;
    createmaze();
    startnextround();
    return true;
}

void HostGame::startnextround()
{
    for (int seat = 1; seat <= Seats; ++seat)
        s.seats[size_t(seat)].tiles.fill(QPoint(-1, -1));
    createmaze();
    findplayer();
}

void HostGame::findplayer()
{
    const int next = rules::nextSeat(s.lastplayer, seating());
    s.lastplayer = 0;
    s.curplayer = next;
    Seat &p = s.seats[size_t(next)];
    p.tiles.fill(QPoint(-1, -1));
    emitEvent(TurnGiven{next, p.shufflesleft});
    if (klotPlays(next))
        startKlot();
    startTurnTimer(Phase::Turn, s.turntime + 4);
}

void HostGame::shuffle(int seat)
{
    if (seat < 1 || seat > Seats || seat != s.curplayer || s.seats[size_t(seat)].shufflesleft < 1)
        return;
    Seat &p = s.seats[size_t(seat)];
    --p.shufflesleft;
    s.timeleft += s.turntime / 2;
    emitEvent(ShuffleUsed{seat, p.shufflesleft, s.timeleft});
    for (auto &column : s.board)
        column.fill(rules::Empty);
    createmaze();
}

void HostGame::playerdone(int seat, const std::vector<PathEntry> &entries)
{
    if (seat < 1 || seat > Seats || s.curplayer == 0 || seat != s.curplayer)
        return;
    // A square off the board or an entry out of path order drops the whole
    // submission before any seat's data is touched.
    for (size_t i = 0; i < entries.size(); ++i) {
        const PathEntry &e = entries[i];
        if (e.n != int(i) + 1 || e.n > 7 || !rules::onBoard(e.x, e.y))
            return;
    }
    Seat &p = s.seats[size_t(seat)];
    p.tiles.fill(QPoint(-1, -1));
    if (entries.empty())
        return;
    QByteArray word;
    for (const PathEntry &e : entries) {
        const QPoint at(e.x, e.y);
        p.tiles[size_t(e.n - 1)] = at;
        if (e.n >= 2) {
            for (int k = 0; k < e.n - 1; ++k) {
                if (p.tiles[size_t(k)] == at) {
                    emitEvent(Diagnostic{"stopping here - twice"});
                    return;
                }
            }
            if (!rules::touches(at, p.tiles[size_t(e.n - 2)])) {
                if (klotPlays(seat))
                    computerplay();
                return;
            }
        }
        const char letter = rules::convertoletter(s.board[size_t(e.x)][size_t(e.y)]);
        word += (letter >= 'a' && letter <= 'z') ? char(letter - 'a' + 'A') : letter;
    }

    if (!m_checkWord(word)) {
        if (p.active)
            emitEvent(WordRefused{seat, word});
        return;
    }

    s.direction = int(m_rng.bounded(1, 5));
    s.lastplayer = seat;
    stopTurnTimer();
    s.curplayer = 0;

    rules::Path used;
    for (const QPoint &t : p.tiles) {
        if (t.x() != -1 && t.y() != -1)
            used.push_back(t);
    }
    const int score = rules::scoreWord(s.board, used);
    for (const QPoint &t : used)
        s.board[size_t(t.x())][size_t(t.y())] = rules::Removed;
    if (p.team == 1 || p.team == 2)
        s.teamscore[size_t(p.team - 1)] += score;
    p.score += score;

    s.barrenTurns = 0;
    emitEvent(WordMade{seat, word, score, p.score, s.teamscore, used});
    if (word.size() == 7)
        emitEvent(SevenLetters{seat, rules::SevenLetterBonus});
    if (checkforwin(seat))
        return;
    startTurnTimer(Phase::Direction, klotPlays(seat) ? 2 : rules::DirectionWaitSeconds);
}

void HostGame::direction_(int seat, int code)
{
    if (seat != s.lastplayer || seat == 0)
        return;
    s.direction = code;
    s.timeleft = 2;
}

void HostGame::justwatch(int seat, bool watching)
{
    if (seat < 1 || seat > Seats)
        return;
    Seat &p = s.seats[size_t(seat)];
    if (!watching) {
        p.watching = false;
        emitEvent(WatchChanged{seat, false});
    } else if (s.gameon) {
        p.watching = true;
        emitEvent(WatchChanged{seat, true});
        if (seat == s.curplayer)
            startKlot();
    }
}

void HostGame::Timer1Timer()
{
    if (!m_turnTimer.running)
        return;
    if (--s.timeleft >= 1)
        return;
    stopTurnTimer();
    switch (s.phase) {
    case Phase::Turn:
        endTurn();
        break;
    case Phase::Direction:
        emitEvent(Moving{s.direction});
        rules::shift(s.board, s.direction);
        startTurnTimer(Phase::Pause, 4);
        break;
    case Phase::Pause:
        startnextround();
        break;
    case Phase::Idle:
        break;
    }
}

bool HostGame::checkforwin(int seat)
{
    if (rules::nextSeat(seat, seating()) != 1)
        return false;
    rules::Standing standing;
    standing.teamgame = s.teamgame;
    standing.playto = s.playto;
    standing.teamscore = s.teamscore;
    for (int i = 1; i <= Seats; ++i) {
        standing.score[size_t(i)] = s.seats[size_t(i)].score;
        standing.name[size_t(i)] = s.seats[size_t(i)].name;
    }
    const auto name = rules::winner(standing);
    if (!name)
        return false;
    // Nobody may play on once the game is over, in team games too.
    s.curplayer = 0;
    s.gameon = false;
    stopTurnTimer();
    m_klotTimer.running = false;
    emitEvent(Winner{*name});
    return true;
}

void HostGame::computertimerTimer()
{
    if (!m_klotTimer.running)
        return;
    if (--s.klotdelay >= 1)
        return;
    m_klotTimer.running = false;
    if (!s.gameon || s.curplayer < 1 || s.curplayer > Seats)
        return;
    if (klotPlays(s.curplayer))
        computerplay();
}

// Strong and Gentle choose from every word on the board that the host's list
// takes, never one of the words Klot does not play. Strong plays the
// best-scoring. Gentle plays one of its own common words of up to four
// letters, from the lower-scoring two thirds of those the board offers, so
// that a new or young player meets an opponent clearly below Normal. Without such a
// word they play on as Normal does (and so shuffle when they can).
bool HostGame::playSolversWord(int seat)
{
    const KlotStrength strength = strengthOf(seat);
    if (strength == KlotStrength::Normal || !m_solve)
        return false;
    const std::vector<FoundWord> found =
            m_found && m_found->board == s.board ? std::move(m_found->words) : m_solve(s.board);
    m_found.reset();
    const rules::KlotWords &vocabulary = m_klotWords();
    std::vector<const FoundWord *> choice;
    for (const FoundWord &f : found) {
        if (vocabulary.isNever(f.word))
            continue;
        if (strength == KlotStrength::Gentle && (f.word.size() > 4 || !vocabulary.isCommon(f.word)))
            continue;
        if (!m_checkWord(f.word))
            continue;
        choice.push_back(&f);
        if (strength == KlotStrength::Strong)
            break;
    }
    // The words come best first: Gentle leaves the best third.
    if (strength == KlotStrength::Gentle && choice.size() > 1)
        choice.erase(choice.begin(), choice.begin() + qsizetype(choice.size() / 3));
    if (choice.empty())
        return false;
    const FoundWord &pick = *choice[m_rng.bounded(quint32(choice.size()))];
    std::vector<PathEntry> entries;
    for (size_t k = 0; k < pick.path.size(); ++k)
        entries.push_back({int(k + 1), pick.path[k].x(), pick.path[k].y()});
    playerdone(seat, entries);
    return true;
}

void HostGame::computerplay()
{
    if (s.curplayer >= 1 && playSolversWord(s.curplayer))
        return;
    const rules::KlotWords &words = m_klotWords();
    const int n = int(words.words.size());
    const int seat = s.curplayer;
    if (n < 2 || seat < 1)
        return;
    // A word the host's list refuses (a user's own list may lack Klot's
    // words) sends Klot on to its next candidate; when none is taken, Klot
    // passes at once rather than keep everybody waiting out its turn.
    constexpr int MaxCandidates = 64;
    int start = int(m_rng.bounded(0, n - 1));
    std::vector<int> tried;
    for (int tries = 0; tries < MaxCandidates; ++tries) {
        const auto move = rules::klotChoose(s.board, words, start);
        // The search goes round the list: a candidate met again means every
        // word on this board has been tried.
        if (!move || std::find(tried.begin(), tried.end(), move->index) != tried.end())
            break;
        tried.push_back(move->index);
        start = move->index;
        // Asked of the host's list first: Klot submits only a word it takes,
        // and its refused tries never reach the seat's person.
        if (!m_checkWord(move->word.toUpper()))
            continue;
        std::vector<PathEntry> entries;
        for (size_t k = 0; k < move->path.size(); ++k)
            entries.push_back({int(k + 1), move->path[k].x(), move->path[k].y()});
        playerdone(seat, entries);
        if (s.curplayer != seat || !s.gameon)
            return;
    }
    // With no word the list takes, Klot uses a Zephyr Shuffle when its seat
    // has one and looks again on the new board. Without one it waits out the
    // turn when it found nothing to trace (as ever), and passes at once when
    // the list refused what it found.
    if (s.curplayer == seat && s.seats[size_t(seat)].shufflesleft > 0) {
        shuffle(seat);
        startKlot();
        return;
    }
    if (!tried.empty() && s.curplayer == seat && s.phase == Phase::Turn && m_turnTimer.running)
        endTurn();
}

void HostGame::endTurn()
{
    stopTurnTimer();
    if (checkforwin(s.curplayer))
        return;
    s.lastplayer = s.curplayer;
    startTurnTimer(Phase::Pause, 4);
    emitEvent(TimeUp{});
    // A board on which a whole round finds no word, with no shuffle left to
    // anybody, would stay as it is for ever: the next round gets a new one.
    ++s.barrenTurns;
    const std::vector<int> round = seatsInTurn();
    const bool shufflesLeft = std::any_of(
            round.begin(), round.end(), [this](int seat) { return s.seats[size_t(seat)].shufflesleft > 0; });
    if (s.barrenTurns >= int(round.size()) && !shufflesLeft) {
        s.barrenTurns = 0;
        for (auto &column : s.board)
            column.fill(rules::Removed);
        emitEvent(BoardRenewed{});
    }
}

std::vector<int> HostGame::seatsInTurn() const
{
    const rules::Seating order = seating();
    const int first = s.curplayer >= 1 ? s.curplayer : 1;
    std::vector<int> seats{first};
    for (int seat = rules::nextSeat(first, order); seat != first && int(seats.size()) < Seats;
            seat = rules::nextSeat(seat, order))
        seats.push_back(seat);
    return seats;
}

} // namespace game
