#pragma once
// The course of the turn around the board: the status line, the banner that
// says whose turn it is, the clock, the game's numbers, the words made so far,
// the slide arrows with the seconds left to choose, the seven-letter bonus,
// and the winner with the final results.

#include "clientmodel.h"

#include <QFont>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <QRect>

#include <array>

namespace ui {
class AnimationClock;
}
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TurnPanel : public QObject {
    Q_OBJECT
public:
    // The panel's own widgets on the form. The banner and the arrows' clock
    // go on the central panel; the results frame lies over the board, whose
    // place the bonus is centred on.
    struct Widgets {
        QLabel *status, *timerBar, *timerText, *playto, *timePerTurn, *bonus, *winner, *winnerShade;
        QFrame *winnerPanel;
        QPlainTextEdit *words;
        std::array<QLabel *, 4> arrows;
        QWidget *central;
        QFrame *results;
        QRect board;
    };
    TurnPanel(const Widgets &w, ClientModel &model, ui::AnimationClock &motion, QWidget *window);

    // Screen readers are told each time the status changes.
    void setStatus(const QString &text);
    // A refused word or pick: the status flashes red for a moment.
    void refuse(const QString &text);

    QLabel *direction(int d) const { return m_arrows[size_t(d - 1)]; }
    QLabel *turnBanner() const { return m_banner; }
    QLabel *arrowCountdown() const { return m_arrowTime; }
    int arrowSecondsLeft() const { return m_arrowTimer.isActive() ? m_arrowLeft : 0; }
    QFrame *resultsPanel() const { return m_results; }
    // The results' rows as shown, best first: "name<TAB>score<TAB>best word".
    QStringList resultRows() const { return m_resultRows; }
    // A line under the final scores (the last board's best word); empty for none.
    void setResultsNote(const QString &note);
    // The results offer a review of the player's turns when there are any.
    void setReviewAvailable(bool available);
    QPushButton *reviewButton() const { return m_review; }
    // A refusal shown in the status line gives way to what it replaced.
    void clearRefusal(const QString &text);
    static QString barColour(int secondsLeft);

    void image_direction1Click(int d);

public slots:
    void bonusFrameTimer();

signals:
    // "Name: WORD for N points.", as the status line said it.
    void wordAnnounced(const QString &line);
    // "Play Again" on the results (the hosting player's copy only).
    void playAgainRequested();
    void reviewRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void gameStarted(const QByteArray &playto, int timePerTurn);
    void turnGiven(int seat);
    void statsReceived(const ClientModel::GameStats &stats);
    void wordMade(const ClientModel::WordMade &made);
    void drawArrows();
    void moved(int direction);
    void drawCountdown(int secondsLeft);
    void winner(const QString &text);
    void showResults();
    void startArrowCountdown();
    void stopArrowCountdown();

    ClientModel &m_model;
    ui::AnimationClock &m_motion;
    QLabel *m_status, *m_banner, *m_timerBar, *m_timerText, *m_playto, *m_timePerTurn, *m_bonus;
    QLabel *m_winner, *m_winnerShade, *m_arrowTime, *m_resultsText;
    QFrame *m_winnerPanel, *m_results;
    QPushButton *m_playAgain = nullptr;
    QPushButton *m_review = nullptr;
    QPlainTextEdit *m_words;
    std::array<QLabel *, 4> m_arrows{};
    QFont m_statusFont; // the status line's own, back after a refusal flashed it
    QStringList m_resultRows;
    QString m_resultsNote;
    QString m_beforeRefusal;
    QString m_barColour;
    QString m_timeBoxColour; // the time's own box in the last seconds; empty: none
    static constexpr int Seconds60 = 60;
    QTimer m_arrowTimer;
    int m_arrowLeft = 0;
    QTimer m_bonusTimer;
    int m_bonusFrame = 0;
};
