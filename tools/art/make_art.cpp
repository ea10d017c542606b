// Draws the game's pictures with QPainter and writes them into data/pictures.
// Run by tools/make_art.sh; the outputs are committed, so building the game
// needs neither this program nor its run.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

QString out;

void save(const QImage &img, const QString &name)
{
    const QString path = QDir(out).filePath(name);
    if (!img.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// One smiley face of 17 x 16 in a cell of the strip: a round face and a
// mood drawn from a few parts, so that all 18 differ.
void drawFace(QPainter &p, int index)
{
    struct Mood {
        QColor face;
        int mouth; // 0 smile, 1 grin, 2 flat, 3 frown, 4 open, 5 tongue
        int eyes; // 0 dots, 1 wink, 2 closed, 3 wide, 4 glasses, 5 hearts
    };
    static const Mood moods[18] = {{"#ffd83b", 0, 0}, {"#ffd83b", 1, 0}, {"#ffd83b", 0, 1}, {"#ffd83b", 3, 0},
            {"#ffd83b", 4, 3}, {"#ffd83b", 5, 0}, {"#ffd83b", 2, 0}, {"#ffd83b", 0, 4}, {"#ff9a8a", 0, 5},
            {"#ffd83b", 1, 2}, {"#9ad0ff", 3, 2}, {"#ff6b5b", 3, 3}, {"#b6f08a", 4, 0}, {"#ffd83b", 2, 2},
            {"#ffd83b", 5, 1}, {"#d9b3ff", 0, 3}, {"#ffb347", 1, 4}, {"#ffd83b", 4, 1}};
    const Mood &m = moods[index];
    p.save();
    p.translate(index * 17, 0);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor("#6b4a00"), 1));
    p.setBrush(m.face);
    p.drawEllipse(QRectF(1, 0.5, 15, 15));
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::black);
    auto dot = [&](qreal x, qreal y, qreal r) { p.drawEllipse(QPointF(x, y), r, r); };
    switch (m.eyes) {
    case 0:
        dot(6, 6, 1);
        dot(11, 6, 1);
        break;
    case 1:
        dot(6, 6, 1);
        p.drawLine(QPointF(9.5, 6), QPointF(12.5, 6));
        break;
    case 2:
        p.drawLine(QPointF(4.5, 6), QPointF(7.5, 6));
        p.drawLine(QPointF(9.5, 6), QPointF(12.5, 6));
        break;
    case 3:
        p.setBrush(Qt::white);
        dot(6, 6, 2);
        dot(11, 6, 2);
        p.setBrush(Qt::black);
        dot(6, 6, 0.8);
        dot(11, 6, 0.8);
        break;
    case 4:
        p.setBrush(Qt::black);
        p.drawRect(QRectF(3.5, 4.5, 4, 3));
        p.drawRect(QRectF(9.5, 4.5, 4, 3));
        p.drawLine(QPointF(7.5, 5.5), QPointF(9.5, 5.5));
        break;
    case 5:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#d0002a"));
        dot(5.3, 5.5, 1.2);
        dot(7, 5.5, 1.2);
        dot(10.3, 5.5, 1.2);
        dot(12, 5.5, 1.2);
        break;
    }
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    switch (m.mouth) {
    case 0:
        mouth.moveTo(5, 10);
        mouth.quadTo(8.5, 13.5, 12, 10);
        p.drawPath(mouth);
        break;
    case 1:
        p.setBrush(Qt::white);
        mouth.moveTo(4.5, 9.5);
        mouth.quadTo(8.5, 15, 12.5, 9.5);
        mouth.closeSubpath();
        p.drawPath(mouth);
        break;
    case 2:
        p.drawLine(QPointF(5.5, 11), QPointF(11.5, 11));
        break;
    case 3:
        mouth.moveTo(5, 12.5);
        mouth.quadTo(8.5, 9, 12, 12.5);
        p.drawPath(mouth);
        break;
    case 4:
        p.setBrush(QColor("#5a1a00"));
        p.drawEllipse(QPointF(8.5, 11), 2, 2.2);
        break;
    case 5:
        mouth.moveTo(5, 10);
        mouth.quadTo(8.5, 13, 12, 10);
        p.drawPath(mouth);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#ff5a7a"));
        p.drawEllipse(QPointF(9.5, 12.3), 1.6, 1.4);
        break;
    }
    p.restore();
}

