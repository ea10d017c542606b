// The lobby's messages, each read field by field: a game, a chat line, an
// ICE offer or answer, a client id, and the lobby's address as typed.

#include "internetlobby.h"

#include "lobby.h"
#include "netbackend.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace lobby {

// Printable Latin-1 (the game's own characters); control codes become
// spaces, anything else "?".
QString latin1Text(const QString &text, int limit)
{
    QString out;
    out.reserve(qMin<qsizetype>(text.size(), limit));
    for (QChar c : text) {
        if (out.size() >= limit)
            break;
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            out += QLatin1Char(' ');
        else if (u > 0xff)
            out += QLatin1Char('?');
        else
            out += c;
    }
    return out.simplified();
}

namespace {

// A name as the local lobby takes it, without "+" (the game's field
// separator, which the Host or Join dialog keeps out of names too).
bool goodName(const QString &name)
{
    return printableName(name) && !name.contains(QLatin1Char('+'));
}

std::optional<QJsonObject> jsonObject(const QByteArray &payload)
{
    if (payload.isEmpty() || payload.size() > MaxMessage)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

std::optional<int> wholeNumber(const QJsonValue &v, int low, int high)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (d < low || d > high || d != double(int(d)))
        return std::nullopt;
    return int(d);
}

// Numeric, in its own canonical spelling, and a place a player could be:
// no loopback, multicast, broadcast, link-local or unspecified address, no
// scope.
bool goodAddress(const QString &text)
{
    QHostAddress a;
    if (text.isEmpty() || text.size() > 45 || text.contains(QLatin1Char('%')) || !a.setAddress(text))
        return false;
    // Written as the address prints, and one somebody on the internet could
    // reach: a game listed under a private address would send players into
    // their own network.
    return a.toString() == text && isInternetAddress(a);
}

} // namespace

namespace {
const std::pair<InternetGame::Reach, QLatin1String> Reaches[] = {{InternetGame::Reach::Router, QLatin1String("router")},
        {InternetGame::Reach::Own, QLatin1String("own")}, {InternetGame::Reach::Lobby, QLatin1String("lobby")}};
} // namespace

std::optional<QByteArray> encodeGame(const InternetGame &g)
{
    QJsonObject o;
    o[QStringLiteral("name")] = g.name;
    o[QStringLiteral("seats")] = g.seatsTaken;
    o[QStringLiteral("running")] = g.running;
    for (const auto &[reach, word] : Reaches)
        if (reach == g.reach)
            o[QStringLiteral("via")] = word;
    if (g.reach != InternetGame::Reach::Lobby) {
        o[QStringLiteral("address")] = g.address;
        o[QStringLiteral("port")] = int(g.port);
    }
    QByteArray bytes = QJsonDocument(o).toJson(QJsonDocument::Compact);
    std::optional<InternetGame> back = decodeGame(bytes);
    if (!back)
        return std::nullopt;
    back->id = g.id;
    if (!(*back == g))
        return std::nullopt;
    return bytes;
}

std::optional<InternetGame> decodeGame(const QByteArray &payload)
{
    const std::optional<QJsonObject> o = jsonObject(payload);
    if (!o)
        return std::nullopt;
    InternetGame g;
    const QJsonValue name = o->value(QStringLiteral("name"));
    const QJsonValue running = o->value(QStringLiteral("running"));
    const QJsonValue via = o->value(QStringLiteral("via"));
    const std::optional<int> seats = wholeNumber(o->value(QStringLiteral("seats")), 0, 4);
    // A game that does not say how it is reached is at its router's port.
    const auto reach = via.isUndefined() ? std::begin(Reaches)
                                         : std::find_if(std::begin(Reaches), std::end(Reaches),
                                                 [&](const auto &r) { return via.toString() == r.second; });
    if (!name.isString() || !goodName(name.toString()) || !running.isBool() || !seats || reach == std::end(Reaches))
        return std::nullopt;
    g.name = name.toString();
    g.seatsTaken = *seats;
    g.running = running.toBool();
    g.reach = reach->first;
    if (g.reach == InternetGame::Reach::Lobby)
        return o->contains(QStringLiteral("address")) ? std::nullopt : std::optional(g);
    const QJsonValue address = o->value(QStringLiteral("address"));
    // Below 1024 the ports are the system's, no game's.
    const std::optional<int> port = wholeNumber(o->value(QStringLiteral("port")), 1024, 65535);
    if (!address.isString() || !goodAddress(address.toString()) || !port)
        return std::nullopt;
    g.address = address.toString();
    g.port = quint16(*port);
    return g;
}

