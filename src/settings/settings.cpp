#include "settings.h"

namespace settings {

namespace {
std::optional<int> number(const std::optional<QByteArray> &text)
{
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int n = text->trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

QByteArray flag(bool on)
{
    return on ? "true" : "false";
}
} // namespace

Values read(const IniFile &ini)
{
    Values p;
    auto get = [&](const char *key) { return ini.value(Section, key); };
    p.textsize = number(get("Textsize")).value_or(8);
    if (const auto c = get("Textcolor"))
        p.textcolor = *c;
    for (int k = 1; k <= 9; ++k)
        p.phrases[size_t(k)] = get(("Phrase" + QByteArray::number(k)).constData()).value_or(QByteArray());
    p.playsounds = get("Playsounds").value_or("true") != "false";
    p.postwords = get("Postwordsinchatbox").value_or("false") == "true";
    // A missing number takes the default, one that does not read is ignored.
    const auto readOption = [&](const char *key, int fallback) {
        const auto text = get(key);
        return text ? number(text) : std::optional<int>(fallback);
    };
    p.playto = readOption("Playtoscore", 110);
    p.creationtime = readOption("Creationtime", 70);
    p.shuffles = readOption("Shuffles", 1);
    const QByteArray tiles = get("Tiles").value_or("classic");
    p.tiles = tiles.isEmpty() ? QByteArray("classic") : tiles;
    // Far beyond any desktop, yet small enough that a rectangle built from
    // them never overflows; the window fits them to the screens.
    constexpr int Far = 1 << 20;
    p.top = qBound(-Far, number(get("Top")).value_or(3), Far);
    p.left = qBound(-Far, number(get("Left")).value_or(3), Far);
    p.width = qBound(0, number(get("Width")).value_or(790), Far);
    p.height = qBound(0, number(get("Height")).value_or(580), Far);
    const QByteArray turn = get("Turnsound").value_or("0");
    p.turnsound = turn == "1" ? 1 : turn == "2" ? 2 : 0;
    p.chattersounds = get("ChatterSounds").value_or("true") != "false";
    p.showbestword = get("Showbestword").value_or("true") != "false";
    const QByteArray strength = get("Klotstrength").value_or("1");
    p.klotstrength = strength == "0" ? 0 : strength == "2" ? 2 : 1;
    p.gatehouseurl = get("Gatehouseurl").value_or(QByteArray()).trimmed();
    p.gatehousepath = get("Gatehousepath").value_or(QByteArray()).trimmed();
    p.lobbyname = get("Lobbyname").value_or(QByteArray());
    p.lobbyaddress = get("Lobbyaddress").value_or(QByteArray());
    p.lobbyserver = get("Lobbyserver").value_or(QByteArray()).trimmed();
    p.openrouterport = get("Openrouterport").value_or("true") != "false";
    return p;
}

void write(IniFile &ini, const Values &p, const std::function<bool(QByteArrayView key)> &keep)
{
    auto set = [&](const char *key, const QByteArray &value) {
        if (!keep || keep(key))
            ini.setValue(Section, key, value);
    };
    set("Textsize", QByteArray::number(p.textsize));
    set("Textcolor", p.textcolor);
    if (p.playto)
        set("Playtoscore", QByteArray::number(*p.playto));
    if (p.creationtime)
        set("Creationtime", QByteArray::number(*p.creationtime));
    if (p.shuffles)
        set("Shuffles", QByteArray::number(*p.shuffles));
    set("Tiles", p.tiles);
    set("Top", QByteArray::number(p.top));
    set("Left", QByteArray::number(p.left));
    set("Width", QByteArray::number(p.width));
    set("Height", QByteArray::number(p.height));
    set("Turnsound", QByteArray::number(p.turnsound));
    set("Playsounds", flag(p.playsounds));
    set("Postwordsinchatbox", flag(p.postwords));
    set("ChatterSounds", flag(p.chattersounds));
    set("Showbestword", flag(p.showbestword));
    set("Klotstrength", QByteArray::number(p.klotstrength));
    set("Lobbyserver", p.lobbyserver);
    set("Openrouterport", flag(p.openrouterport));
}

void writeLobby(IniFile &ini, const QByteArray &name, const std::optional<QByteArray> &address)
{
    ini.setValue(Section, "Lobbyname", name);
    if (address)
        ini.setValue(Section, "Lobbyaddress", *address);
}

void writePhrases(IniFile &ini, const std::array<QByteArray, 10> &phrases)
{
    for (int k = 1; k <= 9; ++k)
        ini.setValue(Section, "Phrase" + QByteArray::number(k), phrases[size_t(k)]);
}

} // namespace settings
