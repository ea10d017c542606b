#include "message.h"

#include <charconv>
#include <iterator>

namespace wire {

// Room for a typical message from the start: one allocation, not one at
// every field (the host builds one for every line it relays).
Message::Message(QByteArrayView command)
{
    m_text.reserve(command.size() + 48);
    m_text.append(command);
}

Message &Message::field(QByteArrayView text)
{
    m_text.append('+');
    m_text.append(text);
    return *this;
}

Message &Message::field(int number)
{
    char digits[12];
    const auto written = std::to_chars(std::begin(digits), std::end(digits), number);
    return field(QByteArrayView(digits, written.ptr - digits));
}

Message &Message::raw(QByteArrayView text)
{
    m_text.append(text);
    return *this;
}

QByteArray Message::end() const
{
    return m_text + Terminator;
}

QByteArray Message::endPlus() const
{
    QByteArray out = m_text;
    out.append('+');
    out.append(Terminator);
    return out;
}

} // namespace wire
