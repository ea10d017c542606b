#include "clientboard.h"

#include <cstdlib>

int ClientBoard::squareAt(int x, int y)
{
    // The layout is symmetric in both axes: fold onto the top-left quarter.
    const int fx = x > 3 ? 6 - x : x;
    const int fy = y > 3 ? 6 - y : y;
    if (fx == 3 && fy == 3)
        return BonusSquare;
    if (fx == 0 && fy == 0)
        return DoubleLetter;
    if (fx == 2 && fy == 2)
        return TripleLetter;
    if (fx == 1 && fy == 1)
        return DoubleWord;
    if ((fx == 3 && fy == 0) || (fx == 0 && fy == 3))
        return TripleWord;
    return Plain;
}

void ClientBoard::reset()
{
    for (int x = 0; x < Size; ++x) {
        for (int y = 0; y < Size; ++y) {
            squares[x][y] = squareAt(x, y);
            letters[x][y] = 0;
            overlay[x][y] = -1;
        }
    }
    for (auto &p : path)
        p = QPoint(-1, -1);
    pathcount = 0;
    lastcell = QPoint(-1, -1);
}

void ClientBoard::clearPicks()
{
    for (auto &column : overlay)
        column.fill(-1);
    for (auto &p : path)
        p = QPoint(-1, -1);
    pathcount = 0;
    lastcell = QPoint(-1, -1);
}

void ClientBoard::compact(Grid &l, int direction)
{
    switch (direction) {
    case 2: // left
        for (int x = 0; x <= 5; ++x)
            for (int y = 0; y < Size; ++y)
                if (l[x][y] == 0)
                    for (int k = x + 1; k < Size; ++k)
                        if (l[k][y] != 0) {
                            l[x][y] = l[k][y];
                            l[k][y] = 0;
                            break;
                        }
        break;
    case 3: // up
        for (int x = 0; x < Size; ++x)
            for (int y = 0; y <= 5; ++y)
                if (l[x][y] == 0)
                    for (int k = y + 1; k < Size; ++k)
                        if (l[x][k] != 0) {
                            l[x][y] = l[x][k];
                            l[x][k] = 0;
                            break;
                        }
        break;
    case 4: // right
        for (int x = 6; x >= 1; --x)
            for (int y = 0; y < Size; ++y)
                if (l[x][y] == 0)
                    for (int k = x - 1; k >= 0; --k)
                        if (l[k][y] != 0) {
                            l[x][y] = l[k][y];
                            l[k][y] = 0;
                            break;
                        }
        break;
    default: // down
        for (int x = 0; x < Size; ++x)
            for (int y = 6; y >= 1; --y)
                if (l[x][y] == 0)
                    for (int k = y - 1; k >= 0; --k)
                        if (l[x][k] != 0) {
                            l[x][y] = l[x][k];
                            l[x][k] = 0;
                            break;
                        }
        break;
    }
}
