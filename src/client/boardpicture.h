#pragma once
// A small picture of a board as it stood, with a word's path traced on it:
// where a turn's best word was, before the tiles slid and the board moved
// on. It pops up beside the pointer and goes at the next click or key.

#include "rules.h"

#include <QWidget>

class BoardPicture : public QWidget {
    Q_OBJECT
public:
    // A popup by default; a plain child widget with no flags.
    explicit BoardPicture(QWidget *parent, Qt::WindowFlags flags = Qt::Popup);

    // The board with the path traced (its squares in order), another path
    // (the word played) traced fainter, and a caption above.
    void setPicture(
            const rules::Board &board, const rules::Path &path, const QString &caption, const rules::Path &played = {});
    // Shows it as a popup at a point on the screen.
    void showAt(const rules::Board &board, const rules::Path &path, const QString &caption, const QPoint &at);
    const rules::Path &played() const { return m_played; }

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
    rules::Path m_path, m_played;
    QString m_caption;
};
