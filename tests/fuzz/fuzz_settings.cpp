// Feeds arbitrary bytes to the settings file's reader. A file that reads as
// ini gives values within their ranges; writing them back and reading the
// result gives the same values, and keys the game does not know survive.

#include "inifile.h"
#include "settings.h"

#include <cstdint>

namespace {
bool same(const settings::Values &a, const settings::Values &b)
{
    return a.textsize == b.textsize && a.textcolor == b.textcolor && a.playsounds == b.playsounds
            && a.postwords == b.postwords && a.playto == b.playto && a.creationtime == b.creationtime
            && a.shuffles == b.shuffles && a.tiles == b.tiles && a.top == b.top && a.left == b.left
            && a.width == b.width && a.height == b.height && a.turnsound == b.turnsound
            && a.chattersounds == b.chattersounds && a.lobbyname == b.lobbyname && a.lobbyaddress == b.lobbyaddress;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    auto ini = IniFile::parse(bytes);
    if (!ini)
        return 0;
    const auto foreign = ini->value("Fuzz", "Kept");
    const settings::Values first = settings::read(*ini);
    if (first.turnsound < 0 || first.turnsound > 2)
        __builtin_trap();
    settings::write(*ini, first);
    auto again = IniFile::parse(ini->text());
    if (!again)
        __builtin_trap();
    if (!same(settings::read(*again), first) || again->value("Fuzz", "Kept") != foreign)
        __builtin_trap();
    return 0;
}
