#pragma once
// The four seats: each one's name, score, last word, shuffles left and the
// watching mark; the team totals; whose turn it is; and the popup the hosting
// user opens on a seat. Drawn from the model's seats only.

#include "clientmodel.h"

#include <QObject>

#include <array>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QWidget;

class SeatsView : public QObject {
    Q_OBJECT
public:
    static constexpr int Seats = 4;

    struct Seat {
        QLabel *name, *score, *bonus, *eyes, *shuffles;
    };
    // The seats' own widgets on the form; myTurn is the frame behind the
    // own seat on the own turn.
    struct Widgets {
        std::array<Seat, Seats> seats; // seats 1 to 4
        QLabel *teamA, *teamB, *turnMark;
        QAction *justWatch;
        QFrame *myTurn;
    };
    SeatsView(const Widgets &w, ClientModel &model, QWidget *window);

    QLabel *seatLabel(const char *kind, int seat) const;
    // The area of a seat's name, score and last word, for panels behind them.
    QRect seatBox(int seat) const;
    bool myTurnHighlighted() const;

    // The seat popup: its items set for the label it opens on.
    void preparePopup(QLabel *label);
    int popupTag() const { return m_popupTag; }
    QMenu *kickMenu() const { return m_kick; }
    QAction *removeItem() const { return m_remove; }
    QAction *setWatchItem() const { return m_setWatch; }
    QAction *unsetWatchItem() const { return m_unsetWatch; }

    void RemoveFromGame1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();
    void JustWatch1Click();

    // The player's text size, as far as the seat boxes' lines have room
    // (they are laid out to the pixel): at most MaxSeatTextSize.
    void setTextSize(int points);
    static constexpr int MaxSeatTextSize = 10;

private:
    void namePopup(QLabel *label, const QPoint &pos);
    void drawSeat(int seat);
    void showNoGame();
    void showShuffles(int seat, int left);
    void setTeamTotals(const QString &teamA, const QString &teamB);
    void setTeamColours(bool team);
    void gameStarted(bool team, int shuffles);
    void turnGiven(int seat, int shufflesLeft);
    void statsReceived(const ClientModel::GameStats &stats);
    void wordMade(const ClientModel::WordMade &made);
    void gameOver();

    ClientModel &m_model;
    std::array<Seat, Seats + 1> m_seats{}; // 1..4
    QLabel *m_teamA, *m_teamB, *m_turnMark;
    QAction *m_justWatch;
    QFrame *m_myTurnFrame;
    std::array<QFrame *, 2> m_teamBacks{}; // behind seats 2 and 4 in a team game
    QMenu *m_kick;
    QAction *m_remove, *m_setWatch, *m_unsetWatch;
    int m_popupTag = 0;
};
