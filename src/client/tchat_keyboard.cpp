// Playing by keyboard: typing a word traces it on the board, Tab chooses
// among the paths that fit, Backspace takes the last tile back, Escape
// clears, Enter submits, the arrow keys move the keyboard's cell (Space picks
// it) or, once a word is made, choose the slide. Every step is one of the
// operations a mouse uses, so the host sees the same messages.

#include "tchat.h"
#include "ui_tchat.h"

#include "typetrace.h"

#include <QKeyEvent>

// The letters of the picks so far.
QByteArray Tchat::tracedLetters() const
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
void Tchat::traceTo(const std::vector<QPoint> &target)
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
        ui->paintbox_board->setFocusCell(target.back());
}

void Tchat::refuseKey()
{
    setStatus(QStringLiteral("Invalid Selection"));
    playsounds(QStringLiteral("badword"));
}

bool Tchat::boardKey(QKeyEvent *key)
{
    BoardView *view = ui->paintbox_board;
    // After a made word the arrows choose the slide.
    if (m_model.arrowsFor() != 0 && m_model.arrowsFor() == m_model.myslot()) {
        static const QHash<int, int> slide = {{Qt::Key_Down, 1}, {Qt::Key_Left, 2}, {Qt::Key_Up, 3}, {Qt::Key_Right, 4}};
        if (slide.contains(key->key())) {
            image_direction1Click(slide.value(key->key()));
            return true;
        }
    }
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const QPoint step = key->key() == Qt::Key_Left    ? QPoint(-1, 0)
                            : key->key() == Qt::Key_Right ? QPoint(1, 0)
                            : key->key() == Qt::Key_Up    ? QPoint(0, -1)
                                                          : QPoint(0, 1);
        view->setFocusCell(view->focusCell() + step);
        return true;
    }
    default:
        break;
    }
    // Tab belongs to the board only while it has paths to choose among;
    // otherwise it moves on to the next control as everywhere.
    if (!m_model.myTurn())
        return false;
    if (refuseWhileWatching())
        return true;
    const QString text = key->text().toUpper();
    if (key->key() == Qt::Key_Space) {
        if (m_model.pick(view->focusCell()) == ClientModel::PickResult::Invalid)
            setStatus(QStringLiteral("Invalid Selection"));
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
            refuseKey();
            return true;
        }
        m_traceChoice = 0;
        traceTo(paths.front());
        return true;
    }
    return false;
}

// At the start of the own turn the keyboard goes to the board, unless the
// user is in the middle of a chat line.
void Tchat::focusBoardForTurn()
{
    if (!m_chat->typing())
        ui->paintbox_board->setFocus(Qt::OtherFocusReason);
}