void smilies()
{
    QImage strip(18 * 17, 16, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (int i = 0; i < 18; ++i)
        drawFace(p, i);
    p.end();
    save(strip, QStringLiteral("smilies.png"));
}

// The mark beside a seat whose player just watches: a pair of eyes.
void eyes()
{
    QImage img(20, 14, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor("#333333"), 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 2, 8.5, 10));
    p.drawEllipse(QRectF(10.5, 2, 8.5, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#2a5db0"));
    p.drawEllipse(QPointF(6.5, 7.5), 2.4, 2.6);
    p.drawEllipse(QPointF(16, 7.5), 2.4, 2.6);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(6.8, 7.7), 1.1, 1.2);
    p.drawEllipse(QPointF(16.3, 7.7), 1.1, 1.2);
    p.end();
    save(img, QStringLiteral("eyes.png"));
}

const QColor kKey(0, 255, 0); // the transparent colour of tile strips

// Letter values, for the number on each tile.
int letterValue(char c)
{
    switch (c) {
    case 'B':
    case 'C':
    case 'G':
    case 'H':
    case 'M':
    case 'P':
    case 'Y':
        return 3;
    case 'F':
    case 'J':
    case 'K':
    case 'W':
        return 5;
    case 'V':
        return 7;
    case 'Q':
    case 'X':
    case 'Z':
        return 10;
    default:
        return 1;
    }
}

// How a tile set looks. The classic set and the three others below share
// the drawing; only colours, fonts and marks differ.
struct TileStyle {
    QColor blank = Qt::white;
    QColor tileLight = QColor("#fff4d6"), tileDark = QColor("#e9cf94"), tileBorder = QColor("#8a6a2a");
    qreal borderWidth = 1.5;
    QColor ink = QColor("#2b1d05"), valueInk = QColor("#2b1d05");
    int letterPx = 28, valuePx = 11;
    bool grain = false; // wood grain lines across the tile
    QColor plain = QColor("#d9e6cf");
    QColor tl = QColor("#2f6fd6"), tlInk = Qt::white;
    QColor bonus = QColor("#f2b705"), bonusInk = QColor("#3a2600");
    QColor dl = QColor("#8fc4ff"), dlInk = QColor("#0b2f66");
    QColor dw = QColor("#f7a1b5"), dwInk = QColor("#6b0f26");
    QColor tw = QColor("#d6283b"), twInk = Qt::white;
    int squarePx = 15;
    QColor mark = QColor("#e00000");
    qreal markWidth = 5;
    QColor slot = QColor("#e4ecf7"), diamond = QColor("#5b8ddf"), diamondBorder = QColor("#1c3f94");
};

void square(QPainter &p, const QRectF &r, QColor fill, const QString &label, QColor ink, int px)
{
    p.setPen(QPen(fill.darker(135), 1.2));
    p.setBrush(fill);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    if (label.isEmpty())
        return;
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(label.size() > 2 ? px * 11 / 15 : px);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(r, Qt::AlignCenter, label);
}

// One strip of 36 tiles of 56 x 56, pure green where the square beneath
// should show through.
QImage tileStrip(const TileStyle &st, int scale)
{
    const int t = 56;
    // Drawn on transparency first: edges then blend with nothing, and each
    // pixel ends up either the key or a colour of the set, never a mix of
    // both that would show as a green rim.
    QImage img(36 * t * scale, t * scale, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto cell = [&](int i) { return QRectF(i * t, 0, t, t); };

    // 0: a blank tile.
    p.fillRect(cell(0), st.blank);
    // 1..26: letter tiles with a transparent margin.
    for (int i = 1; i <= 26; ++i) {
        const char c = char('A' + i - 1);
        // A wide margin lets the square beneath show round the tile.
        const QRectF r = cell(i).adjusted(5, 5, -5, -5);
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, st.tileLight);
        g.setColorAt(1, st.tileDark);
        p.setPen(QPen(st.tileBorder, st.borderWidth));
        p.setBrush(g);
        p.drawRoundedRect(r, 5, 5);
        if (st.grain) {
            p.save();
            p.setClipRect(r.adjusted(1, 1, -1, -1));
            p.setPen(QPen(st.tileDark.darker(115), 0.8));
            for (int k = 0; k < 5; ++k) {
                const qreal y = r.top() + 6 + k * 9 + ((i * 7 + k * 3) % 5);
                QPainterPath wave;
                wave.moveTo(r.left(), y);
                wave.cubicTo(r.left() + 15, y - 3, r.left() + 30, y + 3, r.right(), y - 1);
                p.drawPath(wave);
            }
            p.restore();
        }
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(st.letterPx);
        p.setFont(f);
        p.setPen(st.ink);
        p.drawText(r.adjusted(0, -3, -4, 0), Qt::AlignCenter, QString(QChar(c)));
        f.setPixelSize(st.valuePx);
        p.setFont(f);
        p.setPen(st.valueInk);
        p.drawText(r.adjusted(0, 0, -4, -2), Qt::AlignRight | Qt::AlignBottom, QString::number(letterValue(c)));
    }
    // The squares, each easy to tell apart at a glance.
    square(p, cell(27), st.tl, QStringLiteral("TL"), st.tlInk, st.squarePx);
    square(p, cell(30), st.plain, QString(), Qt::black, st.squarePx);
    square(p, cell(31), st.bonus, QStringLiteral("BONUS"), st.bonusInk, st.squarePx);
    square(p, cell(32), st.dl, QStringLiteral("DL"), st.dlInk, st.squarePx);
    square(p, cell(33), st.dw, QStringLiteral("DW"), st.dwInk, st.squarePx);
    square(p, cell(34), st.tw, QStringLiteral("TW"), st.twInk, st.squarePx);
    // 28: an earlier pick, a cross; 29: the latest pick, a frame.
    p.setPen(QPen(st.mark, st.markWidth, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(cell(28).topLeft() + QPointF(10, 10), cell(28).bottomRight() - QPointF(10, 10));
    p.drawLine(cell(28).topRight() + QPointF(-10, 10), cell(28).bottomLeft() + QPointF(10, -10));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(st.mark, st.markWidth - 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell(29).adjusted(2, 2, -3, -3));
    p.setRenderHint(QPainter::Antialiasing);
    // 35: an empty slot of the letter strip, a diamond.
    p.fillRect(cell(35), st.slot);
    QPolygonF diamond;
    const QPointF c35 = cell(35).center();
    diamond << c35 + QPointF(0, -18) << c35 + QPointF(18, 0) << c35 + QPointF(0, 18) << c35 + QPointF(-18, 0);
    p.setPen(QPen(st.diamondBorder, 1.5));
    p.setBrush(st.diamond);
    p.drawPolygon(diamond);
    p.end();
    for (int y = 0; y < img.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            line[x] = qAlpha(line[x]) < 128 ? kKey.rgb() : (line[x] | 0xFF000000u);
    }
    return img.convertToFormat(QImage::Format_RGB32);
}

// The classic set, built into the program. Stored as BMP: read without
// decompression at every start.
void tiles(int scale)
{
    const QString name = scale == 1 ? QStringLiteral("tiles_classic.bmp") : QStringLiteral("tiles_classic@2x.bmp");
    tileStrip(TileStyle(), scale).save(QDir(out).filePath(name), "BMP");
}

// The sets that come with the program in its "zephyrtiles" folder.
void tileSets(const QString &dir)
{
    QDir().mkpath(dir);
    TileStyle wood;
    wood.tileLight = QColor("#f0cf98");
    wood.tileDark = QColor("#c08a4e");
    wood.tileBorder = QColor("#6b4219");
    wood.ink = wood.valueInk = QColor("#3a210a");
    wood.grain = true;
    wood.blank = QColor("#f3e6cc");
    wood.plain = QColor("#e3d3b0");
    wood.tl = QColor("#3f7f5a");
    wood.dl = QColor("#a9cfa3");
    wood.dlInk = QColor("#1d4a22");
    wood.dw = QColor("#e6a07a");
    wood.dwInk = QColor("#5a240c");
    wood.tw = QColor("#9a3320");
    wood.bonus = QColor("#e7a92a");
    wood.mark = QColor("#1f5fbf");
    wood.slot = QColor("#efe3cc");
    wood.diamond = QColor("#c08a4e");
    wood.diamondBorder = QColor("#6b4219");
    tileStrip(wood, 1).save(QDir(dir).filePath(QStringLiteral("wood.bmp")), "BMP");

    TileStyle dark;
    dark.tileLight = QColor("#4a5060");
    dark.tileDark = QColor("#2c3039");
    dark.tileBorder = QColor("#8d96a8");
    dark.ink = QColor("#f4f4f4");
    dark.valueInk = QColor("#a9c1dd");
    dark.blank = QColor("#2a2d35");
    dark.plain = QColor("#1b1e24");
    dark.tl = QColor("#2148a8");
    dark.dl = QColor("#2f6da6");
    dark.dlInk = QColor("#e8f2ff");
    dark.dw = QColor("#9a3f66");
    dark.dwInk = QColor("#ffe6f0");
    dark.tw = QColor("#b3242f");
    dark.bonus = QColor("#c99a16");
    dark.bonusInk = QColor("#1b1400");
    // Green, the one hue none of the squares has.
    dark.mark = QColor("#3ddc84");
    dark.slot = QColor("#262a33");
    dark.diamond = QColor("#4a6fa5");
    dark.diamondBorder = QColor("#9db8e0");
    tileStrip(dark, 1).save(QDir(dir).filePath(QStringLiteral("dark.bmp")), "BMP");

    // For players who see poorly: white tiles, heavy black letters, strong
    // square colours and thick marks.
    TileStyle contrast;
    contrast.tileLight = contrast.tileDark = Qt::white;
    contrast.tileBorder = Qt::black;
    contrast.borderWidth = 2.5;
    contrast.ink = contrast.valueInk = Qt::black;
    contrast.letterPx = 36;
    contrast.valuePx = 12;
    contrast.plain = QColor("#b4b4b4");
    contrast.tl = QColor("#0022bb");
    contrast.dl = QColor("#00a0ff");
    contrast.dlInk = Qt::black;
    contrast.dw = QColor("#ff4fc3");
    contrast.dwInk = Qt::black;
    contrast.tw = QColor("#c80000");
    contrast.bonus = QColor("#ffd000");
    contrast.bonusInk = Qt::black;
    contrast.squarePx = 18;
    // Green: no square of this set is green, so a pick never reads as one.
    contrast.mark = QColor("#00a651");
    contrast.markWidth = 7;
    contrast.slot = Qt::white;
    contrast.diamond = Qt::black;
    contrast.diamondBorder = Qt::black;
    tileStrip(contrast, 1).save(QDir(dir).filePath(QStringLiteral("contrast.bmp")), "BMP");
}

QImage canvas(int w, int h, int scale)
{
    QImage img(w * scale, h * scale, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

QString suffix(int scale)
{
    return scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
}

void button(const QString &name, const QString &label, int w, int h, QColor base, int scale)
{
    QImage img = canvas(w, h, scale);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, base.lighter(135));
    g.setColorAt(1, base.darker(120));
    p.setPen(QPen(base.darker(170), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 7, 7);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(14);
    p.setFont(f);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QRectF(1, 1, w, h), Qt::AlignCenter, label);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, label);
    p.end();
    save(img, name + suffix(scale));
}

// An arrow showing where the tiles go: 1 down, 2 left, 3 up, 4 right.
void arrow(int direction, int scale)
{
    const bool across = direction == 1 || direction == 3;
    const int w = across ? 140 : 22;
    const int h = across ? 22 : 139;
    QImage img = canvas(w, h, scale);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor("#1c5a1c"), 1.2));
    p.setBrush(QColor("#3cb043"));
    QPolygonF a;
    if (direction == 1)
        a << QPointF(20, 3) << QPointF(120, 3) << QPointF(120, 9) << QPointF(70, 20) << QPointF(20, 9);
    else if (direction == 3)
        a << QPointF(20, 19) << QPointF(120, 19) << QPointF(120, 13) << QPointF(70, 2) << QPointF(20, 13);
    else if (direction == 2)
        a << QPointF(19, 20) << QPointF(19, 119) << QPointF(13, 119) << QPointF(2, 69.5) << QPointF(13, 20);
    else
        a << QPointF(3, 20) << QPointF(3, 119) << QPointF(9, 119) << QPointF(20, 69.5) << QPointF(9, 20);
    p.drawPolygon(a);
    p.end();
    save(img, QStringLiteral("arrow%1").arg(direction) + suffix(scale));
}

// How many shuffles a seat has left: 0 to 5 stacked pips.
void shuffles(int scale)
{
    for (int n = 0; n <= 5; ++n) {
        QImage img = canvas(12, 41, scale);
        QPainter p(&img);
        p.scale(scale, scale);
        p.setRenderHint(QPainter::Antialiasing);
        for (int k = 0; k < 5; ++k) {
            const QRectF r(1.5, 33.5 - k * 8, 9, 6);
            p.setPen(QPen(QColor("#5a6b7d"), 1));
            p.setBrush(k < n ? QColor("#7fd1f0") : QColor(0, 0, 0, 0));
            p.drawRoundedRect(r, 2, 2);
        }
        p.end();
        save(img, QStringLiteral("shuffles%1").arg(n) + suffix(scale));
    }
}

void turnMarker(int scale)
{
    QImage img = canvas(10, 40, scale);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor("#7a4b00"), 1));
    p.setBrush(QColor("#ffb000"));
    QPolygonF a;
    a << QPointF(1, 8) << QPointF(9, 13) << QPointF(1, 18);
    p.drawPolygon(a);
    p.end();
    save(img, QStringLiteral("turn") + suffix(scale));
}

