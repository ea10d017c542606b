#pragma once
// How a chat line reads: "N+" with the sender number, a head up to the
// first ":", and a body of words, links and smiley codes.

#include <QByteArray>
#include <QList>

#include <optional>

namespace wire {

// The longest chat or action text a window sends. The host cuts off a peer
// whose message passes 4 KiB; the name and colour the line travels with fit
// easily beside this.
inline constexpr qsizetype MaxChatText = 1000;
// Smiley pictures one line shows; later codes stay text. Every picture costs
// layout time on the thread that also runs a hosting copy's game.
inline constexpr int MaxSmileys = 24;

struct ChatPiece {
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

struct ChatLine {
    int sender = 0; // 0 = system line
    int style = 0; // 0 for system lines, sender + 5 otherwise
    QByteArray head; // up to and including the first ":", may be empty
    QList<ChatPiece> pieces;
};

ChatLine parseChatLine(const QByteArray &line);

// Splits a received chat or action text at its first "|" into the line and
// its colour (0x00BBGGRR); red when there is no colour or it does not read.
struct ColouredLine {
    QByteArray line;
    quint32 colour;
};
ColouredLine splitColour(const QByteArray &text);

// A line as the user typed it, made safe to send: the protocol's own bytes
// would split or recolour it, so the terminator becomes a plain y, the colour
// bar a broken bar, control codes spaces.
QByteArray typedText(QByteArray text);

} // namespace wire
