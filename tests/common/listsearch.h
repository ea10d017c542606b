#pragma once
// Every word on a board found the plain way: each path's letters looked up
// in the sorted list itself, by binary search, as the solver once did. Slow
// and plainly right: the letter tree is checked against it, and timed
// against it.

#include "solver.h"

#include <unordered_map>

struct ListSearch {
    const rules::Board &board;
    const game::WordRecords &list;
    std::unordered_map<qsizetype, int> best; // each word's best score, by its record
    rules::Path path;

    void run()
    {
        for (int x = 0; x < rules::Size; ++x)
            for (int y = 0; y < rules::Size; ++y)
                extend(QPoint(x, y), 0, 0, 0, list.count());
    }
    QByteArray word(qsizetype record) const
    {
        QByteArray w;
        for (int k = 0; k < list.recordSize - 1 && list.at(record, k) != ' '; ++k)
            w += list.at(record, k);
        return w;
    }

private:
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
    void extend(QPoint at, quint64 used, int k, qsizetype lo, qsizetype hi)
    {
        const int code = board[size_t(at.x())][size_t(at.y())];
        if (code < 1 || code > 26)
            return;
        const char letter = char('A' + code - 1);
        lo = firstAbove(lo, hi, k, char(letter - 1));
        hi = firstAbove(lo, hi, k, letter);
        if (lo >= hi)
            return;
        path.push_back(at);
        used |= quint64(1) << (at.x() * rules::Size + at.y());
        if (list.at(lo, k + 1) == ' ') {
            int &score = best[lo];
            score = std::max(score, rules::scoreWord(board, path));
        }
        for (int dx = -1; path.size() < 7 && dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const QPoint next(at.x() + dx, at.y() + dy);
                if ((dx || dy) && rules::onBoard(next.x(), next.y())
                        && !(used >> (next.x() * rules::Size + next.y()) & 1))
                    extend(next, used, k + 1, lo, hi);
            }
        path.pop_back();
    }
};
