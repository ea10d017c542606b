#pragma once
// LZRW1/KH: a fast LZ77 block coder. One block encodes one segment of at most
// 32768 bytes, either stored (flag 0x80) or as literals, copies and runs under
// 16-bit control words (flag 0x40).

#include <array>
#include <cstddef>
#include <cstdint>

namespace lzrw1kh {

inline constexpr std::size_t MaxSegment = 32768;
// A block never exceeds the segment plus its flag byte; coding may run a few
// bytes past that before it gives up and stores, so buffers carry spare room.
inline constexpr std::size_t BufferSize = MaxSegment + 16;
inline constexpr std::uint8_t FlagCompressed = 0x40;
inline constexpr std::uint8_t FlagStored = 0x80;

class TLZR {
public:
    // Codes size bytes of src (size <= MaxSegment) into dst, which must hold
    // BufferSize bytes; src must be readable for size + 2 bytes (the hash
    // looks two bytes ahead; their values do not change correctness).
    // Returns the block length.
    std::size_t compress(const std::uint8_t *src, std::size_t size, std::uint8_t *dst);

private:
    std::array<std::int32_t, 4096> m_hash{};
};

// Decodes a block of length size into dst (room for MaxSegment bytes).
// Returns the decoded length, or -1 when the block is corrupt: an item that
// runs past the block, a copy reaching before the start of the output, or
// output longer than MaxSegment.
long decompress(const std::uint8_t *src, std::size_t size, std::uint8_t *dst);

} // namespace lzrw1kh
