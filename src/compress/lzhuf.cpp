#include "lzhuf.h"

#include <algorithm>
#include <vector>

namespace lzhuf {

namespace {

// Codes of the upper 6 bits of a match position, as published.
// clang-format off
constexpr std::uint8_t p_len[64] = {
    0x03, 0x04, 0x04, 0x04, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x06, 0x06, 0x06, 0x06,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
constexpr std::uint8_t p_code[64] = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
// clang-format on

// The decoding tables follow from the encoding ones: every byte that starts
// with a code maps to that code and its length.
struct DecodeTables {
    std::uint8_t code[256];
    std::uint8_t len[256];
    DecodeTables()
    {
        for (int i = 0; i < 64; ++i) {
            const int span = 256 >> p_len[i];
            for (int k = 0; k < span; ++k) {
                code[p_code[i] + k] = std::uint8_t(i);
                len[p_code[i] + k] = p_len[i];
            }
        }
    }
};
const DecodeTables &tables()
{
    static const DecodeTables t;
    return t;
}

constexpr std::size_t IoChunk = 32768;

class BitWriter {
public:
    explicit BitWriter(const Writer &w) : m_write(w) { m_buf.reserve(IoChunk + 8); }
    // Writes the top n bits of code (n <= 32, code left-aligned in 32 bits).
    void put(int n, std::uint32_t code)
    {
        for (int i = 0; i < n; ++i) {
            m_acc = std::uint8_t((m_acc << 1) | ((code >> 31) & 1));
            code <<= 1;
            if (++m_fill == 8) {
                m_buf.push_back(m_acc);
                m_fill = 0;
                m_acc = 0;
            }
        }
        if (m_buf.size() >= IoChunk)
            flushBytes();
    }
    bool finish()
    {
        if (m_fill) {
            m_buf.push_back(std::uint8_t(m_acc << (8 - m_fill)));
            m_fill = 0;
        }
        flushBytes();
        return m_ok;
    }
    bool ok() const { return m_ok; }

private:
    void flushBytes()
    {
        if (!m_buf.empty() && m_ok)
            m_ok = m_write(m_buf.data(), m_buf.size());
        m_buf.clear();
    }
    const Writer &m_write;
    std::vector<std::uint8_t> m_buf;
    std::uint8_t m_acc = 0;
    int m_fill = 0;
    bool m_ok = true;
};

class BitReader {
public:
    explicit BitReader(const Reader &r) : m_read(r), m_buf(IoChunk) { }
    // One bit, or -1 past the end of the stream.
    int bit()
    {
        if (m_left == 0) {
            if (!next())
                return -1;
        }
        --m_left;
        return (m_cur >> m_left) & 1;
    }
    bool atEnd()
    {
        if (m_pos < m_len)
            return false;
        m_len = m_read(m_buf.data(), m_buf.size());
        m_pos = 0;
        return m_len == 0;
    }
    int byte()
    {
        int v = 0;
        for (int i = 0; i < 8; ++i) {
            const int b = bit();
            if (b < 0)
                return -1;
            v = (v << 1) | b;
        }
        return v;
    }

private:
    bool next()
    {
        if (m_pos == m_len) {
            m_len = m_read(m_buf.data(), m_buf.size());
            m_pos = 0;
            if (m_len == 0)
                return false;
        }
        m_cur = m_buf[m_pos++];
        m_left = 8;
        return true;
    }
    const Reader &m_read;
    std::vector<std::uint8_t> m_buf;
    std::size_t m_pos = 0, m_len = 0;
    std::uint8_t m_cur = 0;
    int m_left = 0;
};

class ByteReader {
public:
    explicit ByteReader(const Reader &r) : m_read(r), m_buf(IoChunk) { }
    int get()
    {
        if (m_pos == m_len) {
            m_len = m_read(m_buf.data(), m_buf.size());
            m_pos = 0;
            if (m_len == 0)
                return -1;
        }
        return m_buf[m_pos++];
    }

private:
    const Reader &m_read;
    std::vector<std::uint8_t> m_buf;
    std::size_t m_pos = 0, m_len = 0;
};

class ByteWriter {
public:
    explicit ByteWriter(const Writer &w) : m_write(w) { m_buf.reserve(IoChunk); }
    void put(std::uint8_t c)
    {
        m_buf.push_back(c);
        if (m_buf.size() == IoChunk)
            flush();
    }
    bool flush()
    {
        if (!m_buf.empty() && m_ok)
            m_ok = m_write(m_buf.data(), m_buf.size());
        m_buf.clear();
        return m_ok;
    }
    bool ok() const { return m_ok; }

private:
    const Writer &m_write;
    std::vector<std::uint8_t> m_buf;
    bool m_ok = true;
};

} // namespace

void TLZH::startHuff()
{
    for (int i = 0; i < NChar; ++i) {
        freq[i] = 1;
        son[i] = i + T;
        prnt[i + T] = i;
    }
    int i = 0;
    for (int j = NChar; j <= R; ++j, i += 2) {
        freq[j] = freq[i] + freq[i + 1];
        son[j] = i;
        prnt[i] = prnt[i + 1] = j;
    }
    freq[T] = 0xFFFF; // sentinel for the reordering scan in update()
    prnt[R] = 0;
}

bool TLZH::treeConsistent() const
{
    for (int i = 0; i + 1 < T; ++i) {
        if (freq[i] > freq[i + 1])
            return false;
    }
    for (int i = 0; i < T; ++i) {
        const int k = son[i];
        if (k >= T) {
            if (k >= T + NChar || prnt[k] != i)
                return false;
        } else {
            if (k + 1 >= T || prnt[k] != i || prnt[k + 1] != i || freq[i] != freq[k] + freq[k + 1])
                return false;
        }
    }
    return true;
}

void TLZH::reconst()
{
    // Collect the leaves in the first half, halving their counts.
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (son[i] >= T) {
            freq[j] = (freq[i] + 1) / 2;
            son[j] = son[i];
            ++j;
        }
    }
    // Rebuild the inner nodes, keeping the table sorted by count. The moves
    // shift whole elements (the original shifted a byte count that only
    // fitted 2-byte integers).
    for (int i = 0, k = 0; j < T; i += 2, ++j) {
        const unsigned f = freq[i] + freq[i + 1];
        freq[j] = f;
        for (k = j - 1; f < freq[k]; --k) { }
        ++k;
        std::copy_backward(freq.begin() + k, freq.begin() + j, freq.begin() + j + 1);
        freq[k] = f;
        std::copy_backward(son.begin() + k, son.begin() + j, son.begin() + j + 1);
        son[k] = i;
    }
    for (int i = 0; i < T; ++i) {
        const int k = son[i];
        if (k >= T)
            prnt[k] = i;
        else
            prnt[k] = prnt[k + 1] = i;
    }
}

void TLZH::update(int c)
{
    if (freq[R] == MaxFreq)
        reconst();
    c = prnt[c + T];
    do {
        const unsigned k = ++freq[c];
        int l = c + 1;
        if (k > freq[l]) {
            while (k > freq[++l]) { }
            --l;
            freq[c] = freq[l];
            freq[l] = k;
            const int i = son[c];
            prnt[i] = l;
            if (i < T)
                prnt[i + 1] = l;
            const int jj = son[l];
            son[l] = i;
            prnt[jj] = c;
            if (jj < T)
                prnt[jj + 1] = c;
            son[c] = jj;
            c = l;
        }
    } while ((c = prnt[c]) != 0);
}

void TLZH::initTree()
{
    for (int i = N + 1; i <= N + 256; ++i)
        rson[i] = N;
    for (int i = 0; i < N; ++i)
        dad[i] = N;
}

void TLZH::insertNode(int r)
{
    int cmp = 1;
    const std::uint8_t *key = &text[r];
    int p = N + 1 + key[0];
    rson[r] = lson[r] = N;
    matchLength = 0;
    for (;;) {
        if (cmp >= 0) {
            if (rson[p] != N) {
                p = rson[p];
            } else {
                rson[p] = r;
                dad[r] = p;
                return;
            }
        } else {
            if (lson[p] != N) {
                p = lson[p];
            } else {
                lson[p] = r;
                dad[r] = p;
                return;
            }
        }
        int i = 1;
        for (; i < F; ++i) {
            if ((cmp = int(key[i]) - int(text[p + i])) != 0)
                break;
        }
        if (i > Threshold) {
            if (i > matchLength) {
                matchPosition = ((r - p) & (N - 1)) - 1;
                if ((matchLength = i) >= F)
                    break;
            }
            if (i == matchLength) {
                const int c = ((r - p) & (N - 1)) - 1;
                if (c < matchPosition)
                    matchPosition = c;
            }
        }
    }
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p)
        rson[dad[p]] = r;
    else
        lson[dad[p]] = r;
    dad[p] = N;
}

