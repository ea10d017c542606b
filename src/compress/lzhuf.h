#pragma once
// LZHUF: LZSS over a 4096-byte ring buffer with an adaptive Huffman code over
// 314 symbols (256 literals, 58 match lengths), as Okumura and Yoshizaki
// published it. Bits are packed most significant first.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace lzhuf {

// Reads up to max bytes into buf; returns how many (0 at the end).
using Reader = std::function<std::size_t(std::uint8_t *buf, std::size_t max)>;
// Writes n bytes; returns false when they could not all be written.
using Writer = std::function<bool(const std::uint8_t *buf, std::size_t n)>;

enum class Result { Ok, ReadError, WriteError, Corrupt, SizeMismatch };

class TLZH {
public:
    static constexpr int N = 4096;
    static constexpr int F = 60;
    static constexpr int Threshold = 2;
    static constexpr int NChar = 256 - Threshold + F; // 314
    static constexpr int T = NChar * 2 - 1; // 627
    static constexpr int R = T - 1;
    static constexpr unsigned MaxFreq = 0x8000;

    // Codes exactly size bytes from read into a bit stream for write. A
    // reader that ends early is a read error.
    Result encode(std::int64_t size, const Reader &read, const Writer &write);
    // Decodes size bytes from the bit stream. A stream that ends before all
    // bytes are decoded is corrupt; one that codes past size, or has whole
    // bytes left after them, does not match the size.
    Result decode(std::int64_t size, const Reader &read, const Writer &write);

    // The adaptive tree's invariants: counts in ascending order, every inner
    // node's count the sum of its two children, parents and sons agreeing.
    bool treeConsistent() const;

private:
    // Adaptive Huffman tree.
    void startHuff();
    void reconst();
    void update(int c);

    // Binary search tree of the encoder's dictionary.
    void initTree();
    void insertNode(int r);
    void deleteNode(int p);

    std::array<unsigned, T + 1> freq{};
    std::array<int, T + NChar> prnt{};
    std::array<int, T> son{};

    std::array<std::uint8_t, N + F - 1> text{};
    std::array<int, N + 1> lson{};
    std::array<int, N + 257> rson{};
    std::array<int, N + 1> dad{};
    int matchPosition = 0;
    int matchLength = 0;
};

} // namespace lzhuf
