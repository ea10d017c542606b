#include "clientboard.h"

int ClientBoard::squareAt(int x, int y)
{
    switch (rules::squareAt(x, y)) {
    case rules::Square::Bonus:
        return rules::tile::BonusSquare;
    case rules::Square::DoubleLetter:
        return rules::tile::DoubleLetter;
    case rules::Square::TripleLetter:
        return rules::tile::TripleLetter;
    case rules::Square::DoubleWord:
        return rules::tile::DoubleWord;
    case rules::Square::TripleWord:
        return rules::tile::TripleWord;
    case rules::Square::Plain:
        break;
    }
    return rules::tile::Plain;
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
