#include "solver.h"

#include <algorithm>
#include <unordered_map>

namespace game {

namespace {

struct Search {
    const rules::Board &board;
    const WordRecords &list;
    // Best path of each word met, by the word's record.
    std::unordered_map<qsizetype, FoundWord> found;
    rules::Path path;

    // The records from lo to hi share the path's letters so far (depth k);
    // the tile at `at` extends them by one more.
    void extend(QPoint at, quint64 used, int k, qsizetype lo, qsizetype hi)
    {
        const int code = board[size_t(at.x())][size_t(at.y())];
        const char letter = char('A' + code - 1);
        // The letter at depth k is sorted within the range: narrow it to
        // the records whose next letter is this one.
        lo = firstAbove(lo, hi, k, char(letter - 1));
        hi = firstAbove(lo, hi, k, letter);
        if (lo >= hi)
            return;
        path.push_back(at);
        used |= quint64(1) << (at.x() * rules::Size + at.y());
        // A record that ends here is the word itself (a space sorts first).
        if (list.at(lo, k + 1) == ' ') {
            const int score = rules::scoreWord(board, path);
            FoundWord &f = found[lo];
            if (f.path.empty() || score > f.score)
                f = FoundWord{QByteArray(), path, score};
        }
        if (int(path.size()) < 7) {
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    const QPoint next(at.x() + dx, at.y() + dy);
                    if ((dx || dy) && usable(next) && !(used >> (next.x() * rules::Size + next.y()) & 1))
                        extend(next, used, k + 1, lo, hi);
                }
            }
        }
        path.pop_back();
    }

    bool usable(QPoint p) const
    {
        if (!rules::onBoard(p.x(), p.y()))
            return false;
        const int code = board[size_t(p.x())][size_t(p.y())];
        return code >= 1 && code <= 26;
    }

    // The first record from lo to hi whose letter at depth k is above
    // `below` (the letters at depth k ascend within the range).
    qsizetype firstAbove(qsizetype lo, qsizetype hi, int k, char below) const
    {
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (list.at(mid, k) > below)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }
};

} // namespace

std::vector<FoundWord> solveBoard(const rules::Board &board, const WordRecords &list)
{
    Search search{board, list, {}, {}};
    search.path.reserve(7);
    for (int x = 0; x < rules::Size; ++x) {
        for (int y = 0; y < rules::Size; ++y) {
            if (search.usable(QPoint(x, y)))
                search.extend(QPoint(x, y), 0, 0, 0, list.count());
        }
    }
    std::vector<FoundWord> words;
    words.reserve(search.found.size());
    for (auto &[record, f] : search.found) {
        for (qsizetype k = 0; k < qsizetype(f.path.size()); ++k)
            f.word += list.at(record, int(k));
        words.push_back(std::move(f));
    }
    std::sort(words.begin(), words.end(), [](const FoundWord &a, const FoundWord &b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.word.size() != b.word.size())
            return a.word.size() > b.word.size();
        return a.word < b.word;
    });
    return words;
}

QByteArray bestWordLine(const FoundWord &best, const QByteArray &mine, int minePoints)
{
    // A word that ties the best is the best: nothing was missed.
    if (!mine.isEmpty() && minePoints >= best.score)
        return "Best here: yours, " + mine + " for " + QByteArray::number(minePoints);
    const QByteArray you = mine.isEmpty() ? QByteArray("no word") : mine + " for " + QByteArray::number(minePoints);
    return "Best here: " + best.word + " for " + QByteArray::number(best.score) + " (you: " + you + ")";
}

} // namespace game
