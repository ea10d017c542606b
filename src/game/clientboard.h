#pragma once
// The client's mirror of the board: square kinds, tiles, pick marks and the
// path of picks. Plain data, changed only by host messages and local picks.

#include "rules.h"

#include <QPoint>
#include <array>

struct ClientBoard {
    static constexpr int Size = 7;
    static constexpr int MaxPath = 7;
    using Grid = rules::Board;

    Grid squares{};
    Grid letters{};
    Grid overlay{};
    std::array<QPoint, MaxPath + 1> path{}; // entries 1..7
    int pathcount = 0;
    QPoint lastcell{-1, -1};

    ClientBoard() { reset(); }
    void reset();
    // Drops the own picks: no path, no marks.
    void clearPicks();

    // The picture of a square of the fixed bonus layout.
    static int squareAt(int x, int y);
};
