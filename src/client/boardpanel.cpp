#include "boardpanel.h"

#include "animationclock.h"
#include "boardview.h"
#include "look.h"
#include "watching.h"
#include "typetrace.h"

#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QFrame>
#include <QLabel>

namespace {
const QString kPoints = QStringLiteral("points");
const QString kTrace = QStringLiteral("trace");
const QString kSlide = QStringLiteral("slide");
const QString kInvalid = QStringLiteral("Invalid Selection");
constexpr int kTraceStepMs = 90;
constexpr int kTraceHoldMs = 250;
} // namespace

BoardPanel::BoardPanel(const Widgets &w, ClientModel &model, ui::AnimationClock &motion, QWidget *window)
    : QObject(window), m_model(model), m_motion(motion), m_window(window), m_view(w.view)
{
    connect(m_view, &BoardView::released, this, &BoardPanel::cellReleased);
    m_view->installEventFilter(this);

    m_points = new QLabel(w.frame);
    m_points->setObjectName(QStringLiteral("label_points"));
    ui::setLook(m_points, {QColor(0xff, 0xd2, 0x4a), QColor(40, 30, 0, 190), {}, 0, 6, QMargins(8, 2, 8, 2)});
    m_points->setFont(ui::boldArial(18));
    m_points->setAlignment(Qt::AlignCenter);
    m_points->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_points->hide();
    m_points->setGraphicsEffect(new QGraphicsOpacityEffect(m_points));

    ClientModel *m = &model;
    connect(m, &ClientModel::boardChanged, m_view, &BoardView::drawAll);
    connect(m, &ClientModel::cellChanged, m_view, &BoardView::drawCell);
    connect(m, &ClientModel::stripChanged, m_view, &BoardView::drawPathArea);
    connect(m, &ClientModel::wordMade, this, [this](const ClientModel::WordMade &made) {
        if (made.seat != m_model.myslot())
            traceWord(made);
        risePoints(made);
    });
    connect(m, &ClientModel::moved, this, &BoardPanel::slide);
    connect(m, &ClientModel::cleared, m_points, &QWidget::hide);
}

bool BoardPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress)
        return boardKey(static_cast<QKeyEvent *>(event));
    return QObject::eventFilter(watched, event);
}

void BoardPanel::cellReleased(Qt::MouseButton button, QPoint cell)
{
    if (!m_model.myTurn() || refuseWhileWatching(m_model, m_window))
        return;
    if (button == Qt::RightButton) {
        m_model.submit();
        return;
    }
    if (m_model.pick(cell) == ClientModel::PickResult::Invalid)
        emit refused(kInvalid, true);
}

void BoardPanel::takeFocus()
{
    m_view->setFocus(Qt::OtherFocusReason);
}

// The letters of the picks so far.
QByteArray BoardPanel::tracedLetters() const
{
    QByteArray typed;
    const ClientBoard &b = m_model.board();
    for (int k = 1; k <= b.pathcount; ++k) {
        const QPoint c = b.path[size_t(k)];
        typed += char('A' + b.letters[size_t(c.x())][size_t(c.y())] - 1);
    }
    return typed;
}

// Takes back and picks, as a mouse would, until the picks are this path.
void BoardPanel::traceTo(const std::vector<QPoint> &target)
{
    const ClientBoard &b = m_model.board();
    int common = 0;
    while (common < b.pathcount && common < int(target.size()) && b.path[size_t(common + 1)] == target[size_t(common)])
        ++common;
    while (b.pathcount > common)
        m_model.takeBack(b.pathcount);
    for (size_t i = size_t(common); i < target.size(); ++i)
        m_model.pick(target[i]);
    if (!target.empty())
        m_view->setFocusCell(target.back());
}