// Five frames of the seven-letter bonus banner, growing brighter.
void bonusFrames(int scale)
{
    for (int k = 0; k < 5; ++k) {
        QImage img = canvas(217, 19, scale);
        QPainter p(&img);
        p.scale(scale, scale);
        p.setRenderHint(QPainter::Antialiasing);
        QColor back = QColor::fromHsv(40 + k * 8, 200, 255);
        p.setPen(QPen(back.darker(150), 1));
        p.setBrush(back);
        p.drawRoundedRect(QRectF(0.5, 0.5, 216, 18), 8, 8);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(12 + (k % 2));
        p.setFont(f);
        p.setPen(QColor("#5a1a00"));
        p.drawText(QRectF(0, 0, 217, 19), Qt::AlignCenter, QStringLiteral("SEVEN LETTERS! +20"));
        p.end();
        save(img, QStringLiteral("bonus%1").arg(k + 1) + suffix(scale));
    }
}

// The window's background: a soft marsh-green texture, stored as JPEG.
// The phrase buttons, 29 x 25: a speech bubble with the button's number for
// the nine phrases, a loudspeaker for the tenth (the chatter sounds).
void phraseButton(int k, int scale)
{
    const int w = 29, h = 25;
    QImage img = canvas(w, h, scale);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base = k == 10 ? QColor("#7a5cc4") : QColor::fromHsv((k * 37) % 360, 120, 225);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, base.lighter(125));
    g.setColorAt(1, base.darker(115));
    p.setPen(QPen(base.darker(170), 1));
    p.setBrush(g);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1.5, 1.5, w - 3, h - 7), 6, 6);
    QPainterPath tail;
    tail.moveTo(7, h - 6);
    tail.lineTo(6, h - 1);
    tail.lineTo(12, h - 6);
    p.drawPath(bubble.united(tail));
    if (k == 10) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        QPainterPath speaker;
        speaker.addRect(QRectF(7, 7.5, 3.5, 4));
        speaker.moveTo(10.5, 7.5);
        speaker.lineTo(14.5, 4.5);
        speaker.lineTo(14.5, 14.5);
        speaker.lineTo(10.5, 11.5);
        p.drawPath(speaker);
        p.setPen(QPen(Qt::white, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(13, 5.5, 6, 8), -50 * 16, 100 * 16);
        p.drawArc(QRectF(13, 3, 10, 13), -50 * 16, 100 * 16);
    } else {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(12);
        p.setFont(f);
        p.setPen(QColor(0, 0, 0, 90));
        p.drawText(QRectF(1.8, 1.8, w - 3, h - 7), Qt::AlignCenter, QString::number(k));
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 1, w - 3, h - 7), Qt::AlignCenter, QString::number(k));
    }
    p.end();
    save(img, QStringLiteral("phrase%1").arg(k) + suffix(scale));
}

