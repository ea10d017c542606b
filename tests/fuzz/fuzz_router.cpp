// Feeds arbitrary bytes, as any machine on the local network may send them,
// to the readers of a UPnP router's answers: HTTP, the device description
// and SOAP (the last two through miniupnpc's parsers, as the game uses
// them), and the search's answers. The first byte picks the reader. What a reader accepts must keep to
// its bounds. NAT-PMP's fixed-size answers are read by libnatpmp.

#include "routerwire.h"

#include <cstdint>

using namespace lobby::routerwire;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray in(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const QUrl description(QStringLiteral("http://192.168.1.1:5000/rootDesc.xml"));
    switch (data[0] % 4) {
    case 0:
        for (bool closed : {false, true}) {
            HttpAnswer a;
            if (readHttp(in, closed, 100, &a) == HttpState::Done && a.body.size() > 100)
                __builtin_trap();
        }
        break;
    case 1:
        // The control address never leaves the device that described it.
        if (const auto s = wanService(in, description); s && s->control.host() != description.host())
            __builtin_trap();
        break;
    case 2: {
        HttpAnswer a{200, in};
        soapAnswer(a);
        a.status = 500;
        if (const auto answer = soapAnswer(a); answer && answer->error == 0)
            __builtin_trap();
        break;
    }
    case 3:
        if (const auto url = searchAnswer(in); url && url->scheme() != QLatin1String("http"))
            __builtin_trap();
        break;
    }
    return 0;
}
