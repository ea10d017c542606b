#pragma once
// What the player missed: after each of their own turns, the best word the
// board held as a chat line ("Best here: STORM for 60 (you: CAT for 27)"),
// and at the game's end the best word of the last board for the results.
// Options → "Show the Best Word" turns both off. The board is searched on the
// window's thread: a whole board takes about a quarter of a millisecond.
// Clicking a "Best here" line shows the board as it stood, before the
// slide, with the best word's path traced on it.

#include "clientmodel.h"
#include "gamerecord.h"
#include "solver.h"

#include <QObject>

#include <optional>

class BoardPicture;
class ChatView;
class Preferences;
class QAction;

class BestWord : public QObject {
    Q_OBJECT
public:
    BestWord(QAction *toggle, ClientModel &model, Preferences &prefs, ChatView &chat, QObject *parent);

    // The best word on this board by the built-in list, if it holds any.
    static std::optional<game::FoundWord> bestOn(const rules::Board &board);

    // The picture shown for a clicked line, made at the first click.
    BoardPicture *picture() const { return m_picture; }
    // How many of the latest lines can still be shown on their board.
    static constexpr int KeptBoards = 50;

    // The player's turns in the game being played, or the last one ended:
    // each board, the word played and the board's best.
    const GameRecord &record() const { return m_record; }

signals:
    // For the results: the last board's best word, empty when not shown.
    void lastBoardBest(const QString &text);
    // The game has ended with turns of the player's to review.
    void reviewReady(bool any);

private:
    void turnGiven(int seat);
    void turnEnded(const QByteArray &word, int points, const rules::Path &path);
    void gameOver();
    void show(const QString &target);

    QAction *m_toggle;
    ClientModel &m_model;
    Preferences &m_prefs;
    ChatView &m_chat;
    bool m_myTurn = false;
    // The board the last turn was played on (as it stood before its word).
    std::optional<rules::Board> m_lastBoard;
    // The boards of the latest lines, by the number each line links to.
    struct Shown {
        int id;
        rules::Board board;
        game::FoundWord best;
    };
    std::vector<Shown> m_shown;
    int m_nextId = 1;
    BoardPicture *m_picture = nullptr;
    GameRecord m_record;
};
