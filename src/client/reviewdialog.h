#pragma once
// The review of a game: each turn of the player's with the word played and
// its points, the board's best word and its points, and the share of the
// best, the whole game's sum last. The chosen turn's board is drawn as it
// stood, the best word traced on it and the word played fainter beneath.
// A review is saved to a file and opened again (see gamerecord.h).

#include "gamerecord.h"

#include <QDialog>

class BoardPicture;
class QLabel;
class QPushButton;
class QTableWidget;

class ReviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReviewDialog(QWidget *parent);

    void setRecord(const GameRecord &record);
    const GameRecord &record() const { return m_record; }

    // Saving and opening, by a file's name (the buttons ask for one).
    bool saveTo(const QString &file);
    bool openFrom(const QString &file);

    QTableWidget *table() const { return m_table; }
    BoardPicture *picture() const { return m_picture; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *openButton() const { return m_open; }

private:
    void showTurn(int row);

    GameRecord m_record;
    QLabel *m_title;
    QTableWidget *m_table;
    BoardPicture *m_picture;
    QPushButton *m_save;
    QPushButton *m_open;
};
