#include "boardview.h"

#include <QMouseEvent>
#include <QPainter>

BoardView::BoardView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::setBoard(const ClientBoard *board, const TileImages *tiles)
{
    m_board = board;
    m_tiles = tiles;
    update();
}

void BoardView::drawCell(int x, int y)
{
    if (x >= 0 && x < ClientBoard::Size && y >= 0 && y < ClientBoard::Size)
        update(cellRect(x, y));
}

void BoardView::drawAll()
{
    update();
}

QPoint BoardView::cellAt(const QPoint &pixel)
{
    if (pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= 392 || pixel.y() >= 392)
        return QPoint(-1, -1);
    return QPoint(pixel.x() / 56, pixel.y() / 56);
}

void BoardView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    if (!m_board || !m_tiles) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    const QRegion dirty = event->region();
    for (int x = 0; x < ClientBoard::Size; ++x) {
        for (int y = 0; y < ClientBoard::Size; ++y) {
            const QRect r = cellRect(x, y);
            if (!dirty.intersects(r))
                continue;
            const QPoint at = r.topLeft();
            p.drawPixmap(at, (*m_tiles)[m_board->squares[x][y]]);
            if (m_board->letters[x][y] != 0)
                p.drawPixmap(at, (*m_tiles)[m_board->letters[x][y]]);
            if (m_board->overlay[x][y] != -1)
                p.drawPixmap(at, (*m_tiles)[m_board->overlay[x][y]]);
        }
    }
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(event->button(), event->position().toPoint());
}
