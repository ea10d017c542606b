#include "seatsview.h"
#include "artscale.h"
#include "look.h"

#include "clientmodel.h"

#include <QMenu>
#include <algorithm>
#include <QAction>
#include <QFrame>
#include <QLabel>

namespace {
const QColor kTeamB(0xBA, 0xCA, 0xEF); // 0xEFCABA as 0x00BBGGRR
}

SeatsView::SeatsView(const Widgets &w, ClientModel &model, QWidget *window)
    : QObject(window), m_model(model), m_teamA(w.teamA), m_teamB(w.teamB), m_turnMark(w.turnMark),
      m_justWatch(w.justWatch), m_myTurnFrame(w.myTurn)
{
    for (int seat = 1; seat <= Seats; ++seat)
        m_seats[size_t(seat)] = w.seats[size_t(seat - 1)];
    for (int seat = 1; seat <= Seats; ++seat) {
        const Seat &s = m_seats[size_t(seat)];
        s.name->setProperty("Tag", seat);
        connect(s.name, &QWidget::customContextMenuRequested, this,
                [this, label = s.name](const QPoint &p) { namePopup(label, p); });
        ui::showPicture(s.eyes, QStringLiteral("eyes"));
    }
    for (QLabel *team : {m_teamA, m_teamB}) {
        team->setProperty("Tag", 1);
        team->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(team, &QWidget::customContextMenuRequested, this,
                [this, team](const QPoint &p) { namePopup(team, p); });
    }
    ui::showPicture(m_turnMark, QStringLiteral("turn"));

    // Behind my seat's name and score while it is my turn.
    m_myTurnFrame->setObjectName(QStringLiteral("frame_myturn"));
    ui::setLook(m_myTurnFrame, {{}, QColor(255, 214, 74, 170), QColor(0xc8, 0x10, 0x2e), 2, 5, {}});
    showNoGame();

    m_kick = new QMenu(window);
    m_remove = m_kick->addAction(tr("Remove From Game"), this, &SeatsView::RemoveFromGame1Click);
    m_setWatch = m_kick->addAction(tr("Set to Just Watch"), this, &SeatsView::SettoJustWatch1Click);
    m_unsetWatch = m_kick->addAction(tr("Unset Just Watch"), this, &SeatsView::UnsetJustWatch1Click);
    // The check mark follows the host's confirmation, not the click.
    connect(m_justWatch, &QAction::triggered, this, [this](bool checked) {
        m_justWatch->setChecked(!checked);
        JustWatch1Click();
    });

    ClientModel *m = &model;
    connect(m, &ClientModel::seatChanged, this, &SeatsView::drawSeat);
    connect(m, &ClientModel::cleared, this, [this] {
        showNoGame();
        setTeamColours(false);
    });
    connect(m, &ClientModel::playerJoined, this, [this](int slot) {
        if (m_model.isSeat(slot)) {
            m_seats[size_t(slot)].name->show();
            m_seats[size_t(slot)].score->show();
        }
    });
    connect(m, &ClientModel::gameStarted, this,
            [this](const QByteArray &, int, bool team, int shuffles) { gameStarted(team, shuffles); });
    connect(m, &ClientModel::turnGiven, this, &SeatsView::turnGiven);
    connect(m, &ClientModel::statsReceived, this, &SeatsView::statsReceived);
    connect(m, &ClientModel::shufflesChanged, this, &SeatsView::showShuffles);
    connect(m, &ClientModel::wordMade, this, &SeatsView::wordMade);
    connect(m, &ClientModel::winnerDeclared, this, &SeatsView::gameOver);
}

QLabel *SeatsView::seatLabel(const char *kind, int seat) const
{
    if (seat < 1 || seat > Seats)
        return nullptr;
    const Seat &s = m_seats[size_t(seat)];
    const QByteArray k(kind);
    return k == "label_playername"  ? s.name
            : k == "label_score"    ? s.score
            : k == "label_bonus"    ? s.bonus
            : k == "image_eyes"     ? s.eyes
            : k == "image_shuffles" ? s.shuffles
                                    : nullptr;
}

QRect SeatsView::seatBox(int seat) const
{
    const QLabel *name = m_seats[size_t(seat)].name;
    return QRect(name->x() - 4, name->y() - 3, 152, 46);
}

bool SeatsView::myTurnHighlighted() const
{
    return m_myTurnFrame->isVisible();
}

void SeatsView::namePopup(QLabel *label, const QPoint &pos)
{
    preparePopup(label);
    m_kick->popup(label->mapToGlobal(pos));
}

void SeatsView::preparePopup(QLabel *label)
{
    for (QAction *a : {m_remove, m_setWatch, m_unsetWatch})
        a->setEnabled(m_model.ishost());
    m_popupTag = label->property("Tag").toInt();
    // Nobody to remove from an empty seat (the team labels name no one seat).
    const bool seatLabel = label != m_teamA && label != m_teamB;
    if (seatLabel && m_model.seat(m_popupTag).name == ClientModel::Waiting)
        m_remove->setEnabled(false);
}

// As the window first shows: nobody's score, shuffles or watching mark, no
// teams, no turn.
void SeatsView::showNoGame()
{
    for (int seat = 1; seat <= Seats; ++seat) {
        const Seat &s = m_seats[size_t(seat)];
        s.bonus->clear();
        s.score->setText(QStringLiteral("0"));
        for (QLabel *l : {s.score, s.eyes, s.shuffles})
            l->hide();
    }
    for (QWidget *w : std::initializer_list<QWidget *>{m_teamA, m_teamB, m_turnMark, m_myTurnFrame})
        w->hide();
}

