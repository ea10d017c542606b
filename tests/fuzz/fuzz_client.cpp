// Feeds arbitrary bytes to the window's side of the protocol: the input is
// cut into messages at the terminator, as the connection's framer cuts the
// stream, and each goes through the model's dispatch as if the host had sent
// it. Between messages the countdown ticks and the local player tries the
// operations a window offers, so every handler meets every state the host's
// messages can put the model in. Nothing may crash or read out of bounds.

#include "clientmodel.h"
#include "message.h"

#include <QCoreApplication>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_client";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    ClientModel model;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    int step = 0;
    for (const QByteArray &message : input.split(char(wire::Terminator))) {
        model.receive(message);
        model.Timer1Timer();
        model.Timer2Timer();
        // The local player's moves, driven by the message's length so the
        // fuzzer can steer them.
        const int k = int(message.size());
        switch (step++ % 5) {
        case 0:
            model.pick(QPoint(k % 9 - 1, (k / 9) % 9 - 1));
            break;
        case 1:
            model.takeBack(k % 9);
            break;
        case 2:
            model.submit();
            break;
        case 3:
            model.chooseDirection(k % 6);
            break;
        default:
            model.clearPicks();
        }
    }
    return 0;
}
