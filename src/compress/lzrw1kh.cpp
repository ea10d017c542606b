#include "lzrw1kh.h"

#include <bit>
#include <cstring>

namespace lzrw1kh {

namespace {
inline std::uint32_t hashAt(const std::uint8_t *p)
{
    const std::uint32_t v = ((std::uint32_t(p[0]) << 4 ^ p[1]) << 4) ^ p[2];
    return ((v * 40543u) >> 4) & 0x0FFF;
}
// Length of the common prefix of a and b, at most limit (<= 18). Compares
// eight bytes at a time where both sides have them.
inline std::size_t matchLength(const std::uint8_t *a, const std::uint8_t *b, std::size_t limit)
{
    std::size_t len = 0;
    while (std::endian::native == std::endian::little && len + 8 <= limit) {
        std::uint64_t wa, wb;
        std::memcpy(&wa, a + len, 8);
        std::memcpy(&wb, b + len, 8);
        const std::uint64_t diff = wa ^ wb;
        if (diff != 0)
            return len + std::size_t(__builtin_ctzll(diff) >> 3);
        len += 8;
    }
    while (len < limit && a[len] == b[len])
        ++len;
    return len;
}

} // namespace

std::size_t TLZR::compress(const std::uint8_t *src, std::size_t size, std::uint8_t *dst)
{
    m_hash.fill(-1);
    dst[0] = FlagCompressed;
    std::size_t x = 0; // next input byte
    std::size_t y = 3; // next output byte
    std::size_t z = 1; // where the current control word goes
    unsigned bit = 0;
    std::uint32_t command = 0;

    while (x < size && y <= size) {
        if (bit > 15) {
            dst[z] = std::uint8_t(command >> 8);
            dst[z + 1] = std::uint8_t(command);
            z = y;
            bit = 0;
            y += 2;
        }
        // A run of equal bytes.
        std::size_t run = 1;
        const std::uint8_t b = src[x];
        while (run < 0xFFF && x + run < size && src[x + run] == b)
            ++run;
        if (run >= 16) {
            const std::size_t n = run - 16;
            dst[y] = 0;
            dst[y + 1] = std::uint8_t(n >> 8);
            dst[y + 2] = std::uint8_t(n);
            dst[y + 3] = b;
            y += 4;
            x += run;
            command = (command << 1) + 1;
        } else {
            // A copy from the last place these three bytes were seen.
            const std::uint32_t key = hashAt(src + x);
            const std::int32_t pos = m_hash[key];
            m_hash[key] = std::int32_t(x);
            std::size_t len = 0;
            if (pos >= 0 && x - std::size_t(pos) < 4096)
                len = matchLength(src + x, src + pos, size - x < 18 ? size - x : 18);
            if (len >= 3) {
                const std::size_t k = ((x - std::size_t(pos)) << 4) + (len - 3);
                dst[y] = std::uint8_t(k >> 8);
                dst[y + 1] = std::uint8_t(k);
                y += 2;
                x += len;
                command = (command << 1) + 1;
            } else {
                dst[y++] = src[x++];
                command <<= 1;
            }
        }
        ++bit;
    }
    command <<= (16 - bit);
    dst[z] = std::uint8_t(command >> 8);
    dst[z + 1] = std::uint8_t(command);
    if (y > size) {
        std::memcpy(dst + 1, src, size);
        dst[0] = FlagStored;
        y = size + 1;
    }
    return y;
}

long decompress(const std::uint8_t *src, std::size_t size, std::uint8_t *dst)
{
    if (size < 2)
        return 0;
    if (src[0] == FlagStored) {
        if (size - 1 > MaxSegment)
            return -1;
        std::memcpy(dst, src + 1, size - 1);
        return long(size - 1);
    }
    if (size < 3)
        return -1;
    std::size_t x = 3;
    std::size_t y = 0;
    std::uint32_t command = (std::uint32_t(src[1]) << 8) | src[2];
    unsigned bit = 16;
    while (x < size) {
        if (bit == 0) {
            if (x + 2 > size)
                return -1;
            command = (std::uint32_t(src[x]) << 8) | src[x + 1];
            bit = 16;
            x += 2;
            if (x >= size)
                break; // a control word with nothing after it
            // Fast path: sixteen literals in a row.
            if (command == 0 && x + 16 <= size && y + 16 <= MaxSegment) {
                std::memcpy(dst + y, src + x, 16);
                x += 16;
                y += 16;
                bit = 0;
                continue;
            }
        }
        if ((command & 0x8000) == 0) {
            if (y >= MaxSegment)
                return -1;
            dst[y++] = src[x++];
        } else {
            if (x + 2 > size)
                return -1;
            const std::size_t offset = (std::size_t(src[x]) << 4) | (src[x + 1] >> 4);
            if (offset == 0) {
                if (x + 4 > size)
                    return -1;
                const std::size_t n = ((std::size_t(src[x + 1]) & 0x0F) << 8) + src[x + 2] + 16;
                if (y + n > MaxSegment)
                    return -1;
                std::memset(dst + y, src[x + 3], n);
                x += 4;
                y += n;
            } else {
                const std::size_t n = (src[x + 1] & 0x0F) + 3;
                if (offset > y || y + n > MaxSegment)
                    return -1;
                std::uint8_t *out = dst + y;
                const std::uint8_t *from = out - offset;
                if (offset >= n) {
                    std::memcpy(out, from, n);
                } else {
                    for (std::size_t k = 0; k < n; ++k)
                        out[k] = from[k];
                }
                x += 2;
                y += n;
            }
        }
        command <<= 1;
        --bit;
    }
    return long(y);
}

} // namespace lzrw1kh
