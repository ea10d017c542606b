#pragma once
// The win tally as plain data: one grid of text cells, nine columns. Row 0 is
// the local player's own record (games, wins, words, best word and its
// score); each further row one followed opponent (name, then games, the
// opponent's wins, own wins and third-party wins, in total and this session).
// Also the list of the other players of the current game, which decides
// whether anything counts at all.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class TallyModel {
public:
    static constexpr int Columns = 9;
    static constexpr int MaxRows = 10000; // far beyond anybody's opponents
    using Row = std::array<QString, Columns>;

    struct Player {
        QString name;
        bool checked = false; // already tallied
    };

    TallyModel();

    int rowCount() const { return int(m_rows.size()); }
    QString cell(int row, int column) const;
    // The own record's best word as the window shows it: "word (score)".
    QString bestWord() const;

    // "Players In Current Game": the other seated players, each checked when
    // tallied (names compared ignoring case).
    void loadchecklist(const QStringList &otherPlayers);
    const QList<Player> &checklist() const { return m_checklist; }
    // "Players Being Tallied", in grid order (row i + 1).
    QStringList tallied() const;
    bool isTallied(const QString &name) const;
    int rowOf(const QString &name) const; // 0 when not tallied

    // The counting; nothing counts while the current game has no other player.
    void anotherword();
    void addtomineset(int points, const QString &word);
    void addtomineincrease(int column);
    int addit(int column, int row);
    // The end of a game: the winner's name, or "addtomine" when it is us.
    // The checklist must be loaded for this game first.
    void addgame(const QString &winner);

    // Follows a player of the current game (nothing when already tallied).
    bool addOpponent(const QString &name);
    void moverow(int row); // stops following the opponent of that row
    void reset();

    // The plain text of the file: CR LF lines, the counts, then the cells
    // column by column.
    QByteArray toText() const;
    // Reads that text; the session counters start at 0. Nothing when the
    // text is not a whole tally.
    static std::optional<TallyModel> fromText(const QByteArray &text);

private:
    bool counting() const { return !m_checklist.isEmpty(); }
    QList<Row> m_rows;
    QList<Player> m_checklist;
};
