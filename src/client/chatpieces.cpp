#include "chatpieces.h"

#include "fieldreader.h"

#include <QUrl>

#include <cctype>

namespace chat {

namespace {
void addWords(const QByteArray &text, QList<Piece> &out)
{
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype space = text.indexOf(' ', from);
        const qsizetype end = space < 0 ? text.size() : space + 1;
        const QByteArrayView word = QByteArrayView(text).sliced(from, end - from);
        from = end;
        auto link = findLink(word);
        // Only what is opened is shown as the link: "file:///x#www.a.com"
        // would otherwise show one place and open another. Whatever comes
        // before it is a plain word.
        const QByteArrayView plain = link ? word.first(link->start) : word;
        // Plain words run on in one piece: the view inserts a piece at a time.
        if (!plain.isEmpty()) {
            if (!out.isEmpty() && out.last().kind == Piece::Word)
                out.last().text += plain;
            else
                out.append({Piece::Word, plain.toByteArray(), 0, QByteArray()});
        }
        if (link)
            out.append({Piece::Link, word.sliced(link->start).toByteArray(), 0, std::move(link->target)});
    }
}
} // namespace

std::optional<FoundLink> findLink(QByteArrayView word)
{
    // Every address starts "www." or "http": a word without a dot or a colon
    // holds none, and most words are such.
    if (!word.contains('.') && !word.contains(':'))
        return std::nullopt;
    qsizetype lead = 0;
    while (lead < word.size() && std::isspace(uchar(word[lead])))
        ++lead;
    const QByteArrayView trimmed = word.trimmed();
    const QByteArray lower = trimmed.toByteArray().toLower();
    qsizetype from = -1;
    for (const char *start : {"http://", "https://", "www."}) {
        const qsizetype at = lower.indexOf(start);
        if (at >= 0 && (from < 0 || at < from))
            from = at;
    }
    if (from < 0)
        return std::nullopt;
    QByteArray address = trimmed.sliced(from).toByteArray();
    if (lower.mid(from).startsWith("www."))
        address.prepend("http://");
    const QUrl url(QString::fromLatin1(address), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) || url.host().isEmpty())
        return std::nullopt;
    return FoundLink{lead + from, url.toEncoded()};
}

std::optional<QByteArray> linkTarget(QByteArrayView word)
{
    if (auto link = findLink(word))
        return std::move(link->target);
    return std::nullopt;
}

Line parse(int sender, const QByteArray &text)
{
    Line out;
    QByteArray rest = text;
    // Users have slots 1 to 9; any other number reads as a system line's 0.
    out.sender = sender >= 1 && sender <= 9 ? sender : 0;
    out.style = out.sender == 0 ? 0 : out.sender + 5;

    // The colon of a smiley code is not the end of the head: an action line
    // such as "Ann waves :)#20" has no head and keeps its smiley.
    qsizetype colon = rest.indexOf(':');
    if (colon >= 0 && rest.mid(colon, 3) == ":)#")
        colon = -1;
    if (colon >= 0) {
        out.head = rest.left(colon + 1);
        rest.remove(0, colon + 1);
    }
    for (int smileys = 0; smileys < MaxSmileys; ++smileys) {
        const qsizetype at = rest.indexOf(":)#");
        if (at < 0)
            break;
        const QByteArray segment = rest.left(at);
        rest.remove(0, at + 3);
        const QByteArray code = rest.left(2);
        rest.remove(0, code.size());
        addWords(segment + ' ', out.pieces);
        const auto n = wire::parseInt(code);
        const int c = (code.size() == 2 && n && *n >= 10 && *n <= 27) ? *n : 10;
        out.pieces.append({Piece::Smiley, {}, c - 10, {}});
    }
    if (!rest.isEmpty())
        addWords(rest + ' ', out.pieces);
    return out;
}

} // namespace chat