bool BoardPanel::boardKey(QKeyEvent *key)
{
    // After a made word the arrows choose the slide.
    if (m_model.arrowsFor() != 0 && m_model.arrowsFor() == m_model.myslot()) {
        static const QHash<int, int> slide = {
                {Qt::Key_Down, 1}, {Qt::Key_Left, 2}, {Qt::Key_Up, 3}, {Qt::Key_Right, 4}};
        if (slide.contains(key->key())) {
            m_model.chooseDirection(slide.value(key->key()));
            return true;
        }
    }
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const QPoint step = key->key() == Qt::Key_Left ? QPoint(-1, 0)
                : key->key() == Qt::Key_Right          ? QPoint(1, 0)
                : key->key() == Qt::Key_Up             ? QPoint(0, -1)
                                                       : QPoint(0, 1);
        m_view->setFocusCell(m_view->focusCell() + step);
        return true;
    }
    default:
        break;
    }
    // Tab belongs to the board only while it has paths to choose among;
    // otherwise it moves on to the next control as everywhere.
    if (!m_model.myTurn())
        return false;
    if (refuseWhileWatching(m_model, m_window))
        return true;
    const QString text = key->text().toUpper();
    if (key->key() == Qt::Key_Space) {
        if (m_model.pick(m_view->focusCell()) == ClientModel::PickResult::Invalid)
            emit refused(kInvalid, false);
        m_traceChoice = 0;
        return true;
    }
    if (key->key() == Qt::Key_Tab) {
        const auto paths = tracePaths(m_model.board().letters, tracedLetters());
        if (paths.size() < 2)
            return false;
        m_traceChoice = (m_traceChoice + 1) % int(paths.size());
        traceTo(paths[size_t(m_traceChoice)]);
        return true;
    }
    if (key->key() == Qt::Key_Backspace) {
        m_model.takeBack(m_model.board().pathcount);
        m_traceChoice = 0;
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        m_model.clearPicks();
        m_traceChoice = 0;
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        m_model.submit();
        m_traceChoice = 0;
        return true;
    }
    if (text.size() == 1 && text[0] >= QLatin1Char('A') && text[0] <= QLatin1Char('Z')) {
        const auto paths = tracePaths(m_model.board().letters, tracedLetters() + text.toLatin1());
        if (paths.empty()) {
            emit refused(kInvalid, false);
            emit soundRequested(Sound::BadWord);
            return true;
        }
        m_traceChoice = 0;
        traceTo(paths.front());
        return true;
    }
    return false;
}

void BoardPanel::risePoints(const ClientModel::WordMade &made)
{
    if (made.tiles.empty())
        return;
    m_points->setText(QStringLiteral("+") + QString::fromLatin1(made.points));
    m_points->adjustSize();
    const QPoint cell = made.tiles.back().first;
    const QPoint centre =
            m_view->geometry().topLeft() + BoardView::cellRect(qBound(0, cell.x(), 6), qBound(0, cell.y(), 6)).center();
    // Kept inside the board's frame, with room to rise: a word ending at an
    // edge had its points cut off there.
    const QRect room = m_points->parentWidget()->rect();
    const QPoint start(qBound(0, centre.x() - m_points->width() / 2, qMax(0, room.width() - m_points->width())),
            qBound(70, centre.y() - m_points->height() / 2, qMax(70, room.height() - m_points->height())));
    m_points->move(start);
    m_points->show();
    m_points->raise();
    auto *fade = static_cast<QGraphicsOpacityEffect *>(m_points->graphicsEffect());
    m_motion.start(kPoints, 900, [this, start, fade](double p) {
        m_points->move(start - QPoint(0, qRound(70 * p)));
        fade->setOpacity(p < 0.6 ? 1.0 : 1.0 - (p - 0.6) / 0.4);
        if (p >= 1.0)
            m_points->hide();
    });
}

void BoardPanel::traceWord(const ClientModel::WordMade &made)
{
    const int n = int(made.tiles.size());
    if (n == 0)
        return;
    BoardView *board = m_view;
    const auto tiles = made.tiles;
    const int total = n * kTraceStepMs + kTraceHoldMs;
    m_motion.start(kTrace, total, [board, tiles, n, total](double p) {
        if (p >= 1.0) {
            board->setTrace({}, 0);
            return;
        }
        board->setTrace(tiles, std::min(n, int(p * total) / kTraceStepMs + 1));
    });
}

void BoardPanel::slide()
{
    m_motion.finish(kTrace);
    BoardView *board = m_view;
    const rules::Board sources = m_model.slideSources();
    m_motion.start(kSlide, 280, [board, sources](double p) { board->setSlide(sources, p); });
}
