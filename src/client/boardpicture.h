#pragma once
// A small picture of a board as it stood, with a word's path traced on it:
// where a turn's best word was, before the tiles slid and the board moved
// on. It pops up beside the pointer and goes at the next click or key.

#include "rules.h"

#include <QWidget>

class BoardPicture : public QWidget {
    Q_OBJECT
public:
    explicit BoardPicture(QWidget *parent);

    // Shows the board with the path traced (its squares in order) and a
    // caption above it, at a point on the screen.
    void showAt(const rules::Board &board, const rules::Path &path, const QString &caption, const QPoint &at);

    const rules::Board &board() const { return m_board; }
    const rules::Path &path() const { return m_path; }
    QString caption() const { return m_caption; }

    static constexpr int Cell = 30; // a square's side, in pixels
    static constexpr int Margin = 8;
    static constexpr int CaptionHeight = 22;
    // Where a square of the board is drawn.
    static QRect squareRect(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    rules::Board m_board{};
    rules::Path m_path;
    QString m_caption;
};
