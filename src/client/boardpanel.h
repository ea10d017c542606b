#pragma once
// The board as the player uses it: a click picks the cell under it (a right
// click submits), typing a word traces it (Tab chooses among the paths that
// fit, Backspace takes the last tile back, Escape clears, Enter submits), the
// arrow keys move the keyboard's cell or, after a made word, choose the
// slide. Every step is one of the model's operations, so the host sees the
// same messages whatever the device. It also eases what the board shows:
// other players' words traced before they go, the points rising, the slide.

#include "clientmodel.h"

#include <QObject>

namespace ui {
class AnimationClock;
}
class BoardView;
class QFrame;
class QKeyEvent;
class QLabel;

class BoardPanel : public QObject {
    Q_OBJECT
public:
    // The frame the board sits in, and the board.
    struct Widgets {
        QFrame *frame;
        BoardView *view;
    };
    BoardPanel(const Widgets &w, ClientModel &model, ui::AnimationClock &motion, QWidget *window);

    QLabel *risingPoints() const { return m_points; }
    void cellReleased(Qt::MouseButton button, QPoint cell);
    // A key on the board; true when it was the board's.
    bool boardKey(QKeyEvent *key);
    // The keyboard goes to the board (at the start of the own turn).
    void takeFocus();

signals:
    // A pick or key that cannot be, said in the status line.
    void refused(const QString &text, bool shake);
    void soundRequested(Sound sound);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QByteArray tracedLetters() const;
    void traceTo(const std::vector<QPoint> &target);
    void risePoints(const ClientModel::WordMade &made);
    void traceWord(const ClientModel::WordMade &made);
    void slide();

    ClientModel &m_model;
    ui::AnimationClock &m_motion;
    QWidget *m_window;
    BoardView *m_view;
    QLabel *m_points;
    int m_traceChoice = 0; // which of the fitting paths Tab has chosen
};
