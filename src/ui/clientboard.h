#pragma once
// The client's mirror of the board: square kinds, tiles, pick marks and the
// path of picks. Plain data, changed only by host messages and local picks.

#include <QPoint>
#include <array>

struct ClientBoard {
    static constexpr int Size = 7;
    static constexpr int MaxPath = 7;
    // Square picture codes.
    static constexpr int TripleLetter = 27, Plain = 30, BonusSquare = 31, DoubleLetter = 32,
                         DoubleWord = 33, TripleWord = 34, EmptySlot = 35;

    using Grid = std::array<std::array<int, Size>, Size>;

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

    // Slides the tiles of `letters` toward one side (1 down, 2 left, 3 up,
    // 4 right, anything else down); empty cells (0) gather at the other end.
    static void compact(Grid &letters, int direction);

    // The fixed layout of bonus squares, the same in every game.
    static int squareAt(int x, int y);
};