QByteArray encodeChat(const QString &name, const QString &text)
{
    QJsonObject o;
    o[QStringLiteral("name")] = name;
    o[QStringLiteral("text")] = latin1Text(text, MaxLobbyChat);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<LobbyLine> decodeChat(const QByteArray &payload)
{
    const std::optional<QJsonObject> o = jsonObject(payload);
    if (!o)
        return std::nullopt;
    const QJsonValue name = o->value(QStringLiteral("name"));
    const QJsonValue text = o->value(QStringLiteral("text"));
    if (!name.isString() || !goodName(name.toString()) || !text.isString())
        return std::nullopt;
    LobbyLine line;
    line.name = name.toString();
    line.text = latin1Text(text.toString(), MaxLobbyChat);
    if (line.text.isEmpty())
        return std::nullopt;
    return line;
}

QByteArray encodeIce(const IceSignal &signal)
{
    QJsonObject o;
    o[QStringLiteral("kind")] = signal.offer ? QStringLiteral("offer") : QStringLiteral("answer");
    o[QStringLiteral("session")] = QString::fromLatin1(signal.session);
    o[QStringLiteral("relay")] = signal.relay;
    o[QStringLiteral("ice")] = QString::fromLatin1(signal.description);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<IceSignal> decodeIce(const QByteArray &payload)
{
    if (payload.size() > MaxIceMessage)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const QString kind = o.value(QStringLiteral("kind")).toString();
    const QString session = o.value(QStringLiteral("session")).toString();
    const QString ice = o.value(QStringLiteral("ice")).toString();
    static const QRegularExpression hex16(QStringLiteral("^[0-9a-f]{16}$"));
    // The description is plain SDP text: printable ASCII lines.
    const bool printable = std::all_of(ice.cbegin(), ice.cend(), [](QChar c) {
        return (c >= QLatin1Char(' ') && c.unicode() < 0x7f) || c == QLatin1Char('\n') || c == QLatin1Char('\r');
    });
    if ((kind != QLatin1String("offer") && kind != QLatin1String("answer")) || !hex16.match(session).hasMatch()
            || ice.isEmpty() || !printable)
        return std::nullopt;
    IceSignal signal;
    signal.offer = kind == QLatin1String("offer");
    signal.relay = o.value(QStringLiteral("relay")).toBool();
    signal.session = session.toLatin1();
    signal.description = ice.toLatin1();
    return signal;
}

bool validClientId(QByteArrayView id)
{
    if (id.isEmpty() || id.size() > MaxClientId)
        return false;
    for (char c : id)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
            return false;
    return true;
}

std::optional<BrokerAddress> parseBroker(const QString &text)
{
    QString t = text.trimmed();
    BrokerAddress b;
    for (const auto &[scheme, tls] : {std::pair{QLatin1String("mqtts://"), true}, {QLatin1String("mqtt://"), false}})
        if (t.startsWith(scheme, Qt::CaseInsensitive)) {
            t = t.mid(scheme.size());
            b.tls = tls;
            b.port = tls ? TlsBrokerPort : DefaultBrokerPort;
            break;
        }
    const std::optional<HostPort> at = parseHostPort(t, b.port, false);
    if (!at || at->port == 0)
        return std::nullopt;
    b.host = at->host;
    b.port = at->port;
    b.tls = b.tls || b.port == TlsBrokerPort;
    return b;
}

} // namespace lobby
