#include "solver.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace game {

WordTree::WordTree(const WordRecords &list)
{
    m_nodes.reserve(size_t(list.count()) * 2);
    m_nodes.emplace_back();
    fill(0, list, 0, list.count(), 0);
    m_nodes.shrink_to_fit();
}

// The records from lo to hi (sorted) share their first `depth` letters, the
// node's prefix; their next letters make its followers.
void WordTree::fill(quint32 at, const WordRecords &list, qsizetype lo, qsizetype hi, int depth)
{
    // A record that ends here is the prefix itself (a space sorts first).
    while (lo < hi && list.at(lo, depth) == ' ') {
        m_nodes[at].follows |= WordBit;
        ++lo;
    }
    if (depth == 7 || lo >= hi)
        return;
    struct Run {
        int letter;
        qsizetype lo, hi;
    };
    std::vector<Run> runs;
    for (qsizetype i = lo; i < hi;) {
        const char c = list.at(i, depth);
        qsizetype end = i + 1;
        while (end < hi && list.at(end, depth) == c)
            ++end;
        // Only letters are ever on the board.
        if (c >= 'A' && c <= 'Z')
            runs.push_back({c - 'A', i, end});
        i = end;
    }
    const auto first = quint32(m_nodes.size());
    m_nodes[at].first = first;
    for (const Run &r : runs)
        m_nodes[at].follows |= quint32(1) << r.letter;
    m_nodes.resize(m_nodes.size() + runs.size());
    for (size_t k = 0; k < runs.size(); ++k)
        fill(first + quint32(k), list, runs[k].lo, runs[k].hi, depth + 1);
}

namespace {

// A word met on the board: its best score so far and the path it took.
struct Hit {
    quint32 node = 0; // 0: a free slot (the root is never a word of letters)
    int score = 0;
    quint8 length = 0;
    std::array<quint8, 7> cells{};
};

struct Search {
    const std::vector<WordTree::Node> &nodes;
    // Each tile: its letter as a bit of the tree's, what it adds to a word
    // and what it multiplies the word by (so a path's score grows as it
    // goes, exactly as the host scores the whole word).
    std::array<quint32, rules::Size * rules::Size> bit{};
    std::array<int, rules::Size * rules::Size> adds{};
    std::array<int, rules::Size * rules::Size> times{};
    std::array<int, rules::Size * rules::Size> code{};
    // The words met, by node, in a table of open addressing.
    std::vector<Hit> hits = std::vector<Hit>(1024);
    size_t count = 0;
    std::array<quint8, 7> cells{};

    void note(quint32 node, int length, int score)
    {
        if (2 * (count + 1) > hits.size())
            grow();
        size_t i = (node * 2654435761u) & (hits.size() - 1);
        while (hits[i].node != 0 && hits[i].node != node)
            i = (i + 1) & (hits.size() - 1);
        Hit &h = hits[i];
        if (h.node == 0) {
            ++count;
        } else if (score <= h.score) {
            return;
        }
        h = Hit{node, score, quint8(length), cells};
    }
    void grow()
    {
        std::vector<Hit> old(hits.size() * 2);
        old.swap(hits);
        count = 0;
        for (const Hit &h : old) {
            if (h.node == 0)
                continue;
            size_t i = (h.node * 2654435761u) & (hits.size() - 1);
            while (hits[i].node != 0)
                i = (i + 1) & (hits.size() - 1);
            hits[i] = h;
            ++count;
        }
    }

    // The path so far ends on the tile before `cell`, at `node`; the tile's
    // letter follows it there.
    void extend(int cell, int length, quint64 used, quint32 node, int sum, int product)
    {
        const quint32 b = bit[size_t(cell)];
        const WordTree::Node &from = nodes[node];
        const quint32 at = from.first + ones(from.follows & (b - 1) & ~WordTree::WordBit);
        cells[size_t(length)] = quint8(cell);
        ++length;
        used |= quint64(1) << cell;
        sum += adds[size_t(cell)];
        product *= times[size_t(cell)];
        const quint32 follows = nodes[at].follows;
        if (follows & WordTree::WordBit)
            note(at, length, sum * product + (length == 7 ? rules::SevenLetterBonus : 0));
        if (length == 7)
            return;
        for (const int next : around[size_t(cell)]) {
            if (next < 0)
                break;
            if (!(used >> next & 1) && (follows & bit[size_t(next)]))
                extend(next, length, used, at, sum, product);
        }
    }

