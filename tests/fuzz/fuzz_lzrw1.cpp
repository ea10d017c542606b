// Feeds arbitrary bytes to the LZRW1/KH decoder: as one raw block, and as a
// whole container read through the component. Nothing may crash, hang or
// touch memory outside its buffers; a bad container must end in the
// component's exception.

#include "lzrw1kh.h"
#include "decompress.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 0 && size <= lzrw1kh::MaxSegment + 1) {
        std::vector<std::uint8_t> block(data, data + size);
        std::vector<std::uint8_t> out(lzrw1kh::MaxSegment);
        const long n = lzrw1kh::decompress(block.data(), block.size(), out.data());
        if (n > long(lzrw1kh::MaxSegment))
            __builtin_trap();
    }

    QByteArray container("WRZL");
    container.append(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray out;
    const qint64 n = decompressInMemory(container, &out);
    if (n >= 0 && n != out.size())
        __builtin_trap();
    return 0;
}
