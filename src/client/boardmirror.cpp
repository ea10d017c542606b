#include "boardmirror.h"

BoardMirror::BoardMirror(QObject *parent) : QObject(parent)
{
    m_board.reset();
    m_strip.fill(-1);
}

int BoardMirror::letterAt(QPoint c) const
{
    return rules::onBoard(c.x(), c.y()) ? m_board.letters[size_t(c.x())][size_t(c.y())] : 0;
}

void BoardMirror::setStrip(int k, int code)
{
    m_strip[size_t(k)] = code;
    emit stripChanged(k);
}

void BoardMirror::clearStrip()
{
    for (int k = 1; k <= StripLength; ++k)
        setStrip(k, -1);
}

void BoardMirror::setMark(QPoint cell, int mark)
{
    if (!rules::onBoard(cell.x(), cell.y()))
        return;
    m_board.overlay[size_t(cell.x())][size_t(cell.y())] = mark;
    emit cellChanged(cell.x(), cell.y());
}

// Wipes every pick mark and the strip, redrawing only the marked cells.
void BoardMirror::dropMarks()
{
    QList<QPoint> marked;
    for (int x = 0; x < ClientBoard::Size; ++x)
        for (int y = 0; y < ClientBoard::Size; ++y)
            if (m_board.overlay[size_t(x)][size_t(y)] != -1)
                marked << QPoint(x, y);
    m_board.clearPicks();
    for (const QPoint &c : marked)
        emit cellChanged(c.x(), c.y());
    clearStrip();
}

void BoardMirror::beginBoard()
{
    for (auto &column : m_board.letters)
        column.fill(0);
    m_board.clearPicks();
    clearStrip();
    emit boardChanged();
}

void BoardMirror::reset()
{
    m_lastdirection = 0;
    m_beforeShift = {};
    beginBoard();
}

void BoardMirror::setLetter(int x, int y, int code)
{
    if (rules::onBoard(x, y))
        m_board.letters[size_t(x)][size_t(y)] = code;
}

void BoardMirror::endBoard()
{
    emit boardChanged();
}

void BoardMirror::newTurn()
{
    clearStrip();
    // The marks stay until the board arrives; the picks themselves are over,
    // so a take-back never reaches for a pick that is gone.
    for (auto &p : m_board.path)
        p = QPoint(-1, -1);
    m_board.pathcount = 0;
    m_board.lastcell = QPoint(-1, -1);
}

bool BoardMirror::otherPick(int i, QPoint cell)
{
    if (i < 1 || i > StripLength || !rules::onBoard(cell.x(), cell.y()))
        return false;
    setMark(cell, rules::tile::LastPickMark);
    m_board.path[size_t(i)] = cell;
    setStrip(i, letterAt(cell));
    return true;
}

void BoardMirror::otherTakeBack(int i)
{
    if (i < 1 || i > StripLength)
        return;
    const QPoint cell = m_board.path[size_t(i)];
    if (cell.x() >= 0 && cell.y() >= 0)
        setMark(cell, -1);
    m_board.path[size_t(i)] = QPoint(-1, -1);
    setStrip(i, -1);
    m_board.lastcell = i > 1 ? m_board.path[size_t(i - 1)] : QPoint(-1, -1);
}

void BoardMirror::takeWord(const std::vector<QPoint> &cells)
{
    // The picks are over: every square's mark goes (redrawing the marked ones).
    m_board.pathcount = 0;
    m_board.lastcell = QPoint(-1, -1);
    for (int x = 0; x < ClientBoard::Size; ++x)
        for (int y = 0; y < ClientBoard::Size; ++y) {
            int &o = m_board.overlay[size_t(x)][size_t(y)];
            const bool marked = o != -1;
            o = -2;
            if (marked)
                emit cellChanged(x, y);
        }
    clearStrip();
    // The word moves from the board into the letter strip.
    for (int k = 1; k <= int(cells.size()); ++k) {
        const QPoint c = cells[size_t(k - 1)];
        if (!rules::onBoard(c.x(), c.y()))
            continue;
        if (k <= StripLength)
            setStrip(k, letterAt(c));
        m_board.letters[size_t(c.x())][size_t(c.y())] = 0;
        emit cellChanged(c.x(), c.y());
    }
}

void BoardMirror::shift(int direction)
{
    m_lastdirection = direction;
    m_beforeShift = m_board.letters;
    rules::shift(m_board.letters, direction, rules::Empty);
    emit boardChanged();
}

bool BoardMirror::canPick(QPoint cell) const
{
    const ClientBoard &b = m_board;
    bool valid = rules::onBoard(cell.x(), cell.y()) && b.pathcount + 1 <= StripLength;
    if (valid) {
        const int code = letterAt(cell);
        valid = code >= 1 && code <= 26;
    }
    if (valid && b.lastcell != QPoint(-1, -1))
        valid = rules::touches(cell, b.lastcell);
    for (int k = 1; valid && k <= b.pathcount; ++k)
        valid = b.path[size_t(k)] != cell;
    return valid;
}

bool BoardMirror::pick(QPoint cell)
{
    if (!canPick(cell))
        return false;
    ClientBoard &b = m_board;
    if (b.lastcell != QPoint(-1, -1))
        setMark(b.lastcell, rules::tile::PickMark);
    setMark(cell, rules::tile::LastPickMark);
    ++b.pathcount;
    b.path[size_t(b.pathcount)] = cell;
    setStrip(b.pathcount, letterAt(cell));
    b.lastcell = cell;
    return true;
}

bool BoardMirror::takeBack(int k)
{
    ClientBoard &b = m_board;
    if (b.pathcount < 1 || k != b.pathcount)
        return false;
    setMark(b.path[size_t(k)], -1);
    b.path[size_t(k)] = QPoint(-1, -1);
    setStrip(k, -1);
    --b.pathcount;
    b.lastcell = b.pathcount >= 1 ? b.path[size_t(b.pathcount)] : QPoint(-1, -1);
    return true;
}