    // Bits set, without a library call on machines built for any x86-64.
    static quint32 ones(quint32 v)
    {
        v = v - ((v >> 1) & 0x55555555u);
        v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
        return (((v + (v >> 4)) & 0x0f0f0f0fu) * 0x01010101u) >> 24;
    }

    // Each tile's neighbours, ended by -1.
    static constexpr std::array<std::array<int, 9>, rules::Size *rules::Size> around = [] {
        std::array<std::array<int, 9>, rules::Size * rules::Size> a{};
        for (int x = 0; x < rules::Size; ++x)
            for (int y = 0; y < rules::Size; ++y) {
                auto &list = a[size_t(x * rules::Size + y)];
                for (int &n : list)
                    n = -1;
                size_t n = 0;
                for (int nx = std::max(0, x - 1); nx <= std::min(rules::Size - 1, x + 1); ++nx)
                    for (int ny = std::max(0, y - 1); ny <= std::min(rules::Size - 1, y + 1); ++ny)
                        if (nx != x || ny != y)
                            list[n++] = nx * rules::Size + ny;
            }
        return a;
    }();
};

} // namespace

std::vector<FoundWord> solveBoard(const rules::Board &board, const WordTree &tree)
{
    Search search{tree.nodes()};
    for (int x = 0; x < rules::Size; ++x) {
        for (int y = 0; y < rules::Size; ++y) {
            const size_t cell = size_t(x * rules::Size + y);
            const int code = board[size_t(x)][size_t(y)];
            if (code < 1 || code > 26)
                continue;
            search.bit[cell] = quint32(1) << (code - 1);
            search.code[cell] = code;
            const int value = rules::letterworth(code);
            const int bonus = rules::anybonus(x, y, value);
            search.times[cell] = bonus == rules::TripleWordMarker ? 3 : bonus == rules::DoubleWordMarker ? 2 : 1;
            search.adds[cell] = value + (search.times[cell] == 1 ? bonus : 0);
        }
    }
    const quint32 firsts = tree.nodes().front().follows;
    for (int cell = 0; cell < rules::Size * rules::Size; ++cell)
        if (firsts & search.bit[size_t(cell)])
            search.extend(cell, 0, 0, 0, 0, 1);
    // Sorted as they are (small and flat), then made into words.
    struct Met {
        const Hit *hit;
        std::array<char, 7> letters;
    };
    std::vector<Met> met;
    met.reserve(search.count);
    for (const Hit &h : search.hits) {
        if (h.node == 0)
            continue;
        Met m{&h, {}};
        for (int k = 0; k < h.length; ++k)
            m.letters[size_t(k)] = char('A' + search.code[h.cells[size_t(k)]] - 1);
        met.push_back(m);
    }
    std::sort(met.begin(), met.end(), [](const Met &a, const Met &b) {
        if (a.hit->score != b.hit->score)
            return a.hit->score > b.hit->score;
        if (a.hit->length != b.hit->length)
            return a.hit->length > b.hit->length;
        return a.letters < b.letters;
    });
    std::vector<FoundWord> words(met.size());
    for (size_t i = 0; i < met.size(); ++i) {
        const Hit &h = *met[i].hit;
        FoundWord &f = words[i];
        f.score = h.score;
        f.word = QByteArray(met[i].letters.data(), h.length);
        f.path.reserve(h.length);
        for (int k = 0; k < h.length; ++k)
            f.path.push_back(QPoint(h.cells[size_t(k)] / rules::Size, h.cells[size_t(k)] % rules::Size));
    }
    return words;
}

std::vector<FoundWord> solveBoard(const rules::Board &board, const WordRecords &list)
{
    return solveBoard(board, WordTree(list));
}

QByteArray bestWordLine(const FoundWord &best, const QByteArray &mine, int minePoints)
{
    // In the window's language; the chat takes it as Latin-1, as it does
    // every system line.
    const QString word = QString::fromLatin1(mine);
    // A word that ties the best is the best: nothing was missed.
    if (!mine.isEmpty() && minePoints >= best.score)
        return QCoreApplication::translate("BestWord", "Best here: yours, %1 for %2")
                .arg(word)
                .arg(minePoints)
                .toLatin1();
    const QString you = mine.isEmpty() ? QCoreApplication::translate("BestWord", "no word")
                                       : QCoreApplication::translate("BestWord", "%1 for %2").arg(word).arg(minePoints);
    return QCoreApplication::translate("BestWord", "Best here: %1 for %2 (you: %3)")
            .arg(QString::fromLatin1(best.word))
            .arg(best.score)
            .arg(you)
            .toLatin1();
}

} // namespace game