void SeatsView::drawSeat(int seat)
{
    if (!m_model.isSeat(seat))
        return;
    const ClientModel::Seat &s = m_model.seat(seat);
    // An empty seat's mark is the model's own, English; shown in the window's language.
    m_seats[size_t(seat)].name->setText(s.name == ClientModel::Waiting ? tr("<Waiting>") : s.name);
    m_seats[size_t(seat)].eyes->setVisible(s.watching);
    if (seat == m_model.myslot())
        m_justWatch->setChecked(s.watching);
}

void SeatsView::setTextSize(int points)
{
    const int size = std::clamp(points, 6, MaxSeatTextSize);
    for (int seat = 1; seat <= Seats; ++seat) {
        const Seat &s = m_seats[size_t(seat)];
        for (QLabel *line : {s.name, s.score, s.bonus}) {
            QFont f = line->font();
            f.setPointSize(size);
            line->setFont(f);
        }
    }
}

void SeatsView::showShuffles(int seat, int left)
{
    if (seat < 1 || seat > Seats)
        return;
    QLabel *l = m_seats[size_t(seat)].shuffles;
    ui::showPicture(l, QStringLiteral("shuffles%1").arg(qBound(0, left, 5)));
    l->setToolTip(tr("Zephyr Shuffles left: %1").arg(left));
    l->show();
}

void SeatsView::setTeamColours(bool team)
{
    const QColor colour = team ? kTeamB : QColor(Qt::black);
    const QColor backing(60, 40, 30, 200);
    for (int seat : {2, 4}) {
        const Seat &s = m_seats[size_t(seat)];
        for (QLabel *l : {s.name, s.score, s.bonus})
            ui::setLook(l, {colour, {}, {}, 0, 0, {}});
    }
    // Team B's light colour reads only on something dark: its seats and its
    // total get a dark backing.
    ui::setLook(m_teamB,
            team ? ui::Look{colour, backing, {}, 0, 3, QMargins(3, 0, 3, 0)} : ui::Look{colour, {}, {}, 0, 0, {}});
    m_teamB->adjustSize();
    for (int k = 0; k < 2; ++k) {
        QFrame *&back = m_teamBacks[size_t(k)];
        const int seat = k == 0 ? 2 : 4;
        if (!back) {
            back = new QFrame(m_myTurnFrame->parentWidget());
            back->setObjectName(QStringLiteral("frame_teamb%1").arg(seat));
            ui::setLook(back, {{}, backing, {}, 0, 5, {}});
            back->setGeometry(seatBox(seat));
            back->stackUnder(m_seats[size_t(seat)].name);
        }
        back->setVisible(team);
    }
    m_teamA->setVisible(team);
    m_teamB->setVisible(team);
}

// Each total is fitted again whenever it changes: a label sized for
// "Team B: 0" cut a three-digit total short.
void SeatsView::setTeamTotals(const QString &a, const QString &b)
{
    for (auto [label, text] : {std::pair{m_teamA, a}, std::pair{m_teamB, b}}) {
        label->setText(text);
        label->resize(qMax(label->width(), label->sizeHint().width()), label->height());
    }
}

void SeatsView::gameStarted(bool team, int shuffles)
{
    setTeamTotals(tr("Team A: 0 "), tr("Team B: 0 "));
    for (int seat = 1; seat <= Seats; ++seat) {
        const Seat &s = m_seats[size_t(seat)];
        s.bonus->clear();
        s.score->clear();
        s.score->show();
        showShuffles(seat, shuffles);
    }
    setTeamColours(team);
}

void SeatsView::turnGiven(int seat, int left)
{
    showShuffles(seat, left);
    m_myTurnFrame->hide();
    if (!m_model.isSeat(seat))
        return;
    const QLabel *name = m_seats[size_t(seat)].name;
    m_turnMark->move(name->x() - 12, name->y() - 3);
    m_turnMark->show();
    if (m_model.myTurn()) {
        m_myTurnFrame->setGeometry(seatBox(seat));
        m_myTurnFrame->show();
        m_myTurnFrame->stackUnder(m_seats[size_t(seat)].name);
    }
}

void SeatsView::statsReceived(const ClientModel::GameStats &s)
{
    for (int seat = 1; seat <= Seats; ++seat)
        m_seats[size_t(seat)].score->setText(QString::fromLatin1(s.scores[size_t(seat)]));
    setTeamColours(s.team);
    setTeamTotals(tr("Team A : ") + QString::fromLatin1(s.teamA), tr("Team B : ") + QString::fromLatin1(s.teamB));
}

void SeatsView::wordMade(const ClientModel::WordMade &made)
{
    setTeamTotals(tr("Team A: ") + QString::fromLatin1(made.teamA), tr("Team B: ") + QString::fromLatin1(made.teamB));
    for (int s = 1; s <= Seats; ++s)
        m_seats[size_t(s)].bonus->clear();
    if (m_model.isSeat(made.seat)) {
        m_seats[size_t(made.seat)].score->setText(QString::fromLatin1(made.total));
        m_seats[size_t(made.seat)].bonus->setText(QString::fromLatin1(made.word + " +" + made.points));
    }
    m_myTurnFrame->hide();
}

void SeatsView::gameOver()
{
    m_turnMark->hide();
    m_myTurnFrame->hide();
}

void SeatsView::JustWatch1Click()
{
    m_model.toggleJustWatch();
}

void SeatsView::SettoJustWatch1Click()
{
    m_model.setJustWatch(m_popupTag, true);
}

void SeatsView::UnsetJustWatch1Click()
{
    m_model.setJustWatch(m_popupTag, false);
}

void SeatsView::RemoveFromGame1Click()
{
    m_model.kick(m_popupTag);
}
