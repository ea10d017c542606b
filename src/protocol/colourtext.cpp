#include "colourtext.h"

#include <array>
#include <cstring>

namespace wire {

namespace {

struct NamedColour {
    const char *name;
    quint32 value;
};

// The sixteen basic colours come first: they are the only names a sender
// produces. The rest are further names a receiver understands.
constexpr std::array<NamedColour, 20> kColours{{
        {"clBlack", 0x000000},
        {"clMaroon", 0x000080},
        {"clGreen", 0x008000},
        {"clOlive", 0x008080},
        {"clNavy", 0x800000},
        {"clPurple", 0x800080},
        {"clTeal", 0x808000},
        {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},
        {"clLime", 0x00FF00},
        {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},
        {"clFuchsia", 0xFF00FF},
        {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},
        {"clMoneyGreen", 0xC0DCC0},
        {"clSkyBlue", 0xF0CAA6},
        {"clCream", 0xF0FBFF},
        {"clMedGray", 0xA4A0A0},
}};
constexpr int kBasicCount = 16;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray colourToText(quint32 bgr)
{
    for (int i = 0; i < kBasicCount; ++i) {
        if (kColours[i].value == bgr)
            return kColours[i].name;
    }
    return "$" + QByteArray::number(bgr, 16).toUpper().rightJustified(8, '0');
}

quint32 textToColour(QByteArrayView text)
{
    return readColour(text).value_or(UnreadableColour);
}

std::optional<quint32> readColour(QByteArrayView text)
{
    for (const auto &c : kColours) {
        if (text.compare(QByteArrayView(c.name), Qt::CaseInsensitive) == 0)
            return c.value;
    }
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && text[0] == '-') {
        negative = true;
        i = 1;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const int d = base == 16 ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (negative)
        value = (~value + 1) & 0xFFFFFFFFull;
    return static_cast<quint32>(value);
}

} // namespace wire
