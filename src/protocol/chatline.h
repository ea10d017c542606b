#pragma once
// A chat line on the wire: its text with "|" and its colour, the longest a
// window sends, and what a typed line must not carry.

#include <QByteArray>

namespace wire {

// The longest chat or action text a window sends. The host cuts off a peer
// whose message passes 4 KiB; the name and colour the line travels with fit
// easily beside this.
inline constexpr qsizetype MaxChatText = 1000;
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
