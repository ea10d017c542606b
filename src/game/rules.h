#pragma once
// The rules of the game as plain functions over plain data: letters and their
// values, bonus squares, path checks, scoring, shifting, the turn order, the
// winner test and the computer opponent's trace. The host holds the state and
// calls these; tests pin them with their own inputs and random sources.

#include "playername.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QPoint>
#include <QRandomGenerator>

#include <array>
#include <optional>
#include <vector>

namespace rules {

inline constexpr int Size = 7;
inline constexpr int Empty = 0;
inline constexpr int Removed = 27;
inline constexpr int Seats = 4;
// The computer opponent's name: seat 2's when nobody holds it.
using wire::KlotName;
inline constexpr int SevenLetterBonus = 20;
inline constexpr int BonusSquarePoints = 20;
// How long the host waits for a person to choose the slide's direction.
inline constexpr int DirectionWaitSeconds = 5;
// anybonus() answers these for the word squares; the scorer counts them.
inline constexpr int DoubleWordMarker = 500;
inline constexpr int TripleWordMarker = 1000;

// Codes of the tile pictures both sides agree on: 1..26 are the letters,
// Removed marks a used tile on the host's board, the two pick marks are drawn
// over the client's picked tiles (every pick but the last, and the last), and
// the square pictures sit under the tiles.
namespace tile {
inline constexpr int PickMark = 28;
inline constexpr int LastPickMark = 29;
inline constexpr int TripleLetter = 27; // shares its picture index with Removed
inline constexpr int Plain = 30;
inline constexpr int BonusSquare = 31;
inline constexpr int DoubleLetter = 32;
inline constexpr int DoubleWord = 33;
inline constexpr int TripleWord = 34;
inline constexpr int EmptySlot = 35;
} // namespace tile

// The fixed bonus squares, the same in every game.
enum class Square { Plain, Bonus, DoubleLetter, TripleLetter, DoubleWord, TripleWord };
Square squareAt(int x, int y);

using Board = std::array<std::array<int, Size>, Size>; // [x][y]
using Path = std::vector<QPoint>;

// The letter supply: r from 1 to 98 picks a letter code by the game's weights.
int letterForDraw(int r);
int drawLetter(QRandomGenerator &rng);

// 'a'..'z' for 1..26, '*' for 27..29, 't' for anything else.
char convertoletter(int code);
int letterworth(int code);

// A square's bonus for a letter of the given value: 20 on the Bonus square,
// the value again on a Double Letter, twice it on a Triple Letter, the word
// markers on Double and Triple Word squares (counted by the scorer), else 0.
int anybonus(int x, int y, int value);

inline bool onBoard(int x, int y)
{
    return x >= 0 && x < Size && y >= 0 && y < Size;
}
// Neighbours in any of the eight directions (a square does not touch itself).
bool touches(QPoint a, QPoint b);

// The score of a word on these squares, in path order.
int scoreWord(const Board &board, const Path &tiles);

// Slides the remaining tiles toward one edge (1 down, 2 left, 3 up, 4 right;
// anything else counts as down); gaps gather at the other edge. The host's
// gaps are Removed tiles, the client's empty cells.
void shift(Board &board, int direction, int gap = Removed);
// Where each tile came from in the shift above: for every cell after the
// shift, the source cell's x * Size + y, or -1 where no tile arrived.
Board slideSources(const Board &before, int direction, int gap = Removed);

// Who sits where, as far as the turn order cares.
struct Seating {
    std::array<bool, Seats + 1> active{}; // index 1..4
    bool teamgame = false;
};
bool playsSeat(int seat, const Seating &s);
// The seat that plays after `seat` (0 = before the first turn).
int nextSeat(int seat, const Seating &s);

struct Standing {
    bool teamgame = false;
    int playto = 0;
    std::array<int, Seats + 1> score{}; // index 1..4
    std::array<int, 2> teamscore{};
    std::array<QByteArray, Seats + 1> name{};
};
// The winner's name once the target is reached by one player or team alone,
// else nothing. Only meaningful at the end of a full cycle of turns.
std::optional<QByteArray> winner(const Standing &s);

// The computer opponent's greedy trace of one word (lower case), or nothing.
// After the first letter it never steps into row 0 or column 0.
std::optional<QPoint> checkpoint(const Board &board, char letter, QPoint from);
std::optional<Path> getpoint(const Board &board, const QByteArray &word, int x, int y);
std::optional<Path> checkforthere(const Board &board, const QByteArray &word);

// The same greedy trace, answered from tables built once per board, for an
// attempt that may try thousands of words. Gives exactly checkforthere's
// answers.
// The word list prepared for the search: each word's letters as indices and
// the set of letters it needs.
struct KlotWords {
    struct Word {
        QByteArray text;
        quint32 needs = 0; // bit per letter; 0 for a word that is not plain a-z
        qint8 len = 0;
        std::array<qint8, 7> letters{};
    };
    KlotWords() = default;
    // Klot's own common words, less any it never plays.
    explicit KlotWords(const QByteArrayList &words, const QByteArrayList &never = {});
    std::vector<Word> words;
    // Whether a word (in any case) is one Klot never plays, and whether it
    // is one of its own common words.
    bool isNever(QByteArrayView word) const;
    bool isCommon(QByteArrayView word) const;

private:
    std::vector<QByteArray> m_never, m_common; // sorted, lower case
};

class KlotSearch {
public:
    explicit KlotSearch(const Board &board);
    std::optional<Path> trace(const QByteArray &word) const;
    std::optional<Path> trace(const KlotWords::Word &word) const;

private:
    const Board &m_board;
    quint32 m_present = 0; // letters on the board
    std::array<std::array<qint8, 26>, 49> m_next{}; // greedy step: square, letter -> square or -1
    std::array<std::array<qint8, 49>, 26> m_squares{}; // squares of each letter, in search order
    std::array<int, 26> m_count{};
};

// Tries the words from just after a random start, in list order, wrapping to
// index 1 (never 0), each of 4 to 7 letters at most once; the first traceable
// one wins. `start` is the random draw from 0 to N - 2.
struct KlotMove {
    QByteArray word;
    Path path;
    int index = 0; // in the list; the next search may start after it
};
std::optional<KlotMove> klotChoose(const Board &board, const KlotWords &words, int start);

} // namespace rules
