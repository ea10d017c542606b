#include "boardview.h"

#include "boardaccessible.h"

#include <QCoreApplication>
#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

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
    setAccessibleName(QCoreApplication::translate("BoardAccessible", "Board"));
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

void BoardView::drawPathArea()
{
    QRect area;
    if (m_board)
        for (int k = 1; k <= m_board->pathcount && k <= ClientBoard::MaxPath; ++k)
            area |= cellRect(m_board->path[size_t(k)].x(), m_board->path[size_t(k)].y());
    update(area | m_pathArea);
    m_pathArea = area;
}

QPoint BoardView::cellAt(const QPoint &pixel)
{
    if (pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= 392 || pixel.y() >= 392)
        return QPoint(-1, -1);
    return QPoint(pixel.x() / 56, pixel.y() / 56);
}

void BoardView::setSlide(const rules::Board &sources, double progress)
{
    m_sources = sources;
    m_slide = std::clamp(progress, 0.0, 1.0);
    update();
}

void BoardView::setTrace(const std::vector<std::pair<QPoint, int>> &tiles, int shown)
{
    m_trace.clear();
    for (const auto &t : tiles)
        if (rules::onBoard(t.first.x(), t.first.y()))
            m_trace.push_back(t);
    m_traceShown = shown;
    update();
}

// Drawn enlarged (the panel scaled to the window), every tile would be
// resampled on every frame. Instead each is scaled once, smoothly, to the
// pixels it covers on the screen; drawing it is then a plain copy.
void BoardView::prepareTiles(qreal scale)
{
    const qint64 key = (*m_tiles)[1].cacheKey();
    const bool enlarged = std::abs(scale - 1.0) > 0.01;
    if (!enlarged) {
        if (m_scaled.scale != 0.0)
            m_scaled = {};
        return;
    }
    if (m_scaled.scale == scale && m_scaled.key == key)
        return;
    m_scaled.scale = scale;
    m_scaled.key = key;
    const int pixels = int(std::ceil(TileImages::Size * scale));
    for (int code = 0; code < TileImages::Count; ++code) {
        QPixmap pm = (*m_tiles)[code].scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        pm.setDevicePixelRatio(qreal(pixels) / TileImages::Size);
        m_scaled.images[size_t(code)] = pm;
    }
}

const QPixmap &BoardView::tile(int code) const
{
    if (m_scaled.scale == 0.0 || code < 0 || code >= TileImages::Count)
        return (*m_tiles)[code];
    return m_scaled.images[size_t(code)];
}

void BoardView::drawTile(QPainter &p, QPoint at, int code)
{
    // The pick marks are laid over the letter half see-through, so the
    // letter under them still reads.
    const bool mark = code == rules::tile::PickMark || code == rules::tile::LastPickMark;
    if (mark)
        p.setOpacity(0.35);
    p.drawPixmap(at, tile(code));
    if (mark)
        p.setOpacity(1.0);
}

// A tile hides its square's colour but for a rim, and every set colours the
// squares its own way: a small label in the tile's corner says what the
// square under it is worth, the same in every set. The five labels are drawn
// once per scale and then copied: a paint for one picked cell should not pay
// for text layout.
void BoardView::drawSquareMarks(QPainter &p, const QRegion &dirty, bool all)
{
    struct Mark {
        rules::Square square;
        const char *text;
        QColor colour;
    };
    static const Mark marks[] = {{rules::Square::Bonus, "BONUS", QColor(176, 120, 0)},
            {rules::Square::DoubleLetter, "DL", QColor(30, 110, 200)},
            {rules::Square::TripleLetter, "TL", QColor(20, 40, 150)},
            {rules::Square::DoubleWord, "DW", QColor(200, 50, 120)},
            {rules::Square::TripleWord, "TW", QColor(180, 20, 20)}};
    const qreal scale = std::max<qreal>(1.0, p.deviceTransform().m11());
    if (m_markScale != scale) {
        m_markScale = scale;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(8);
        font.setBold(true);
        const QFontMetrics metrics(font);
        for (size_t k = 0; k < std::size(marks); ++k) {
            const QString text = QLatin1String(marks[k].text);
            const QSize size(metrics.horizontalAdvance(text) + 4, metrics.height());
            QPixmap label(size * scale);
            label.setDevicePixelRatio(scale);
            label.fill(Qt::transparent);
            QPainter q(&label);
            q.setRenderHint(QPainter::Antialiasing);
            q.setFont(font);
            q.setPen(Qt::NoPen);
            q.setBrush(marks[k].colour);
            q.drawRoundedRect(QRect(QPoint(0, 0), size), 2, 2);
            q.setPen(Qt::white);
            q.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
            q.end();
            m_marks[k] = label;
        }
    }
    for (int x = 0; x < ClientBoard::Size; ++x) {
        for (int y = 0; y < ClientBoard::Size; ++y) {
            const QRect r = cellRect(x, y);
            if (m_board->letters[x][y] == 0 || (!all && !dirty.intersects(r)))
                continue;
            const rules::Square square = rules::squareAt(x, y);
            for (size_t k = 0; k < std::size(marks); ++k)
                if (marks[k].square == square)
                    p.drawPixmap(r.left() + 5, r.top() + 5, m_marks[k]);
        }
    }
}

