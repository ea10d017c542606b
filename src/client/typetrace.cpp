#include "typetrace.h"

#include <algorithm>

namespace {
struct Search {
    const rules::Board &letters;
    const QByteArray &typed;
    int limit;
    std::vector<TracePath> found;
    TracePath path;
    std::array<std::array<bool, rules::Size>, rules::Size> used{};

    bool fits(int x, int y, int k) const
    {
        return rules::onBoard(x, y) && !used[size_t(x)][size_t(y)]
                && letters[size_t(x)][size_t(y)] == typed[k] - 'A' + 1;
    }
    // Cells are tried row by row, left to right, so paths come out in
    // reading order.
    void extend(int k)
    {
        if (int(found.size()) >= limit)
            return;
        if (k == typed.size()) {
            found.push_back(path);
            return;
        }
        const QPoint last = path.back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((dx | dy) != 0 && fits(last.x() + dx, last.y() + dy, k))
                    step(last.x() + dx, last.y() + dy, k);
    }
    void step(int x, int y, int k)
    {
        used[size_t(x)][size_t(y)] = true;
        path.push_back(QPoint(x, y));
        extend(k + 1);
        path.pop_back();
        used[size_t(x)][size_t(y)] = false;
    }
};
} // namespace

std::vector<TracePath> tracePaths(const rules::Board &letters, const QByteArray &typed, int limit)
{
    Search s{letters, typed, limit, {}, {}, {}};
    if (typed.isEmpty() || typed.size() > 7)
        return {};
    for (char c : typed)
        if (c < 'A' || c > 'Z')
            return {};
    for (int y = 0; y < rules::Size; ++y)
        for (int x = 0; x < rules::Size; ++x)
            if (s.fits(x, y, 0))
                s.step(x, y, 0);
    // The word is worth most on its best path: that one first, and Tab steps
    // on towards the worst.
    std::vector<std::pair<int, TracePath>> scored;
    scored.reserve(s.found.size());
    for (TracePath &p : s.found)
        scored.emplace_back(rules::scoreWord(letters, p), std::move(p));
    std::stable_sort(scored.begin(), scored.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<TracePath> out;
    out.reserve(scored.size());
    for (auto &[score, p] : scored)
        out.push_back(std::move(p));
    return out;
}
