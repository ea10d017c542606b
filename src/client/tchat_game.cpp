// The course of a game as the host reports it: start, board, turns, the
// countdown, shuffles, the bonus, time-ups and the winner.

#include "tchat.h"
#include "ui_tchat.h"

#include "fieldreader.h"
#include "message.h"

#include <QPainter>

namespace {
const QColor kTeamB(0xBA, 0xCA, 0xEF); // 0xEFCABA as 0x00BBGGRR
}

void Tchat::setupGame()
{
    imagelist_letters.loadClassic();
    ui->paintbox_board->setBoard(&board, &imagelist_letters);
    connect(ui->paintbox_board, &BoardView::released, this, &Tchat::paintbox_boardMouseUp);

    QPalette pal = ui->panel_board->palette();
    pal.setBrush(QPalette::Window, QPixmap(QStringLiteral(":/pictures/background.jpg")));
    ui->panel_board->setPalette(pal);
    ui->panel_board->setAutoFillBackground(true);

    const struct {
        QPushButton *button;
        const char *picture;
    } buttons[] = {{ui->button_clear, "button_clear"},
                   {ui->button_shuffle, "button_shuffle"},
                   {ui->button_start, "button_start"},
                   {ui->button_done, "button_done"}};
    for (const auto &b : buttons) {
        b.button->setText(QString());
        b.button->setIcon(QIcon(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(b.picture))));
        b.button->setIconSize(b.button->size());
        b.button->setFlat(true);
        b.button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"));
    }
    connect(ui->button_clear, &QPushButton::clicked, this, &Tchat::button_clearClick);
    connect(ui->button_done, &QPushButton::clicked, this, &Tchat::button_doneClick);
    connect(ui->button_shuffle, &QPushButton::clicked, this, &Tchat::button_shuffleClick);

    for (int d = 1; d <= 4; ++d) {
        QLabel *arrow = direction(d);
        arrow->setPixmap(QPixmap(QStringLiteral(":/pictures/arrow%1.png").arg(d)));
        arrow->setProperty("Tag", 0);
        arrow->setCursor(Qt::PointingHandCursor);
        arrow->installEventFilter(this);
        arrow->hide();
    }
    for (int k = 1; k <= 7; ++k) {
        letterSlot(k)->setProperty("Tag", k);
        letterSlot(k)->installEventFilter(this);
        showSlot(k, -1);
    }
    ui->image_Turn->setPixmap(QPixmap(QStringLiteral(":/pictures/turn.png")));
    ui->image_Turn->hide();
    for (int seat = 1; seat <= 4; ++seat)
        seatLabel("image_shuffles", seat)->hide();
    ui->image_timer->setStyleSheet(QStringLiteral("background: #3cb043;"));
    ui->image_timer->resize(0, ui->image_timer->height());
    ui->label_timer->raise();
    QFont big = ui->label_winner1->font();
    big.setPointSize(16);
    big.setBold(true);
    ui->label_winner1->setFont(big);
    ui->label_winner2->setFont(big);
    ui->label_winner1->setStyleSheet(QStringLiteral("color: #7a5a00;"));
    ui->label_winner2->setStyleSheet(QStringLiteral("color: #ffd24a;"));
    ui->label_winner2->move(ui->label_winner1->pos() - QPoint(1, 1));
    ui->label_winner2->raise();
    for (QWidget *w : {static_cast<QWidget *>(ui->button_clear), static_cast<QWidget *>(ui->button_done),
                       static_cast<QWidget *>(ui->button_shuffle), static_cast<QWidget *>(ui->panel_winner),
                       static_cast<QWidget *>(ui->label_team1), static_cast<QWidget *>(ui->label_team2),
                       static_cast<QWidget *>(ui->image_bonus)})
        w->hide();

    // A click on the words list sends the typing back to the chat line.
    ui->memo_words->viewport()->installEventFilter(this);

    Timer2.setInterval(1000);
    connect(&Timer2, &QTimer::timeout, this, &Tchat::Timer2Timer);
    bonusTimer.setInterval(250);
    connect(&bonusTimer, &QTimer::timeout, this, &Tchat::bonusFrameTimer);
}

QLabel *Tchat::letterSlot(int k) const
{
    return findChild<QLabel *>(QStringLiteral("image_letter%1").arg(k));
}

QLabel *Tchat::direction(int d) const
{
    return findChild<QLabel *>(QStringLiteral("image_direction%1").arg(d));
}

void Tchat::showSlot(int k, int code)
{
    QPixmap pm(56, 56);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    if (code < 0) {
        p.drawPixmap(0, 0, imagelist_letters[ClientBoard::EmptySlot]);
    } else {
        p.drawPixmap(0, 0, imagelist_letters[ClientBoard::Plain]);
        p.drawPixmap(2, 2, imagelist_letters[code]);
    }
    p.end();
    letterSlot(k)->setPixmap(pm);
    slotCodes[size_t(k)] = code;
}

