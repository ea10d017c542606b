// Feeds arbitrary broker messages to the internet lobby: the games, chat
// and offer decoders, the seal's reader, the lobby model that keeps what the
// broker said, and the parser of a typed broker address. The first byte
// picks the way in. The model
// keeps to its bounds whatever it is fed.

#include "internetlobby.h"
#include "netbackend.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray in(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 6) {
    case 0:
        if (const auto g = lobby::decodeGame(in)) {
            // Only a game somebody could join is taken: at an address on the
            // internet, or through the lobby with none.
            if (g->reach == lobby::InternetGame::Reach::Lobby
                            ? !g->address.isEmpty()
                            : g->port < 1024 || !lobby::isInternetAddress(QHostAddress(g->address)))
                __builtin_trap();
            // What is accepted reads back the same once written again.
            const auto again = lobby::encodeGame(*g);
            if (!again || lobby::decodeGame(*again) != g)
                __builtin_trap();
        }
        break;
    case 1:
        if (const auto line = lobby::decodeChat(in); line && line->text.size() > lobby::MaxLobbyChat)
            __builtin_trap();
        break;
    case 2:
        if (const auto b = lobby::parseBroker(QString::fromLatin1(in)); b && (b->host.isEmpty() || b->port == 0))
            __builtin_trap();
        break;
    case 3: {
        // Messages split at newlines: topic, then payload, pairs in turn.
        lobby::LobbyModel model;
        const QList<QByteArray> parts = in.split('\n');
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
            model.received(lobby::TopicRoot + parts[i], parts[i + 1]);
        if (model.gameCount() > model.capacity())
            __builtin_trap();
        break;
    }
    case 4:
        if (const auto signal = lobby::decodeIce(in);
                signal && (signal->session.size() != 16 || signal->description.size() > lobby::MaxIceMessage))
            __builtin_trap();
        break;
    case 5: {
        // Topic and payload split at the first newline; nothing unsigned,
        // or signed by another id's key, is ever opened.
        const qsizetype cut = in.indexOf('\n');
        if (cut >= 0 && lobby::unseal(in.first(cut), QStringLiteral("wmaaaaaaaaaaaaaaaaaaaaa"), in.sliced(cut + 1)))
            __builtin_trap();
        break;
    }
    }
    return 0;
}
