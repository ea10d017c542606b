#include "playername.h"
#include "message.h"

#include <algorithm>

namespace wire {

namespace {
constexpr char FieldSeparator = '+';
constexpr char ColourSeparator = '|';

// Shown as itself and safe in a message's fields.
bool nameCharacter(QChar c)
{
    return c.unicode() >= 0x20 && c.unicode() < 0xff && c.unicode() != 0x7f
            && !(c.unicode() >= 0x80 && c.unicode() < 0xa0) && c != QLatin1Char(FieldSeparator)
            && c != QLatin1Char(ColourSeparator);
}
} // namespace

QRegularExpression nameCharacters()
{
    // Also not the colour separator, nor the byte that ends a message.
    return QRegularExpression(QStringLiteral("[^+|\\x00-\\x1f\\x7f-\\x9f\\xff]*"));
}

QByteArray safeName(QByteArrayView name)
{
    QByteArray out = name.toByteArray();
    for (char &c : out) {
        if (c == FieldSeparator || c == ColourSeparator || c == Terminator)
            c = '_';
    }
    return out;
}

QByteArray visibleName(QByteArrayView name)
{
    QByteArray out;
    out.reserve(name.size());
    for (char ch : name) {
        const uchar c = uchar(ch);
        const bool space = c == ' ' || (c >= 0x09 && c <= 0x0d) || c == 0xa0;
        if (space) {
            if (!out.isEmpty() && !out.endsWith(' '))
                out += ' ';
        } else if (c >= 0x20 && c != 0x7f && !(c >= 0x80 && c <= 0x9f) && c != 0xad) {
            out += ch;
        }
    }
    return out.trimmed();
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return QString::fromLatin1(visibleName(a)).compare(QString::fromLatin1(visibleName(b)), Qt::CaseInsensitive) == 0;
}

bool printableName(const QString &name)
{
    if (name.isEmpty() || name.size() > MaxNameLength || name.trimmed() != name)
        return false;
    return std::all_of(name.cbegin(), name.cend(), nameCharacter);
}

QString suggestedName(const QString &fullName, const QString &login)
{
    for (const QString &from : {fullName, login}) {
        QString name;
        for (QChar c : from.simplified())
            if (nameCharacter(c))
                name += c;
        name = name.left(MaxNameLength).trimmed();
        if (!name.isEmpty())
            return name.left(1).toUpper() + name.mid(1);
    }
    return {};
}

} // namespace wire
