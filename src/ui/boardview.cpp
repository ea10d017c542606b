#include "boardview.h"

#include "boardaccessible.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

BoardView::BoardView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The board takes the keyboard for typing words and moving its cell.
    setFocusPolicy(Qt::StrongFocus);
    static const bool installed = [] {
        QAccessible::installFactory(ui::boardAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleName(QStringLiteral("Board"));
}

void BoardView::setFocusCell(QPoint cell)
{
    if (cell.x() < 0 || cell.x() >= ClientBoard::Size || cell.y() < 0 || cell.y() >= ClientBoard::Size)
        return;
    drawCell(m_focus.x(), m_focus.y());
    m_focus = cell;
    drawCell(m_focus.x(), m_focus.y());
}

void BoardView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    drawCell(m_focus.x(), m_focus.y());
}

void BoardView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    drawCell(m_focus.x(), m_focus.y());
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
    // The keyboard's cell: a thin dashed outline on the cell's very edge, so
    // that neither the letter nor the square is hidden.
    if (hasFocus()) {
        const QRect r = cellRect(m_focus.x(), m_focus.y()).adjusted(0, 0, -1, -1);
        if (dirty.intersects(r)) {
            p.setPen(QPen(Qt::white, 2));
            p.drawRect(r.adjusted(1, 1, -1, -1));
            p.setPen(QPen(Qt::black, 2, Qt::DashLine));
            p.drawRect(r.adjusted(1, 1, -1, -1));
        }
    }
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(event->button(), event->position().toPoint());
}
