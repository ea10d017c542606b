// Feeds arbitrary datagrams to the local-network announcement decoder. What
// it accepts must be a game it could have announced itself: encoding the
// result gives a datagram that decodes to the same announcement.

#include "lobby.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto decoded = lobby::decode(datagram);
    if (!decoded)
        return 0;
    if (decoded->seatsTaken < 0 || decoded->seatsTaken > 4 || decoded->name.size() > lobby::MaxNameLength)
        __builtin_trap();
    const auto again = lobby::encode(*decoded);
    if (!again || again->size() > lobby::MaxDatagram || lobby::decode(*again) != decoded)
        __builtin_trap();
    return 0;
}
