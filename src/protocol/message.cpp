#include "message.h"

namespace wire {

Message::Message(QByteArrayView command) : m_text(command.toByteArray())
{ }

Message &Message::field(QByteArrayView text)
{
    m_text.append('+');
    m_text.append(text);
    return *this;
}

Message &Message::field(int number)
{
    return field(QByteArray::number(number));
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