void Tchat::clearSlots()
{
    for (int k = 1; k <= 7; ++k)
        showSlot(k, -1);
}

void Tchat::showShuffles(int seat, int left)
{
    if (seat < 1 || seat > 4)
        return;
    QLabel *l = seatLabel("image_shuffles", seat);
    l->setPixmap(QPixmap(QStringLiteral(":/pictures/shuffles%1.png").arg(qBound(0, left, 5))));
    l->setToolTip(QStringLiteral("Zephyr Shuffles left: %1").arg(left));
    l->show();
}

void Tchat::hideArrows()
{
    for (int d = 1; d <= 4; ++d) {
        direction(d)->hide();
        direction(d)->setProperty("Tag", 0);
    }
}

void Tchat::setTeamColours(bool team)
{
    const QString colour = team ? kTeamB.name() : QStringLiteral("black");
    for (int seat : {2, 4})
        for (const char *kind : {"label_playername", "label_score", "label_bonus"})
            seatLabel(kind, seat)->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    ui->label_team2->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    ui->label_team1->setVisible(team);
    ui->label_team2->setVisible(team);
}

void Tchat::startthegame(const QByteArray &data)
{
    for (QWidget *w : {static_cast<QWidget *>(ui->image_bonus), static_cast<QWidget *>(ui->button_clear),
                       static_cast<QWidget *>(ui->button_done), static_cast<QWidget *>(ui->button_shuffle),
                       static_cast<QWidget *>(ui->panel_winner), static_cast<QWidget *>(ui->button_start)})
        w->hide();
    hideArrows();
    ui->memo_words->clear();
    ui->JustWatch1->setChecked(false);

    wire::FieldReader r(data);
    const QByteArray name = r.field();
    const QByteArray playtoText = r.field();
    ui->label_playtoscore->setText(QStringLiteral("Play to Score: ") + QString::fromLatin1(playtoText));
    timePerTurn = r.number();
    ui->label_Timeperturn->setText(QStringLiteral("Time Per Turn: %1").arg(timePerTurn));
    const QByteArray team = r.field();
    const int shuffles = wire::parseInt(r.field()).value_or(0);

    if (myslot < 1 || myslot > seatcount)
        addlinetochat("0+" + name + " has started a game.");
    else if (seatLabel("label_playername", myslot)->text().toLatin1() == name)
        addlinetochat("0+You have started a game.");
    else
        addlinetochat("0+" + name + " has started a game.");

    ui->label_team1->setText(QStringLiteral("Team A: 0 "));
    ui->label_team2->setText(QStringLiteral("Team B: 0 "));
    for (int seat = 1; seat <= 4; ++seat) {
        seatLabel("label_bonus", seat)->clear();
        seatLabel("label_score", seat)->clear();
        seatLabel("label_score", seat)->show();
        seatLabel("image_eyes", seat)->hide();
        showShuffles(seat, shuffles);
    }
    setTeamColours(team == "t");
    if (ui->label_playername2->text() == QLatin1String("<Waiting>")) {
        ui->label_playername2->setText(QStringLiteral("Klot"));
        addlinetochat("0+I am Klot the bot. Good Luck!");
    }
    loadchecklist();
}

void Tchat::theboard(const QByteArray &data)
{
    for (auto &column : board.letters)
        column.fill(0);
    clearthings();
    wire::FieldReader r(data);
    r.beginGroups();
    while (r.moreGroups()) {
        const int x = r.number();
        const int y = r.number();
        const int code = r.number();
        if (x < 0 || x >= ClientBoard::Size || y < 0 || y >= ClientBoard::Size)
            continue;
        board.letters[x][y] = code;
    }
    ui->paintbox_board->drawAll();
}

void Tchat::clearthings()
{
    board.clearPicks();
    clearSlots();
    ui->paintbox_board->drawAll();
}

void Tchat::getnextplayer(const QByteArray &data)
{
    ui->image_bonus->hide();
    hideArrows();
    wire::FieldReader r(data);
    currentplayer = r.number();
    const int left = wire::parseInt(r.field()).value_or(0);
    showShuffles(currentplayer, left);
    if (left > 0)
        ui->button_shuffle->show();
    if (currentplayer >= 1 && currentplayer <= 4) {
        const QLabel *name = seatLabel("label_playername", currentplayer);
        ui->image_Turn->move(name->x() - 12, name->y() - 3);
        ui->image_Turn->show();
    }
    clearSlots();
    for (auto &p : board.path)
        p = QPoint(-1, -1);
    if (currentplayer == myslot) {
        ui->label_status->setText(QStringLiteral("Your Turn"));
        playsounds(turnSound);
        ui->button_clear->show();
        ui->button_done->show();
    } else {
        const QLabel *name = currentplayer >= 1 && currentplayer <= 4 ? seatLabel("label_playername", currentplayer) : nullptr;
        ui->label_status->setText((name ? name->text() : QString()) + QStringLiteral("'s Turn"));
        ui->button_shuffle->hide();
    }
    Timer2Tag = timePerTurn;
    Timer2.start();
}

