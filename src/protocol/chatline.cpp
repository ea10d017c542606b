#include "chatline.h"

#include "colourtext.h"
#include "fieldreader.h"

namespace wire {

ColouredLine splitColour(const QByteArray &text)
{
    const qsizetype bar = text.indexOf('|');
    if (bar < 0)
        return {text, wire::UnreadableColour};
    return {text.left(bar), wire::textToColour(text.mid(bar + 1))};
}

QByteArray typedText(QByteArray text)
{
    for (char &c : text) {
        const uchar u = uchar(c);
        if (u == 0xFF)
            c = 'y';
        else if (c == '|')
            c = char(0xA6);
        else if (u < 0x20)
            c = ' ';
    }
    return text;
}

} // namespace wire