void TLZH::deleteNode(int p)
{
    if (dad[p] == N)
        return;
    int q;
    if (rson[p] == N) {
        q = lson[p];
    } else if (lson[p] == N) {
        q = rson[p];
    } else {
        q = lson[p];
        if (rson[q] != N) {
            do {
                q = rson[q];
            } while (rson[q] != N);
            rson[dad[q]] = lson[q];
            dad[lson[q]] = dad[q];
            lson[q] = lson[p];
            dad[lson[p]] = q;
        }
        rson[q] = rson[p];
        dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p)
        rson[dad[p]] = q;
    else
        lson[dad[p]] = q;
    dad[p] = N;
}

Result TLZH::encode(std::int64_t size, const Reader &read, const Writer &write)
{
    if (size <= 0)
        return Result::Ok;
    BitWriter out(write);
    ByteReader in(read);
    std::int64_t consumed = 0;
    auto getc = [&]() -> int {
        if (consumed >= size)
            return -1;
        const int c = in.get();
        if (c >= 0)
            ++consumed;
        return c;
    };
    auto encodeChar = [&](int c) {
        // Walk from the leaf to the root; the code is read off in reverse.
        std::uint32_t code = 0;
        int len = 0;
        int k = prnt[c + T];
        do {
            code >>= 1;
            if (k & 1)
                code |= 0x80000000u;
            ++len;
        } while ((k = prnt[k]) != R);
        out.put(len, code);
        update(c);
    };
    auto encodePosition = [&](unsigned c) {
        const unsigned i = c >> 6;
        out.put(p_len[i], std::uint32_t(p_code[i]) << 24);
        out.put(6, std::uint32_t(c & 0x3F) << 26);
    };

    startHuff();
    initTree();
    int s = 0;
    int r = N - F;
    std::fill(text.begin(), text.begin() + r, std::uint8_t(' '));
    int len = 0;
    for (int c; len < F && (c = getc()) >= 0; ++len)
        text[r + len] = std::uint8_t(c);
    for (int i = 1; i <= F; ++i)
        insertNode(r - i);
    insertNode(r);
    do {
        if (matchLength > len)
            matchLength = len;
        if (matchLength <= Threshold) {
            matchLength = 1;
            encodeChar(text[r]);
        } else {
            encodeChar(255 - Threshold + matchLength);
            encodePosition(unsigned(matchPosition));
        }
        const int lastMatchLength = matchLength;
        int i = 0;
        for (int c; i < lastMatchLength && (c = getc()) >= 0; ++i) {
            deleteNode(s);
            text[s] = std::uint8_t(c);
            if (s < F - 1)
                text[s + N] = std::uint8_t(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            insertNode(r);
        }
        while (i++ < lastMatchLength) {
            deleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len)
                insertNode(r);
        }
        if (!out.ok())
            return Result::WriteError;
    } while (len > 0);
    if (consumed != size)
        return Result::ReadError;
    return out.finish() ? Result::Ok : Result::WriteError;
}