// The program's icon: two letter tiles, W and M, on a green board square.
void icon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient bg(0, 0, 0, 256);
    bg.setColorAt(0, QColor("#4f9a44"));
    bg.setColorAt(1, QColor("#2d6a2a"));
    p.setPen(QPen(QColor("#1d4a1b"), 6));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    auto tile = [&](QRectF r, const QString &letter, qreal angle) {
        p.save();
        p.translate(r.center());
        p.rotate(angle);
        p.translate(-r.center());
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, QColor("#fff4d6"));
        g.setColorAt(1, QColor("#e9cf94"));
        p.setPen(QPen(QColor("#8a6a2a"), 5));
        p.setBrush(g);
        p.drawRoundedRect(r, 16, 16);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(int(r.height() * 0.62));
        p.setFont(f);
        p.setPen(QColor("#2b1d05"));
        p.drawText(r, Qt::AlignCenter, letter);
        p.restore();
    };
    tile(QRectF(30, 34, 124, 124), QStringLiteral("W"), -8);
    tile(QRectF(112, 108, 112, 112), QStringLiteral("M"), 7);
    p.end();
    save(img, QStringLiteral("icon%1.png").arg(size));
}

void iconSvg(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="board" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#4f9a44"/><stop offset="1" stop-color="#2d6a2a"/>
    </linearGradient>
    <linearGradient id="tile" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#fff4d6"/><stop offset="1" stop-color="#e9cf94"/>
    </linearGradient>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="44" fill="url(#board)" stroke="#1d4a1b" stroke-width="6"/>
  <g transform="rotate(-8 92 96)">
    <rect x="30" y="34" width="124" height="124" rx="16" fill="url(#tile)" stroke="#8a6a2a" stroke-width="5"/>
    <text x="92" y="125" font-family="DejaVu Sans, sans-serif" font-weight="bold" font-size="77" text-anchor="middle" fill="#2b1d05">W</text>
  </g>
  <g transform="rotate(7 168 164)">
    <rect x="112" y="108" width="112" height="112" rx="16" fill="url(#tile)" stroke="#8a6a2a" stroke-width="5"/>
    <text x="168" y="189" font-family="DejaVu Sans, sans-serif" font-weight="bold" font-size="69" text-anchor="middle" fill="#2b1d05">M</text>
  </g>
</svg>
)svg");
}