// The word being traced: a line through the picked tiles in their order, so
// the path (and which of several Tab chose) can be read at a glance.
void BoardView::drawPath(QPainter &p)
{
    if (m_board->pathcount < 2)
        return;
    QPolygonF line;
    for (int k = 1; k <= m_board->pathcount && k <= ClientBoard::MaxPath; ++k) {
        const QPoint cell = m_board->path[size_t(k)];
        if (!rules::onBoard(cell.x(), cell.y()))
            break;
        line << QRectF(cellRect(cell.x(), cell.y())).center();
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 120), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(line);
    p.setPen(QPen(QColor(40, 110, 30, 170), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(line);
    p.setBrush(QColor(40, 110, 30, 200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(line.first(), 6, 6);
    p.restore();
}

void BoardView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    if (!m_board || !m_tiles) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    prepareTiles(p.deviceTransform().m11());
    // Pre-scaled tiles land pixel for pixel: no resampling wanted.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRegion dirty = event->region();
    const bool moving = sliding();
    // Ease out: fast at first, settling into place.
    const double t = 1.0 - (1.0 - m_slide) * (1.0 - m_slide);
    for (int x = 0; x < ClientBoard::Size; ++x)
        for (int y = 0; y < ClientBoard::Size; ++y)
            if (moving || dirty.intersects(cellRect(x, y)))
                p.drawPixmap(cellRect(x, y).topLeft(), tile(m_board->squares[x][y]));
    for (int x = 0; x < ClientBoard::Size; ++x) {
        for (int y = 0; y < ClientBoard::Size; ++y) {
            const QRect r = cellRect(x, y);
            if (!moving && !dirty.intersects(r))
                continue;
            const int code = m_board->letters[x][y];
            if (code != 0) {
                QPointF at = r.topLeft();
                const int from = m_sources[x][y];
                if (moving && from >= 0) {
                    const QPointF source = cellRect(from / ClientBoard::Size, from % ClientBoard::Size).topLeft();
                    at = source + (at - source) * t;
                } else if (moving) {
                    p.setOpacity(t);
                }
                p.drawPixmap(at, tile(code));
                p.setOpacity(1.0);
            }
            if (m_board->overlay[x][y] != -1)
                drawTile(p, r.topLeft(), m_board->overlay[x][y]);
        }
    }
    drawSquareMarks(p, dirty, moving);
    drawPath(p);
    // Another player's word, still drawn where it was while it is traced.
    for (size_t k = 0; k < m_trace.size(); ++k) {
        const QRect r = cellRect(m_trace[k].first.x(), m_trace[k].first.y());
        p.drawPixmap(r.topLeft(), tile(m_trace[k].second));
        if (int(k) < m_traceShown)
            drawTile(p, r.topLeft(), k + 1 == size_t(m_traceShown) ? rules::tile::LastPickMark : rules::tile::PickMark);
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

// The board acts on the release, but the press must be taken: inside an
// enlarged (scaled) panel the release goes only to the item that accepted
// the press, and a plain widget ignores it.
void BoardView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(event->button(), cellAt(event->position().toPoint()));
}