Result TLZH::decode(std::int64_t size, const Reader &read, const Writer &write)
{
    if (size < 0)
        return Result::Corrupt;
    const DecodeTables &d = tables();
    BitReader in(read);
    if (size == 0)
        return in.atEnd() ? Result::Ok : Result::SizeMismatch;
    ByteWriter out(write);
    startHuff();
    std::fill(text.begin(), text.begin() + (N - F), std::uint8_t(' '));
    int r = N - F;
    std::int64_t count = 0;
    while (count < size) {
        // Walk from the root to a leaf, one bit per level.
        unsigned c = unsigned(son[R]);
        while (c < unsigned(T)) {
            const int b = in.bit();
            if (b < 0)
                return Result::Corrupt;
            c = unsigned(son[c + unsigned(b)]);
        }
        c -= T;
        update(int(c));
        if (c < 256) {
            out.put(std::uint8_t(c));
            text[r++] = std::uint8_t(c);
            r &= (N - 1);
            ++count;
        } else {
            int i = in.byte();
            if (i < 0)
                return Result::Corrupt;
            const unsigned high = unsigned(d.code[i]) << 6;
            for (int j = d.len[i] - 2; j > 0; --j) {
                const int b = in.bit();
                if (b < 0)
                    return Result::Corrupt;
                i = (i << 1) + b;
            }
            const int position = int(high | (unsigned(i) & 0x3F));
            const int from = (r - position - 1) & (N - 1);
            const int n = int(c) - 255 + Threshold;
            if (count + n > size)
                return Result::SizeMismatch;
            for (int k = 0; k < n; ++k) {
                const std::uint8_t b = text[(from + k) & (N - 1)];
                out.put(b);
                text[r++] = b;
                r &= (N - 1);
            }
            count += n;
        }
        if (!out.ok())
            return Result::WriteError;
    }
    if (!out.flush())
        return Result::WriteError;
    // Only the padding of the last byte may follow the last symbol.
    return in.atEnd() ? Result::Ok : Result::SizeMismatch;
}

} // namespace lzhuf
