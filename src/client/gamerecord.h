#pragma once
// A game looked back on, turn by turn: for each turn of the player, the
// board as it stood, the word played (if any) and its points, and the best
// word the board held with its points and path. Kept for the last game of
// the run, and saved to or read from a small text file:
//
//   Wordmire game record 1
//   player <name>
//   turn <board> <word> <points> <path> <best> <best points> <best path>
//   ...
//
// <board> is 49 characters, column by column from the left (top to bottom
// in each), a letter A-Z or '.' for an empty square. A word is 1 to 7
// letters A-Z, or '-' for none; a path is its squares in order as "x,y"
// joined by ';' (x and y 0 to 6), or '-' with no word. Points are 0 to
// 99999. Fields are separated by single spaces; the name is the rest of its
// line. A file that does not read so is refused whole, with the line at fault.

#include "rules.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct ReviewTurn {
    rules::Board board{};
    QByteArray word; // empty: none played
    int points = 0;
    rules::Path path;
    QByteArray best; // empty: the board held no word
    int bestPoints = 0;
    rules::Path bestPath;
    bool operator==(const ReviewTurn &) const = default;
};

struct GameRecord {
    QByteArray player;
    QList<ReviewTurn> turns;
    bool operator==(const GameRecord &) const = default;

    // The player's points against the best's over the whole game, in percent
    // (100 when no turn held a word).
    int share() const;

    QByteArray toText() const;
    // The record a text holds; none, and why in `error`, when it does not
    // read as one.
    static std::optional<GameRecord> fromText(const QByteArray &text, QString *error);

    static constexpr qsizetype MaxBytes = 1 << 20;
    static constexpr int MaxTurns = 2000;
    static constexpr int MaxPoints = 99999;
};

// The share of the best a word's points are, in percent (100 with no best).
int shareOf(int points, int best);
