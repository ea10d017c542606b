#include "rules.h"

#include <algorithm>
#include <cstdlib>

namespace rules {

int letterForDraw(int r)
{
    // Upper ends of the ranges of r, with the letter each range draws.
    // clang-format off
    static constexpr struct {
        int upTo;
        int code;
    } table[] = {{9, 1},   {21, 5},  {30, 9},  {38, 15}, {41, 21}, {46, 4},  {49, 7},  {51, 8},  {55, 12},
                 {57, 13}, {63, 14}, {65, 16}, {71, 18}, {75, 19}, {81, 20}, {83, 25}, {85, 2},  {87, 3},
                 {89, 6},  {90, 10}, {91, 11}, {93, 23}, {94, 17}, {96, 22}, {97, 24}, {98, 26}};
    // clang-format on
    for (const auto &e : table) {
        if (r <= e.upTo)
            return e.code;
    }
    return 26;
}

int drawLetter(QRandomGenerator &rng)
{
    return letterForDraw(int(rng.bounded(1, 99)));
}

char convertoletter(int code)
{
    if (code >= 1 && code <= 26)
        return char('a' + code - 1);
    if (code >= 27 && code <= 29)
        return '*';
    return 't';
}

int letterworth(int code)
{
    // clang-format off
    switch (convertoletter(code)) {
    case 'b': case 'c': case 'g': case 'h': case 'm': case 'p': case 'y':
        return 3;
    case 'f': case 'j': case 'k': case 'w':
        return 5;
    case 'v':
        return 7;
    case 'q': case 'x': case 'z':
        return 10;
    default:
        return 1;
    }
    // clang-format on
}

Square squareAt(int x, int y)
{
    if (!onBoard(x, y))
        return Square::Plain;
    // Symmetric in both axes: fold onto the top-left quarter.
    const int fx = x > 3 ? 6 - x : x;
    const int fy = y > 3 ? 6 - y : y;
    if (fx == 3 && fy == 3)
        return Square::Bonus;
    if (fx == 0 && fy == 0)
        return Square::DoubleLetter;
    if (fx == 2 && fy == 2)
        return Square::TripleLetter;
    if (fx == 1 && fy == 1)
        return Square::DoubleWord;
    if ((fx == 3 && fy == 0) || (fx == 0 && fy == 3))
        return Square::TripleWord;
    return Square::Plain;
}

int anybonus(int x, int y, int value)
{
    switch (squareAt(x, y)) {
    case Square::Bonus:
        return BonusSquarePoints;
    case Square::DoubleLetter:
        return value;
    case Square::TripleLetter:
        return 2 * value;
    case Square::DoubleWord:
        return DoubleWordMarker;
    case Square::TripleWord:
        return TripleWordMarker;
    case Square::Plain:
        break;
    }
    return 0;
}

bool touches(QPoint a, QPoint b)
{
    const int dx = std::abs(a.x() - b.x());
    const int dy = std::abs(a.y() - b.y());
    return dx <= 1 && dy <= 1 && (dx | dy) != 0;
}

int scoreWord(const Board &board, const Path &tiles)
{
    int score = 0;
    int doubles = 0;
    int triples = 0;
    for (const QPoint &t : tiles) {
        const int value = letterworth(board[t.x()][t.y()]);
        int bonus = anybonus(t.x(), t.y(), value);
        if (bonus == TripleWordMarker) {
            ++triples;
            bonus = 0;
        } else if (bonus == DoubleWordMarker) {
            ++doubles;
            bonus = 0;
        }
        score += value + bonus;
    }
    for (int i = 0; i < doubles; ++i)
        score *= 2;
    for (int i = 0; i < triples; ++i)
        score *= 3;
    if (tiles.size() == 7)
        score += SevenLetterBonus;
    return score;
}

Board slideSources(const Board &before, int direction, int gap)
{
    // The shift itself, run on the tiles' own positions.
    Board ids{};
    for (int x = 0; x < Size; ++x)
        for (int y = 0; y < Size; ++y)
            ids[x][y] = before[x][y] == gap ? -1 : x * Size + y;
    shift(ids, direction, -1);
    return ids;
}

void shift(Board &b, int direction, int gap)
{
    switch (direction) {
    case 2: // left
        for (int x = 0; x <= 5; ++x) {
            for (int y = 0; y < Size; ++y) {
                if (b[x][y] != gap)
                    continue;
                int k = x + 1;
                while (k < 6 && b[k][y] == gap)
                    ++k;
                b[x][y] = b[k][y];
                b[k][y] = gap;
            }
        }
        break;
    case 3: // up
        for (int x = 0; x < Size; ++x) {
            for (int y = 0; y <= 5; ++y) {
                if (b[x][y] != gap)
                    continue;
                int k = y + 1;
                while (k < 6 && b[x][k] == gap)
                    ++k;
                b[x][y] = b[x][k];
                b[x][k] = gap;
            }
        }
        break;
    case 4: // right
        for (int x = 6; x >= 1; --x) {
            for (int y = 0; y < Size; ++y) {
                if (b[x][y] != gap)
                    continue;
                int k = x - 1;
                while (k > 0 && b[k][y] == gap)
                    --k;
                b[x][y] = b[k][y];
                b[k][y] = gap;
            }
        }
        break;
    default: // down
        for (int x = 0; x < Size; ++x) {
            for (int y = 6; y >= 1; --y) {
                if (b[x][y] != gap)
                    continue;
                int k = y - 1;
                while (k > 0 && b[x][k] == gap)
                    --k;
                b[x][y] = b[x][k];
                b[x][k] = gap;
            }
        }
        break;
    }
}

bool playsSeat(int seat, const Seating &s)
{
    if (seat < 1 || seat > Seats)
        return false;
    return s.active[seat] || seat == 2 || (s.teamgame && seat == 4 && s.active[3])
            || (s.teamgame && seat == 3 && s.active[4]);
}

int nextSeat(int seat, const Seating &s)
{
    // Seat 2 always plays, so this ends within four steps.
    do {
        seat = seat >= Seats ? 1 : seat + 1;
    } while (!playsSeat(seat, s));
    return seat;
}

std::optional<QByteArray> winner(const Standing &s)
{
    if (s.teamgame) {
        if (s.teamscore[0] < s.playto && s.teamscore[1] < s.playto)
            return std::nullopt;
        if (s.teamscore[0] == s.teamscore[1])
            return std::nullopt;
        return QByteArray(s.teamscore[0] > s.teamscore[1] ? "Team A" : "Team B");
    }
    bool reached = false;
    int best = 1;
    for (int seat = 1; seat <= Seats; ++seat) {
        reached = reached || s.score[seat] >= s.playto;
        if (s.score[seat] > s.score[best])
            best = seat;
    }
    if (!reached)
        return std::nullopt;
    for (int seat = 1; seat <= Seats; ++seat) {
        if (seat != best && s.score[seat] == s.score[best])
            return std::nullopt;
    }
    if (s.name[best].isEmpty() && best == 2)
        return QByteArray(KlotName);
    return s.name[best];
}

std::optional<QPoint> checkpoint(const Board &board, char letter, QPoint from)
{
    const int x = from.x();
    const int y = from.y();
    // Fixed order; the lower bounds are 1, not 0.
    // clang-format off
    const QPoint candidates[] = {{x, y + 1},     {x, y - 1},     {x - 1, y},     {x - 1, y + 1},
                                 {x - 1, y - 1}, {x + 1, y},     {x + 1, y + 1}, {x + 1, y - 1}};
    // clang-format on
    for (const QPoint &c : candidates) {
        if (c.x() < 1 || c.x() > 6 || c.y() < 1 || c.y() > 6)
            continue;
        if (convertoletter(board[c.x()][c.y()]) == letter)
            return c;
    }
    return std::nullopt;
}

std::optional<Path> getpoint(const Board &board, const QByteArray &word, int x, int y)
{
    Path path{QPoint(x, y)};
    for (qsizetype k = 1; k < word.size(); ++k) {
        const auto next = checkpoint(board, word[k], path.back());
        if (!next)
            return std::nullopt;
        for (const QPoint &p : path) {
            if (p == *next)
                return std::nullopt;
        }
        path.push_back(*next);
    }
    return path;
}

std::optional<Path> checkforthere(const Board &board, const QByteArray &word)
{
    if (word.isEmpty())
        return std::nullopt;
    for (int x = 0; x < Size; ++x) {
        for (int y = 0; y < Size; ++y) {
            if (convertoletter(board[x][y]) != word[0])
                continue;
            if (auto path = getpoint(board, word, x, y))
                return path;
        }
    }
    return std::nullopt;
}

KlotSearch::KlotSearch(const Board &board) : m_board(board)
{
    std::array<qint8, 49> letter{};
    for (int sq = 0; sq < 49; ++sq) {
        const char c = convertoletter(board[sq / Size][sq % Size]);
        letter[sq] = (c >= 'a' && c <= 'z') ? qint8(c - 'a') : qint8(-1);
        if (letter[sq] >= 0) {
            m_present |= 1u << letter[sq];
            m_squares[letter[sq]][m_count[letter[sq]]++] = qint8(sq);
        }
    }
    // The neighbours in checkpoint's order, entered last to first so that
    // the first one holding a letter is the one kept.
    static constexpr int dx[] = {0, 0, -1, -1, -1, 1, 1, 1};
    static constexpr int dy[] = {1, -1, 0, 1, -1, 0, 1, -1};
    for (auto &row : m_next)
        row.fill(-1);
    for (int sq = 0; sq < 49; ++sq) {
        const int x = sq / Size;
        const int y = sq % Size;
        for (int k = 7; k >= 0; --k) {
            const int nx = x + dx[k];
            const int ny = y + dy[k];
            if (nx < 1 || nx > 6 || ny < 1 || ny > 6)
                continue;
            const int l = letter[nx * Size + ny];
            if (l >= 0)
                m_next[sq][l] = qint8(nx * Size + ny);
        }
    }
}

namespace {

bool sortedHas(const std::vector<QByteArray> &sorted, QByteArrayView word)
{
    const QByteArray lower = word.toByteArray().toLower();
    return std::binary_search(sorted.begin(), sorted.end(), lower);
}

} // namespace

bool KlotWords::isNever(QByteArrayView word) const
{
    return sortedHas(m_never, word);
}

bool KlotWords::isCommon(QByteArrayView word) const
{
    return sortedHas(m_common, word);
}

KlotWords::KlotWords(const QByteArrayList &list, const QByteArrayList &never)
{
    for (const QByteArray &text : never)
        m_never.push_back(text.toLower());
    std::sort(m_never.begin(), m_never.end());
    words.reserve(size_t(list.size()));
    for (const QByteArray &text : list) {
        if (isNever(text))
            continue;
        m_common.push_back(text.toLower());
        Word w;
        w.text = text;
        if (text.size() >= 1 && text.size() <= 7) {
            w.len = qint8(text.size());
            for (qsizetype k = 0; k < text.size(); ++k) {
                const char c = text[k];
                if (c < 'a' || c > 'z') {
                    w.needs = 0;
                    break;
                }
                w.letters[size_t(k)] = qint8(c - 'a');
                w.needs |= 1u << (c - 'a');
            }
        }
        words.push_back(w);
    }
    std::sort(m_common.begin(), m_common.end());
}

std::optional<Path> KlotSearch::trace(const QByteArray &word) const
{
    const KlotWords::Word w = KlotWords({word}).words.front();
    return trace(w);
}

std::optional<Path> KlotSearch::trace(const KlotWords::Word &word) const
{
    if (word.needs == 0)
        return checkforthere(m_board, word.text); // not a plain short word: no tables
    // A word needing a letter the board lacks cannot be traced.
    if (word.needs & ~m_present)
        return std::nullopt;
    const int n = word.len;
    qint8 path[7];
    const int first = word.letters[0];
    for (int s = 0; s < m_count[first]; ++s) {
        path[0] = m_squares[first][s];
        int k = 1;
        for (; k < n; ++k) {
            const qint8 next = m_next[path[k - 1]][word.letters[size_t(k)]];
            if (next < 0)
                break;
            int j = 0;
            while (j < k && path[j] != next)
                ++j;
            if (j < k)
                break;
            path[k] = next;
        }
        if (k == n) {
            Path out;
            for (int j = 0; j < n; ++j)
                out.emplace_back(path[j] / Size, path[j] % Size);
            return out;
        }
    }
    return std::nullopt;
}

std::optional<KlotMove> klotChoose(const Board &board, const KlotWords &list, int start)
{
    const auto &words = list.words;
    const int n = int(words.size());
    if (n < 2)
        return std::nullopt;
    const KlotSearch search(board);
    int i = start;
    for (int tries = 0; tries < n - 1; ++tries) {
        if (++i > n - 1)
            i = 1;
        const KlotWords::Word &w = words[size_t(i)];
        if (w.text.size() < 4 || w.text.size() > 7)
            continue;
        if (auto path = search.trace(w))
            return KlotMove{w.text, *path, i};
    }
    return std::nullopt;
}

} // namespace rules