void Tchat::gamestats(const QByteArray &data)
{
    wire::FieldReader r(data);
    currentplayer = r.number();
    clearSlots();
    ui->label_playtoscore->setText(QStringLiteral("Play to Score: ") + QString::fromLatin1(r.field()));
    timePerTurn = r.number();
    ui->label_Timeperturn->setText(QStringLiteral("Time Per Turn: %1").arg(timePerTurn));
    Timer2Tag = r.number();
    const QByteArray team = r.field();
    for (int seat = 1; seat <= 4; ++seat)
        seatLabel("label_score", seat)->setText(QString::fromLatin1(r.field()));
    ui->label_team1->setText(QStringLiteral("Team A : ") + QString::fromLatin1(r.field()));
    ui->label_team2->setText(QStringLiteral("Team B : ") + QString::fromLatin1(r.field()));
    setTeamColours(team == "t");
    if (Timer2Tag > 0) {
        Timer2.start();
        if (currentplayer == myslot)
            ui->label_status->setText(QStringLiteral("Create a Word!"));
        else if (currentplayer >= 1 && currentplayer <= 4)
            ui->label_status->setText(seatLabel("label_playername", currentplayer)->text() + QStringLiteral("'s turn."));
        else
            ui->label_status->clear();
    }
}

void Tchat::shufflesl(const QByteArray &data)
{
    wire::FieldReader r(data);
    for (int seat = 1; seat <= 4; ++seat)
        showShuffles(seat, r.number());
}

void Tchat::useshuffle(const QByteArray &data)
{
    wire::FieldReader r(data);
    const int seat = r.number();
    showShuffles(seat, r.number());
    if (const auto left = wire::parseInt(r.field())) {
        Timer2Tag = *left - 4;
        Timer2.start();
    }
    playsounds(QStringLiteral("shuffle"));
}

void Tchat::bonus(const QByteArray &data)
{
    wire::FieldReader r(data);
    r.number();
    bonusFrame = 0;
    bonusFrameTimer();
    ui->image_bonus->show();
    bonusTimer.start();
}

void Tchat::bonusFrameTimer()
{
    if (bonusFrame >= 5) {
        bonusTimer.stop();
        return;
    }
    ++bonusFrame;
    ui->image_bonus->setPixmap(QPixmap(QStringLiteral(":/pictures/bonus%1.png").arg(bonusFrame)));
}

void Tchat::timeup()
{
    currentplayer = 0;
    ui->label_status->setText(QStringLiteral("Time is Up!"));
    playsounds(QStringLiteral("roundover"));
    ui->button_done->hide();
    ui->button_clear->hide();
    ui->button_shuffle->hide();
    hideArrows();
}

void Tchat::winner(const QByteArray &data)
{
    hideArrows();
    ui->image_bonus->hide();
    currentplayer = 0;
    clearSlots();
    wire::FieldReader r(data);
    const QByteArray name = r.field();
    const bool seated = myslot >= 1 && myslot <= seatcount;
    const QString own = seated ? seatLabel("label_playername", myslot)->text() : QString();
    const QString text = seated && own.toLatin1() == name ? QStringLiteral("You have won the game!")
                                                          : QString::fromLatin1(name) + QStringLiteral(" has won the game!");
    ui->label_winner1->setText(text);
    ui->label_winner2->setText(text);
    ui->label_status->setText(QStringLiteral("GAME OVER!"));
    ui->panel_winner->show();
    playsounds(QStringLiteral("gameover"));
    addlinetochat("0+" + text.toLatin1());
    if (ishost)
        ui->button_start->show();
    if (seated) {
        if (own.toLatin1() == name)
            addgame(QStringLiteral("addtomine"));
        else if (name != "Team A" && name != "Team B")
            addgame(QString::fromLatin1(name));
    }
}

void Tchat::Timer2Timer()
{
    --Timer2Tag;
    if (Timer2Tag < 1) {
        Timer2.stop();
        ui->label_timer->setText(QStringLiteral("Time: 0:00"));
        ui->image_timer->resize(0, ui->image_timer->height());
        return;
    }
    ui->image_timer->resize(Timer2Tag, ui->image_timer->height());
    ui->label_timer->setText(QStringLiteral("Time: %1:%2").arg(Timer2Tag / 60).arg(Timer2Tag % 60, 2, 10, QLatin1Char('0')));
    if (Timer2Tag >= 1 && Timer2Tag <= 9)
        playsounds(QStringLiteral("timer"));
}

// The tally arrives with its own window; these are the places it is told.
void Tchat::loadchecklist()
{
}

void Tchat::addgame(const QString &who)
{
    emit tallyGame(who);
}

void Tchat::tallyWord(const QByteArray &word, int points)
{
    emit tallyWordMade(word, points);
}
