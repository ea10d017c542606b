// Words on the board: the local player's picks and submissions, the mirror
// of other players' picks, rejected and scored words, and the shift.

#include "tchat.h"
#include "ui_tchat.h"

#include "fieldreader.h"
#include "message.h"
#include "messages.h"

#include <QMouseEvent>

namespace {
const QString kWatching = QStringLiteral("You are just watching right now.");
}

bool Tchat::handleBoardEvent(QObject *watched, QEvent *event)
{
    if (watched == ui->memo_words->viewport() && event->type() == QEvent::MouseButtonPress) {
        ui->mychat->setFocus();
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

void Tchat::paintbox_boardMouseUp(Qt::MouseButton button, const QPoint &pixel)
{
    if (currentplayer != myslot || currentplayer == 0)
        return;
    if (ui->JustWatch1->isChecked()) {
        ui::showMessage(this, kWatching);
        return;
    }
    if (button == Qt::RightButton) {
        pressdone();
        return;
    }
    const QPoint cell = BoardView::cellAt(pixel);
    const int x = cell.x();
    const int y = cell.y();
    bool valid = x >= 0 && board.pathcount + 1 <= 7;
    if (valid)
        valid = board.letters[x][y] >= 1 && board.letters[x][y] <= 26;
    if (valid && board.lastcell != QPoint(-1, -1)) {
        const int dx = std::abs(x - board.lastcell.x());
        const int dy = std::abs(y - board.lastcell.y());
        valid = dx <= 1 && dy <= 1 && (dx | dy) != 0;
    }
    for (int k = 1; valid && k <= board.pathcount; ++k)
        valid = board.path[size_t(k)] != cell;
    if (!valid) {
        ui->label_status->setText(QStringLiteral("Invalid Selection"));
        playsounds(QStringLiteral("badword"));
        return;
    }
    if (board.lastcell != QPoint(-1, -1)) {
        board.overlay[board.lastcell.x()][board.lastcell.y()] = 28;
        ui->paintbox_board->drawCell(board.lastcell.x(), board.lastcell.y());
    }
    board.overlay[x][y] = 29;
    ui->paintbox_board->drawCell(x, y);
    ++board.pathcount;
    board.path[size_t(board.pathcount)] = cell;
    showSlot(board.pathcount, board.letters[x][y]);
    board.lastcell = cell;
    send(wire::Message("CMD_selectletter").field(myslot).field(board.pathcount).field(x).field(y).endPlus());
    playsounds(QStringLiteral("place"));
}

void Tchat::image_letter1Click(int k)
{
    if (currentplayer != myslot || currentplayer == 0 || board.pathcount < 1 || k != board.pathcount)
        return;
    const QPoint cell = board.path[size_t(k)];
    board.overlay[cell.x()][cell.y()] = -1;
    ui->paintbox_board->drawCell(cell.x(), cell.y());
    board.path[size_t(k)] = QPoint(-1, -1);
    showSlot(k, -1);
    send(wire::Message("CMD_clearletter").field(myslot).field(k).endPlus());
    --board.pathcount;
    board.lastcell = board.pathcount >= 1 ? board.path[size_t(board.pathcount)] : QPoint(-1, -1);
}

// Wipes every pick mark and the strip, redrawing only the marked cells.
void Tchat::dropMarks()
{
    for (int x = 0; x < ClientBoard::Size; ++x)
        for (int y = 0; y < ClientBoard::Size; ++y)
            if (board.overlay[x][y] != -1)
                ui->paintbox_board->drawCell(x, y);
    board.clearPicks();
    clearSlots();
}

void Tchat::pressclear()
{
    if (currentplayer != myslot || currentplayer == 0)
        return;
    dropMarks();
    send(wire::Message("CMD_selectclear").field(myslot).endPlus());
}

void Tchat::button_clearClick()
{
    if (ui->JustWatch1->isChecked()) {
        ui::showMessage(this, kWatching);
        return;
    }
    pressclear();
    playsounds(QStringLiteral("clear"));
}

void Tchat::pressdone()
{
    if (currentplayer != myslot || currentplayer == 0 || board.pathcount <= 0)
        return;
    wire::Message m("CMD_playerdone");
    m.field(myslot);
    for (int k = 1; k <= board.pathcount; ++k)
        m.field(k).field(board.path[size_t(k)].x()).field(board.path[size_t(k)].y());
    send(m.end());
    pressclear();
}

void Tchat::button_doneClick()
{
    if (ui->JustWatch1->isChecked()) {
        ui::showMessage(this, kWatching);
        return;
    }
    pressdone();
}

void Tchat::button_shuffleClick()
{
    ui->button_shuffle->hide();
    if (ui->JustWatch1->isChecked()) {
        ui::showMessage(this, kWatching);
        return;
    }
    send(wire::Message("CMD_shuffle").field(myslot).endPlus());
}

void Tchat::image_direction1Click(int d)
{
    if (loggedin && direction(d)->property("Tag").toInt() == myslot && myslot != 0)
        send(wire::Message("CMD_direction").field(myslot).field(direction(d)->text().isEmpty() ? QByteArray::number(d) : direction(d)->text().toLatin1()).endPlus());
    hideArrows();
}

void Tchat::selectletter(const QByteArray &data)
{
    wire::FieldReader r(data);
    if (r.number() == myslot)
        return;
    const int i = r.number();
    const int x = r.number();
    const int y = r.number();
    if (i < 1 || i > 7 || x < 0 || x > 6 || y < 0 || y > 6)
        return;
    board.overlay[x][y] = 29;
    ui->paintbox_board->drawCell(x, y);
    board.path[size_t(i)] = QPoint(x, y);
    showSlot(i, board.letters[x][y]);
    playsounds(QStringLiteral("place"));
}

void Tchat::selectclear(const QByteArray &data)
{
    wire::FieldReader r(data);
    if (r.number() == myslot)
        return;
    dropMarks();
    playsounds(QStringLiteral("clear"));
}

void Tchat::clearletter(const QByteArray &data)
{
    wire::FieldReader r(data);
    if (r.number() == myslot)
        return;
    const int i = r.number();
    if (i < 1 || i > 7)
        return;
    const QPoint cell = board.path[size_t(i)];
    if (cell.x() >= 0 && cell.y() >= 0) {
        board.overlay[cell.x()][cell.y()] = -1;
        ui->paintbox_board->drawCell(cell.x(), cell.y());
    }
    board.path[size_t(i)] = QPoint(-1, -1);
    showSlot(i, -1);
    board.lastcell = i > 1 ? board.path[size_t(i - 1)] : QPoint(-1, -1);
}

void Tchat::notvalid(const QByteArray &data)
{
    wire::FieldReader r(data);
    if (r.number() != myslot)
        return;
    const QByteArray word = r.field();
    ui->label_status->setText(QString::fromLatin1(word) + QStringLiteral(" is not a valid word."));
    dropMarks();
    playsounds(QStringLiteral("badword"));
}

void Tchat::madeword(const QByteArray &data)
{
    ui->button_clear->hide();
    ui->button_done->hide();
    ui->button_shuffle->hide();
    currentplayer = 0;
    Timer2.stop();

    wire::FieldReader r(data);
    const int seat = r.number();
    const QByteArray word = r.field();
    const QByteArray points = r.field();
    const QByteArray total = r.field();
    ui->label_team1->setText(QStringLiteral("Team A: ") + QString::fromLatin1(r.field()));
    ui->label_team2->setText(QStringLiteral("Team B: ") + QString::fromLatin1(r.field()));
    const bool seatOk = seat >= 1 && seat <= 4;
    for (int s = 1; s <= 4; ++s)
        seatLabel("label_bonus", s)->clear();
    QString who;
    if (seatOk) {
        seatLabel("label_score", seat)->setText(QString::fromLatin1(total));
        seatLabel("label_bonus", seat)->setText(QString::fromLatin1(word + " +" + points));
        who = seatLabel("label_playername", seat)->text();
    }
    const QString status = who + QStringLiteral(": ") + QString::fromLatin1(word) + QStringLiteral(" for ")
                           + QString::fromLatin1(points) + QStringLiteral(" points.");
    ui->label_status->setText(status);
    ui->memo_words->appendPlainText(status);
    if (postWords)
        addlinetochat("0+" + status.toLatin1());

    board.pathcount = 0;
    board.lastcell = QPoint(-1, -1);
    for (int x = 0; x < ClientBoard::Size; ++x)
        for (int y = 0; y < ClientBoard::Size; ++y)
            if (board.overlay[x][y] != -1) {
                board.overlay[x][y] = -2;
                ui->paintbox_board->drawCell(x, y);
            }
    for (auto &column : board.overlay)
        for (int &o : column)
            o = -2;
    clearSlots();

    // The word moves from the board into the letter strip.
    if (!r.rest().isEmpty()) {
        r.beginGroups();
        for (int k = 1; r.moreGroups(); ++k) {
            const int x = r.number();
            const int y = r.number();
            if (x < 0 || x > 6 || y < 0 || y > 6)
                continue;
            if (k <= 7)
                showSlot(k, board.letters[x][y]);
            board.letters[x][y] = 0;
            ui->paintbox_board->drawCell(x, y);
        }
    }
    if (seat == myslot) {
        playsounds(QStringLiteral("goodword"));
        tallyWord(word, wire::parseInt(points).value_or(0));
        for (int d = 1; d <= 4; ++d) {
            direction(d)->setProperty("Tag", seat);
            direction(d)->show();
        }
    } else {
        playsounds(QStringLiteral("roundover"));
    }
}

void Tchat::moving(const QByteArray &data)
{
    hideArrows();
    wire::FieldReader r(data);
    lastdirection = r.number();
    ClientBoard::compact(board.letters, lastdirection);
    ui->paintbox_board->drawAll();
    playsounds(QStringLiteral("shift"));
    if (lastdirection >= 1 && lastdirection <= 4)
        direction(lastdirection)->show();
}
