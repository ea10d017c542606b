#include "gamerecord.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>

namespace {

const QByteArray Header = "Wordmire game record 1";

QByteArray pathText(const rules::Path &path)
{
    if (path.empty())
        return "-";
    QByteArrayList squares;
    for (const QPoint &p : path)
        squares << QByteArray::number(p.x()) + ',' + QByteArray::number(p.y());
    return squares.join(';');
}

QByteArray boardText(const rules::Board &board)
{
    QByteArray text;
    for (const auto &column : board)
        for (const int code : column)
            text += code >= 1 && code <= 26 ? char('A' + code - 1) : '.';
    return text;
}

bool readBoard(const QByteArray &text, rules::Board &board)
{
    if (text.size() != rules::Size * rules::Size)
        return false;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '.' && (c < 'A' || c > 'Z'))
            return false;
        board[size_t(i / rules::Size)][size_t(i % rules::Size)] = c == '.' ? rules::Empty : c - 'A' + 1;
    }
    return true;
}

bool readWord(const QByteArray &text, QByteArray &word)
{
    if (text == "-") {
        word.clear();
        return true;
    }
    if (text.isEmpty() || text.size() > 7)
        return false;
    for (const char c : text)
        if (c < 'A' || c > 'Z')
            return false;
    word = text;
    return true;
}

bool readPoints(const QByteArray &text, int &points)
{
    bool ok = false;
    points = text.toInt(&ok);
    // Digits only: no sign, no spaces, no leading '+'.
    return ok && !text.isEmpty() && text.size() <= 5
            && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A path of as many squares as its word has letters, each touching the one
// before and none used twice; '-' exactly when there is no word.
bool readPath(const QByteArray &text, const QByteArray &word, rules::Path &path)
{
    path.clear();
    if (text == "-")
        return word.isEmpty();
    const QByteArrayList squares = text.split(';');
    if (squares.size() != word.size())
        return false;
    for (const QByteArray &square : squares) {
        if (square.size() != 3 || square[1] != ',')
            return false;
        const int x = square[0] - '0', y = square[2] - '0';
        if (x < 0 || x >= rules::Size || y < 0 || y >= rules::Size)
            return false;
        const QPoint p(x, y);
        if (std::find(path.begin(), path.end(), p) != path.end())
            return false;
        if (!path.empty() && (std::abs(path.back().x() - x) > 1 || std::abs(path.back().y() - y) > 1))
            return false;
        path.push_back(p);
    }
    return true;
}

// The letters along a path on the board are its word's.
bool spells(const rules::Board &board, const rules::Path &path, const QByteArray &word)
{
    for (size_t k = 0; k < path.size(); ++k)
        if (board[size_t(path[k].x())][size_t(path[k].y())] != word[qsizetype(k)] - 'A' + 1)
            return false;
    return true;
}

} // namespace

int shareOf(int points, int best)
{
    return best <= 0 ? 100 : int(qRound(100.0 * points / best));
}

int GameRecord::share() const
{
    int points = 0, best = 0;
    for (const ReviewTurn &t : turns) {
        points += t.points;
        best += t.bestPoints;
    }
    return shareOf(points, best);
}

QByteArray GameRecord::toText() const
{
    QByteArray text = Header + "\nplayer " + player + '\n';
    for (const ReviewTurn &t : turns) {
        text += "turn " + boardText(t.board) + ' ' + (t.word.isEmpty() ? QByteArray("-") : t.word) + ' '
                + QByteArray::number(t.points) + ' ' + pathText(t.path) + ' '
                + (t.best.isEmpty() ? QByteArray("-") : t.best) + ' ' + QByteArray::number(t.bestPoints) + ' '
                + pathText(t.bestPath) + '\n';
    }
    return text;
}

std::optional<GameRecord> GameRecord::fromText(const QByteArray &text, QString *error)
{
    const auto refuse = [error](int line, const QString &why) {
        if (error)
            *error = line > 0 ? QCoreApplication::translate("GameRecord", "Line %1: %2").arg(line).arg(why) : why;
        return std::nullopt;
    };
    if (text.size() > MaxBytes)
        return refuse(0, QCoreApplication::translate("GameRecord", "The file is too large to be a game record."));
    QByteArrayList lines = text.split('\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (lines.value(0) != Header)
        return refuse(1, QCoreApplication::translate("GameRecord", "This is not a Wordmire game record."));
    if (lines.size() < 2 || !lines[1].startsWith("player "))
        return refuse(2, QCoreApplication::translate("GameRecord", "The player's name is missing."));
    GameRecord record;
    record.player = lines[1].mid(7);
    if (record.player.size() > 64)
        return refuse(2, QCoreApplication::translate("GameRecord", "The player's name is too long."));
    if (lines.size() - 2 > MaxTurns)
        return refuse(0, QCoreApplication::translate("GameRecord", "The record holds more turns than any game."));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const int number = int(i + 1);
        const QByteArrayList f = lines[i].split(' ');
        if (f.size() != 8 || f[0] != "turn")
            return refuse(number, QCoreApplication::translate("GameRecord", "A turn has eight fields."));
        ReviewTurn t;
        if (!readBoard(f[1], t.board))
            return refuse(number, QCoreApplication::translate("GameRecord", "The board does not read."));
        if (!readWord(f[2], t.word) || !readWord(f[5], t.best))
            return refuse(number, QCoreApplication::translate("GameRecord", "A word does not read."));
        if (!readPoints(f[3], t.points) || !readPoints(f[6], t.bestPoints))
            return refuse(number, QCoreApplication::translate("GameRecord", "Points do not read."));
        if (!readPath(f[4], t.word, t.path) || !readPath(f[7], t.best, t.bestPath))
            return refuse(number, QCoreApplication::translate("GameRecord", "A path does not fit its word."));
        if (t.word.isEmpty() != (t.points == 0 && t.path.empty()) || t.best.isEmpty() != (t.bestPoints == 0))
            return refuse(number, QCoreApplication::translate("GameRecord", "Points are given for no word."));
        if (!spells(t.board, t.path, t.word) || !spells(t.board, t.bestPath, t.best))
            return refuse(number,
                    QCoreApplication::translate("GameRecord", "A word is not where its path runs on the board."));
        record.turns << t;
    }
    return record;
}
