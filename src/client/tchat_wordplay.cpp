// Words on the board as the window shows them, and the player's clicks turned
// into the model's operations.

#include "tchat.h"
#include "ui_tchat.h"

#include "messages.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {
const QString kWatching = QStringLiteral("You are just watching right now.");
}

bool Tchat::handleBoardEvent(QObject *watched, QEvent *event)
{
    if (watched == ui->memo_words->viewport() && event->type() == QEvent::MouseButtonPress) {
        m_chat->focusEntry();
        return false;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const int tag = watched->property("Tag").toInt();
    const QString name = watched->objectName();
    if (name.startsWith(QLatin1String("image_letter"))) {
        image_letter1Click(tag);
        return true;
    }
    if (name.startsWith(QLatin1String("image_direction"))) {
        image_direction1Click(name.right(1).toInt());
        return true;
    }
    return false;
}

// While Klot plays the user's seat, the user's own moves are refused.
bool Tchat::refuseWhileWatching()
{
    if (!m_model.watchingSelf())
        return false;
    ui::showMessage(this, kWatching);
    return true;
}

void Tchat::paintbox_boardMouseUp(Qt::MouseButton button, const QPoint &pixel)
{
    if (!m_model.myTurn())
        return;
    if (refuseWhileWatching())
        return;
    if (button == Qt::RightButton) {
        m_model.submit();
        return;
    }
    if (m_model.pick(BoardView::cellAt(pixel)) == ClientModel::PickResult::Invalid) {
        setStatus(QStringLiteral("Invalid Selection"));
        shakeStrip();
    }
}

void Tchat::image_letter1Click(int k)
{
    m_model.takeBack(k);
}

void Tchat::button_clearClick()
{
    if (refuseWhileWatching())
        return;
    m_model.clearPicks();
    playsounds(QStringLiteral("clear"));
}

void Tchat::button_doneClick()
{
    if (refuseWhileWatching())
        return;
    m_model.submit();
}

void Tchat::button_shuffleClick()
{
    ui->button_shuffle->hide();
    if (refuseWhileWatching())
        return;
    m_model.useShuffle();
}

void Tchat::image_direction1Click(int d)
{
    m_model.chooseDirection(d);
}

void Tchat::drawArrows()
{
    const bool offered = m_model.arrowsFor() != 0;
    for (int d = 1; d <= 4; ++d)
        direction(d)->setVisible(offered);
    // The host chooses for me when its wait runs out: show what is left.
    if (offered && m_model.arrowsFor() == m_model.myslot())
        startArrowCountdown();
    else
        stopArrowCountdown();
}

void Tchat::hideArrows()
{
    for (int d = 1; d <= 4; ++d)
        direction(d)->hide();
}

void Tchat::notvalid(const QByteArray &word)
{
    setStatus(QString::fromLatin1(word) + QStringLiteral(" is not a valid word."));
    shakeStrip();
}

void Tchat::madeword(const ClientModel::WordMade &made)
{
    ui->button_clear->hide();
    ui->button_done->hide();
    ui->button_shuffle->hide();
    ui->label_team1->setText(QStringLiteral("Team A: ") + QString::fromLatin1(made.teamA));
    ui->label_team2->setText(QStringLiteral("Team B: ") + QString::fromLatin1(made.teamB));
    for (int s = 1; s <= 4; ++s)
        seatLabel("label_bonus", s)->clear();
    QString who;
    if (m_model.isSeat(made.seat)) {
        seatLabel("label_score", made.seat)->setText(QString::fromLatin1(made.total));
        seatLabel("label_bonus", made.seat)->setText(QString::fromLatin1(made.word + " +" + made.points));
        who = m_model.seat(made.seat).name;
    }
    const QString status = who + QStringLiteral(": ") + QString::fromLatin1(made.word) + QStringLiteral(" for ")
                           + QString::fromLatin1(made.points) + QStringLiteral(" points.");
    setStatus(status);
    ui->memo_words->appendPlainText(status);
    if (m_prefs->postWords())
        addlinetochat("0+" + status.toLatin1());
    m_banner->hide();
    m_myTurnFrame->hide();
    if (made.seat != m_model.myslot())
        traceWord(made);
    risePoints(made);
}

void Tchat::moving(int d)
{
    // The arrow of the chosen direction stays up while the tiles slide.
    if (d >= 1 && d <= 4)
        direction(d)->show();
    stopArrowCountdown();
    slideBoard();
}

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->paintbox_board && event->type() == QEvent::KeyPress)
        return boardKey(static_cast<QKeyEvent *>(event)) || QMainWindow::eventFilter(watched, event);
    if (handleBoardEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}
