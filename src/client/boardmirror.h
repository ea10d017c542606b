#pragma once
// The board as the host last said, with the picks on it and the letter strip
// above it: changed only by the host's messages and the user's own picks.
// What changed leaves as signals for the board and the strip to draw.

#include "clientboard.h"

#include <QObject>

#include <array>
#include <vector>

class BoardMirror : public QObject {
    Q_OBJECT
public:
    static constexpr int StripLength = 7;

    explicit BoardMirror(QObject *parent = nullptr);

    const ClientBoard &board() const { return m_board; }
    // What each strip slot shows (1..7; -1 empty).
    int stripCode(int k) const { return m_strip[size_t(k)]; }
    int lastdirection() const { return m_lastdirection; }
    // For the last slide: where each tile now on the board came from.
    rules::Board slideSources() const { return rules::slideSources(m_beforeShift, m_lastdirection, rules::Empty); }
    // The tile on a cell, 0 off the board.
    int letterAt(QPoint cell) const;

    // The host's messages.
    void beginBoard(); // a new board: no tiles, no picks
    void reset(); // no board at all, shown so
    void setLetter(int x, int y, int code);
    void endBoard();
    void clearStrip();
    void newTurn(); // a new turn's picks start from entry 1
    bool otherPick(int i, QPoint cell); // another player's pick; false when it cannot be
    void otherTakeBack(int i);
    void dropMarks(); // every pick mark and the strip go
    // A made word: the marks go, its tiles leave the board for the strip.
    void takeWord(const std::vector<QPoint> &cells);
    void shift(int direction);

    // The user's own picks; false when the cell cannot be next.
    bool canPick(QPoint cell) const;
    bool pick(QPoint cell);
    bool takeBack(int k); // only the last pick can be taken back

signals:
    void boardChanged();
    void cellChanged(int x, int y);
    void stripChanged(int k);

private:
    void setStrip(int k, int code);
    void setMark(QPoint cell, int mark);

    ClientBoard m_board;
    std::array<int, StripLength + 1> m_strip{};
    int m_lastdirection = 0;
    rules::Board m_beforeShift{};
};
