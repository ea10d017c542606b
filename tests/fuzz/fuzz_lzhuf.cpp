// Feeds arbitrary bytes to the LZHUF decoder through the component, with the
// size field taken from the input so that short and long promises are tried.

#include "decompress.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // Keep the promised size small enough that a run stays quick.
    const quint32 promised = quint32(data[0]) << 8 | data[1];
    QByteArray container("!HZL");
    for (int i = 0; i < 4; ++i)
        container.append(char((promised >> (8 * i)) & 0xFF));
    container.append(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qint64 n = decompressInMemory(container);
    if (n >= 0 && n != qint64(promised))
        __builtin_trap();
    return 0;
}
