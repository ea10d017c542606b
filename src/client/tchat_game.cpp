// The course of a game as the host reports it: start, board, turns, the
// countdown, shuffles, the bonus, time-ups and the winner.

#include "tchat.h"
#include "ui_tchat.h"

#include "messages.h"
#include "ttallylist.h"
#include "rules.h"

#include <QAccessible>
#include <QPainter>

namespace {
const QColor kTeamB(0xBA, 0xCA, 0xEF); // 0xEFCABA as 0x00BBGGRR
}

void Tchat::setupGame()
{
    imagelist_letters.loadClassic();
    ui->paintbox_board->setBoard(&m_model.board(), &imagelist_letters);
    connect(ui->paintbox_board, &BoardView::released, this, &Tchat::paintbox_boardMouseUp);
    ui->paintbox_board->installEventFilter(this);

    // The whole client area carries the background, so it runs on unbroken
    // round the centred panel.
    ui::applyBackground(centralWidget());

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
    for (const auto &b : buttons)
        b.button->setAccessibleName(QString::fromLatin1(b.picture).mid(7).replace(QLatin1String("shuffle"), QLatin1String("Zephyr shuffle")));
    connect(ui->button_clear, &QPushButton::clicked, this, &Tchat::button_clearClick);
    connect(ui->button_done, &QPushButton::clicked, this, &Tchat::button_doneClick);
    connect(ui->button_shuffle, &QPushButton::clicked, this, &Tchat::button_shuffleClick);

    for (int d = 1; d <= 4; ++d) {
        QLabel *arrow = direction(d);
        arrow->setPixmap(QPixmap(QStringLiteral(":/pictures/arrow%1.png").arg(d)));
        static const char *const slides[] = {"Slide down", "Slide left", "Slide up", "Slide right"};
        arrow->setAccessibleName(QString::fromLatin1(slides[d - 1]));
        arrow->setProperty("Tag", 0);
        arrow->setCursor(Qt::PointingHandCursor);
        arrow->installEventFilter(this);
        arrow->hide();
    }
    for (int k = 1; k <= 7; ++k) {
        letterSlot(k)->setProperty("Tag", k);
        letterSlot(k)->setAccessibleName(QStringLiteral("Word letter %1").arg(k));
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
        p.drawPixmap(0, 0, imagelist_letters[rules::tile::EmptySlot]);
    } else {
        p.drawPixmap(0, 0, imagelist_letters[rules::tile::Plain]);
        p.drawPixmap(2, 2, imagelist_letters[code]);
    }
    p.end();
    letterSlot(k)->setPixmap(pm);
    slotCodes[size_t(k)] = code;
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

void Tchat::setTeamColours(bool team)
{
    const QString colour = team ? kTeamB.name() : QStringLiteral("black");
    for (int seat : {2, 4})
        for (const char *kind : {"label_playername", "label_score", "label_bonus"})
            seatLabel(kind, seat)->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    // Team B's light colour reads only on something dark: its seats and its
    // total get a dark backing.
    ui->label_team2->setStyleSheet(team ? QStringLiteral("color: %1; background: rgba(60,40,30,200); padding: 0 3px;"
                                                         " border-radius: 3px;")
                                              .arg(colour)
                                        : QStringLiteral("color: %1;").arg(colour));
    ui->label_team2->adjustSize();
    for (int k = 0; k < 2; ++k) {
        QFrame *&back = m_teamBacks[size_t(k)];
        const int seat = k == 0 ? 2 : 4;
        if (!back) {
            back = new QFrame(ui->panel_board);
            back->setObjectName(QStringLiteral("frame_teamb%1").arg(seat));
            back->setStyleSheet(QStringLiteral("QFrame { background: rgba(60,40,30,200); border-radius: 5px; }"));
            back->setGeometry(seatBox(seat));
            back->stackUnder(seatLabel("label_playername", seat));
        }
        back->setVisible(team);
    }
    ui->label_team1->setVisible(team);
    ui->label_team2->setVisible(team);
}

void Tchat::startthegame(const QByteArray &playto, int timePerTurn, bool team, int shuffles)
{
    for (QWidget *w : {static_cast<QWidget *>(ui->image_bonus), static_cast<QWidget *>(ui->button_clear),
                       static_cast<QWidget *>(ui->button_done), static_cast<QWidget *>(ui->button_shuffle),
                       static_cast<QWidget *>(ui->panel_winner), static_cast<QWidget *>(ui->button_start)})
        w->hide();
    ui->memo_words->clear();
    m_results->hide();
    ui->label_playtoscore->setText(QStringLiteral("Play to Score: ") + QString::fromLatin1(playto));
    ui->label_Timeperturn->setText(QStringLiteral("Time Per Turn: %1").arg(timePerTurn));
    ui->label_team1->setText(QStringLiteral("Team A: 0 "));
    ui->label_team2->setText(QStringLiteral("Team B: 0 "));
    for (int seat = 1; seat <= 4; ++seat) {
        seatLabel("label_bonus", seat)->clear();
        seatLabel("label_score", seat)->clear();
        seatLabel("label_score", seat)->show();
        showShuffles(seat, shuffles);
    }
    setTeamColours(team);
    loadchecklist();
}

void Tchat::getnextplayer(int seat, int left)
{
    ui->image_bonus->hide();
    showShuffles(seat, left);
    if (left > 0)
        ui->button_shuffle->show();
    if (m_model.isSeat(seat)) {
        const QLabel *name = seatLabel("label_playername", seat);
        ui->image_Turn->move(name->x() - 12, name->y() - 3);
        ui->image_Turn->show();
    }
    showTurnBanner(seat);
    if (m_model.myTurn()) {
        setStatus(QStringLiteral("Your Turn"));
        focusBoardForTurn();
        playsounds(turnSoundName());
        ui->button_clear->show();
        ui->button_done->show();
    } else {
        setStatus(m_model.seat(seat).name + QStringLiteral("'s Turn"));
        ui->button_shuffle->hide();
    }
}

void Tchat::gamestats(const ClientModel::GameStats &s)
{
    ui->label_playtoscore->setText(QStringLiteral("Play to Score: ") + QString::fromLatin1(s.playto));
    ui->label_Timeperturn->setText(QStringLiteral("Time Per Turn: %1").arg(s.timePerTurn));
    for (int seat = 1; seat <= 4; ++seat) {
        seatLabel("label_score", seat)->setText(QString::fromLatin1(s.scores[size_t(seat)]));
    }
    ui->label_team1->setText(QStringLiteral("Team A : ") + QString::fromLatin1(s.teamA));
    ui->label_team2->setText(QStringLiteral("Team B : ") + QString::fromLatin1(s.teamB));
    setTeamColours(s.team);
    if (s.timeleft > 0) {
        const int cur = m_model.currentplayer();
        if (m_model.myTurn())
            setStatus(QStringLiteral("Create a Word!"));
        else if (m_model.isSeat(cur))
            setStatus(m_model.seat(cur).name + QStringLiteral("'s turn."));
        else
            setStatus(QString());
    }
}

// The status line says whose turn it is and what each word scored; screen
// readers are told each time it changes.
void Tchat::setStatus(const QString &text)
{
    ui->label_status->setText(text);
    ui->label_status->setAccessibleName(text);
    QAccessibleEvent event(ui->label_status, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void Tchat::bonus()
{
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
    setStatus(QStringLiteral("Time is Up!"));
    ui->button_done->hide();
    ui->button_clear->hide();
    ui->button_shuffle->hide();
}

void Tchat::winner(const QString &text, bool)
{
    ui->image_bonus->hide();
    ui->label_winner1->setText(text);
    ui->label_winner2->setText(text);
    setStatus(QStringLiteral("GAME OVER!"));
    // Nothing runs any more: no turn marker, no time, no arrows to choose.
    ui->image_Turn->hide();
    m_banner->hide();
    m_myTurnFrame->hide();
    stopArrowCountdown();
    drawCountdown(0);
    ui->label_timer->clear();
    showResults();
    ui->panel_winner->show();
    ui->panel_winner->raise();
    if (m_model.ishost())
        ui->button_start->show();
}

void Tchat::drawCountdown(int left)
{
    ui->image_timer->resize(left, ui->image_timer->height());
    ui->label_timer->setText(QStringLiteral("Time: %1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0')));
}

void Tchat::setTally(Ttallylist *tally)
{
    m_tally = tally;
    ui::applyBackground(tally);
    tally->setPlayerSource([this] { return otherSeatedPlayers(); });
    connect(this, &Tchat::tallyWordMade, tally, [tally](const QByteArray &word, int points) {
        tally->anotherword();
        tally->addtomineset(points, QString::fromLatin1(word));
    });
    connect(this, &Tchat::tallyGame, tally, &Ttallylist::addgame);
    ui->ViewTally1->setEnabled(true);
    connect(ui->ViewTally1, &QAction::triggered, tally, [this, tally] {
        loadchecklist();
        if (!tally->isVisible())
            ui::centreOn(tally, this);
        tally->show();
        tally->raise();
    });
}

QStringList Tchat::otherSeatedPlayers() const
{
    QStringList names;
    for (int seat = 1; seat <= m_model.seatcount(); ++seat) {
        const QString &name = m_model.seat(seat).name;
        if (seat != m_model.myslot() && name != ClientModel::Waiting)
            names << name;
    }
    return names;
}

void Tchat::loadchecklist()
{
    if (m_tally)
        m_tally->loadchecklist();
}