void background()
{
    QImage img(777, 530, QImage::Format_RGB32);
    QLinearGradient g(0, 0, 777, 530);
    g.setColorAt(0, QColor("#e7efe0"));
    g.setColorAt(1, QColor("#cfdcc4"));
    QPainter p(&img);
    p.fillRect(img.rect(), g);
    p.setPen(QPen(QColor(255, 255, 255, 60), 2));
    for (int y = 20; y < 530; y += 38) {
        QPainterPath wave;
        wave.moveTo(0, y);
        for (int x = 0; x <= 777; x += 40)
            wave.quadTo(x + 10, y - 6, x + 20, y), wave.quadTo(x + 30, y + 6, x + 40, y);
        p.drawPath(wave);
    }
    p.end();
    const QString path = QDir(out).filePath(QStringLiteral("background.jpg"));
    img.save(path, "JPEG", 85);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("data/pictures");
    QDir().mkpath(out);
    smilies();
    eyes();
    tileSets(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("data/tilesets"));
    for (int size : {48, 128, 256})
        icon(size);
    iconSvg(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("data/wordmire.svg"));
    background();
    for (int scale : {1, 2}) {
        tiles(scale);
        button(QStringLiteral("button_clear"), QStringLiteral("Clear"), 74, 31, QColor("#6b7f99"), scale);
        button(QStringLiteral("button_shuffle"), QStringLiteral("Zephyr Shuffle"), 164, 31, QColor("#3f8fb5"), scale);
        button(QStringLiteral("button_start"), QStringLiteral("Start Game"), 145, 31, QColor("#4a9a3a"), scale);
        button(QStringLiteral("button_done"), QStringLiteral("Done"), 74, 31, QColor("#c2621b"), scale);
        for (int d = 1; d <= 4; ++d)
            arrow(d, scale);
        shuffles(scale);
        turnMarker(scale);
        bonusFrames(scale);
        for (int k = 1; k <= 10; ++k)
            phraseButton(k, scale);
    }
    return 0;
}
