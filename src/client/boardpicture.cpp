#include "boardpicture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>

namespace {

// The bonus squares' colours, as pale as will still tell them apart.
QColor squareColour(rules::Square square)
{
    switch (square) {
    case rules::Square::Plain:
        return QColor(0xF4, 0xEE, 0xDC);
    case rules::Square::Bonus:
        return QColor(0xE6, 0xD2, 0xF0);
    case rules::Square::DoubleLetter:
        return QColor(0xD2, 0xE6, 0xF8);
    case rules::Square::TripleLetter:
        return QColor(0xA8, 0xCC, 0xF0);
    case rules::Square::DoubleWord:
        return QColor(0xF8, 0xD8, 0xD2);
    case rules::Square::TripleWord:
        return QColor(0xF0, 0xAC, 0xA0);
    }
    return Qt::white;
}

} // namespace

BoardPicture::BoardPicture(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(2 * Margin + rules::Size * Cell, 2 * Margin + CaptionHeight + rules::Size * Cell);
}

QRect BoardPicture::squareRect(int x, int y)
{
    return {Margin + x * Cell, Margin + CaptionHeight + y * Cell, Cell, Cell};
}

void BoardPicture::setPicture(
        const rules::Board &board, const rules::Path &path, const QString &caption, const rules::Path &played)
{
    m_board = board;
    m_path = path;
    m_played = played;
    m_caption = caption;
    setAccessibleName(caption);
    update();
}

void BoardPicture::showAt(const rules::Board &board, const rules::Path &path, const QString &caption, const QPoint &at)
{
    setPicture(board, path, caption);
    // Kept whole on the screen the pointer is on.
    QRect where(at + QPoint(12, 12), size());
    if (const QScreen *screen = QGuiApplication::screenAt(at)) {
        const QRect room = screen->availableGeometry();
        if (where.right() > room.right())
            where.moveRight(at.x() - 12);
        if (where.bottom() > room.bottom())
            where.moveBottom(at.y() - 12);
        where.moveTopLeft(QPoint(std::max(where.left(), room.left()), std::max(where.top(), room.top())));
    }
    move(where.topLeft());
    show();
    update();
}

void BoardPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(Margin, Margin, width() - 2 * Margin, CaptionHeight - 4), Qt::AlignLeft | Qt::AlignVCenter,
            fontMetrics().elidedText(m_caption, Qt::ElideRight, width() - 2 * Margin));
    for (int x = 0; x < rules::Size; ++x)
        for (int y = 0; y < rules::Size; ++y) {
            const QRect r = squareRect(x, y).adjusted(1, 1, -1, -1);
            const bool onPath = std::find(m_path.begin(), m_path.end(), QPoint(x, y)) != m_path.end();
            p.fillRect(r, onPath ? QColor(0xFF, 0xD8, 0x4A) : squareColour(rules::squareAt(x, y)));
            p.setPen(QColor(0x80, 0x70, 0x50));
            p.drawRect(r);
        }
    // The paths' lines under the letters, each from its first square
    // (ringed) to its last: the word played fainter, the best over it.
    const auto trace = [&p](const rules::Path &path, const QColor &ink, qreal width) {
        if (path.empty())
            return;
        QPainterPath line;
        for (size_t k = 0; k < path.size(); ++k) {
            const QPointF c = QRectF(squareRect(path[k].x(), path[k].y())).center();
            if (k == 0)
                line.moveTo(c);
            else
                line.lineTo(c);
        }
        p.setPen(QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(line);
        p.drawEllipse(QRectF(squareRect(path.front().x(), path.front().y())).adjusted(3, 3, -3, -3));
    };
    trace(m_played, QColor(0x20, 0x50, 0xC0, 120), 5);
    trace(m_path, QColor(0xC0, 0x30, 0x20, 150), 3);
    QFont letters = font();
    letters.setBold(true);
    letters.setPixelSize(Cell / 2);
    p.setFont(letters);
    p.setPen(Qt::black);
    for (int x = 0; x < rules::Size; ++x)
        for (int y = 0; y < rules::Size; ++y) {
            const int code = m_board[size_t(x)][size_t(y)];
            if (code >= 1 && code <= 26)
                p.drawText(squareRect(x, y), Qt::AlignCenter, QString(QChar('A' + code - 1)));
        }
}

void BoardPicture::mousePressEvent(QMouseEvent *event)
{
    if (windowType() == Qt::Popup)
        hide();
    else
        QWidget::mousePressEvent(event);
}
