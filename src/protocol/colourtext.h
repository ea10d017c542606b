#pragma once
// Chat colours travel as text: one of sixteen basic colour names, or "$" and
// eight hex digits. Values are 0x00BBGGRR, as the game has always stored them.

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <optional>

namespace wire {

inline constexpr quint32 UnreadableColour = 255; // pure red

QByteArray colourToText(quint32 bgr);
// Reads a colour name or any integer text (decimal, or "$"/"0x" hex); text
// that does not convert gives UnreadableColour.
quint32 textToColour(QByteArrayView text);
// The same, with nothing for text that does not convert.
std::optional<quint32> readColour(QByteArrayView text);

} // namespace wire
