#pragma once
// The 7 x 7 board: each cell is its square, then its tile, then its pick
// mark, drawn through the tile pictures' masks. Changes redraw only the cells
// they touch.

#include "clientboard.h"
#include "tileimages.h"

#include "rules.h"

#include <QWidget>
#include <array>
#include <utility>
#include <vector>

class BoardView : public QWidget {
    Q_OBJECT
public:
    explicit BoardView(QWidget *parent = nullptr);

    void setBoard(const ClientBoard *board, const TileImages *tiles);
    const ClientBoard *board() const { return m_board; }
    // Schedules one cell (or all) to be drawn again from the grids.
    void drawCell(int x, int y);
    void drawAll();
    // The picks changed: draws again where the traced line was and is.
    void drawPathArea();

    // The keyboard's cell, outlined while the board has the focus.
    QPoint focusCell() const { return m_focus; }
    void setFocusCell(QPoint cell);

    // Motion, drawn only: the grids are already as they end up.
    // A slide: each tile is drawn between where it came from (the sources
    // of rules::slideSources) and its cell; tiles that came from nowhere
    // fade in. Progress 1 ends it.
    void setSlide(const rules::Board &sources, double progress);
    bool sliding() const { return m_slide < 1.0; }
    // A word traced tile by tile: the first `shown` of the tiles are marked;
    // all of them are drawn as if still on the board. Empty ends it.
    void setTrace(const std::vector<std::pair<QPoint, int>> &tiles, int shown);
    bool tracing() const { return !m_trace.empty(); }

    // Pixel position to cell; (-1, -1) outside the board.
    static QPoint cellAt(const QPoint &pixel);
    static QRect cellRect(int x, int y) { return QRect(x * 56, y * 56, 56, 56); }

signals:
    // A click ended over this cell ((-1, -1) off the grid).
    void released(Qt::MouseButton button, QPoint cell);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void drawTile(QPainter &p, QPoint at, int code);
    void prepareTiles(qreal scale);
    const QPixmap &tile(int code) const;
    void drawSquareMarks(QPainter &p, const QRegion &dirty, bool all);
    void drawPath(QPainter &p);

    QPoint m_focus{3, 3};
    rules::Board m_sources{};
    double m_slide = 1.0;
    std::vector<std::pair<QPoint, int>> m_trace;
    int m_traceShown = 0;
    const ClientBoard *m_board = nullptr;
    QRect m_pathArea; // what the traced line covered when last drawn
    std::array<QPixmap, 5> m_marks; // the square labels, drawn for m_markScale
    qreal m_markScale = 0.0;
    const TileImages *m_tiles = nullptr;
    // The tiles pre-scaled for an enlarged board (scale 0: not enlarged).
    struct Scaled {
        qreal scale = 0.0;
        qint64 key = 0; // the set they were made from
        std::array<QPixmap, TileImages::Count> images;
    } m_scaled;
};
