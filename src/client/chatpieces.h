#pragma once
// How a chat line reads on the screen: a head up to the first ":" (the
// sender's name, shown in the sender's style), then words, links and smiley
// codes.

#include <QByteArray>
#include <QList>

#include <optional>

namespace chat {

// Smiley pictures one line shows; later codes stay text. Every picture costs
// layout time on the thread that also runs a hosting copy's game.
inline constexpr int MaxSmileys = 24;

struct Piece {
    enum Kind { Word, Link, Smiley };
    Kind kind = Word;
    QByteArray text; // words and links keep their one trailing space
    int smiley = 0; // image index 0..17
    QByteArray target; // a link's web address, http or https
};

// The web address a chat word leads to: from its first "http://",
// "https://" or "www." on ("www." read as http), when that is a well-formed
// http or https address with a host. Anything else (file:, smb:, mailto:,
// javascript: and the like) leads nowhere and shows as a plain word.
std::optional<QByteArray> linkTarget(QByteArrayView word);
// The same, with where in the word the address starts.
struct FoundLink {
    qsizetype start;
    QByteArray target;
};
std::optional<FoundLink> findLink(QByteArrayView word);

struct Line {
    int sender = 0; // 0 = system line
    int style = 0; // 0 for system lines, sender + 5 otherwise
    QByteArray head; // up to and including the first ":", may be empty
    QList<Piece> pieces;
};

// A line from its sender (0 for the game's own lines, as is any number
// that is not a user's slot).
Line parse(int sender, const QByteArray &text);

} // namespace chat
