#pragma once
// Reads a message's data field by field, the way every handler does: a field
// runs to the next "+", which is removed with it; the remainder is whatever
// is left; repeated groups end at a sentinel "@".

#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <stdexcept>

namespace wire {

// Thrown when a field that must be a number is not one. Handlers let it
// escape so that everything after the bad field is skipped, as the game has
// always done; the dispatcher reports it.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QByteArray &text);
    QByteArray text;
};

// Strict decimal: optional "-", digits only, within 32 bits.
std::optional<int> parseInt(QByteArrayView text);

class FieldReader {
public:
    explicit FieldReader(QByteArray data) : m_data(std::move(data)) { }

    // Text up to the next "+"; with no "+" left the field is empty and the
    // data stays as it is.
    QByteArray field();
    // A field converted strictly; throws ConversionError.
    int number();
    // All data left.
    const QByteArray &rest() const { return m_data; }

    // Repeated groups: call beginGroups() once, then read groups while
    // moreGroups() is true.
    void beginGroups() { m_data.append("+@"); }
    bool moreGroups() const { return m_data != "@"; }

private:
    QByteArray m_data;
};

// Splits a message at its first "+" into command name and data. A message
// without "+" has an empty name.
struct SplitMessage {
    QByteArray command;
    QByteArray data;
};
SplitMessage splitMessage(const QByteArray &message);

} // namespace wire
