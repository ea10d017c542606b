#pragma once
// Every word a board holds: each path of touching, unused tiles (up to seven)
// whose letters make a word of the list, scored by the host's own rules. Each
// word is listed once, on its best-scoring path. A pure function over the
// board and the list's bytes, so it can run on any thread.

#include "rules.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

namespace game {

struct FoundWord {
    QByteArray word; // upper case, as the host checks it
    rules::Path path;
    int score = 0;
};

// The word list as the program carries it: fixed records of `recordSize`
// bytes, each a mark byte and then the word in upper case padded with
// spaces, sorted.
struct WordRecords {
    QByteArrayView bytes;
    int recordSize = 15;
    qsizetype count() const { return recordSize > 1 ? bytes.size() / recordSize : 0; }
    // The k-th letter of record i, a space past the word's end.
    char at(qsizetype i, int k) const { return k < recordSize - 1 ? bytes[i * recordSize + 1 + k] : ' '; }
};

// The list as a tree of letters, built once: each prefix of up to seven
// letters (no longer path can be traced) is a node that says which letters
// may follow it and whether it is a word itself. The followers of a node are
// side by side, so stepping to one is a bit test and a count.
class WordTree {
public:
    explicit WordTree(const WordRecords &list);
    struct Node {
        quint32 follows = 0; // bit k: letter 'A' + k may follow; WordBit: a word
        quint32 first = 0; // where the first follower is
    };
    static constexpr quint32 WordBit = quint32(1) << 31;
    const std::vector<Node> &nodes() const { return m_nodes; }

private:
    void fill(quint32 at, const WordRecords &list, qsizetype lo, qsizetype hi, int depth);
    std::vector<Node> m_nodes;
};

// Best first: the highest score, then the longer word, then A to Z.
std::vector<FoundWord> solveBoard(const rules::Board &board, const WordTree &tree);
// A tree made for the one board (a small list's, as tests use).
std::vector<FoundWord> solveBoard(const rules::Board &board, const WordRecords &list);

// The line a player reads after a turn: "Best here: STORM for 60 (you: CAT
// for 27)", "(you: no word)" when the turn passed without one.
QByteArray bestWordLine(const FoundWord &best, const QByteArray &mine, int minePoints);

} // namespace game
