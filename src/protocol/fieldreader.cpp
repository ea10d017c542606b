#include "fieldreader.h"

#include <limits>

namespace wire {

ConversionError::ConversionError(const QByteArray &t)
    : std::runtime_error("'" + t.toStdString() + "' is not a valid integer value"), text(t)
{ }

std::optional<int> parseInt(QByteArrayView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && text[0] == '-') {
        negative = true;
        i = 1;
    }
    if (i >= text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(value);
}

QByteArray FieldReader::field()
{
    const qsizetype plus = m_data.indexOf('+');
    if (plus < 0)
        return {};
    QByteArray out = m_data.left(plus);
    m_data.remove(0, plus + 1);
    return out;
}

int FieldReader::number()
{
    const QByteArray text = field();
    const auto value = parseInt(text);
    if (!value)
        throw ConversionError(text);
    return *value;
}

SplitMessage splitMessage(const QByteArray &message)
{
    const qsizetype plus = message.indexOf('+');
    if (plus < 0)
        return {};
    return {message.left(plus), message.mid(plus + 1)};
}

} // namespace wire
