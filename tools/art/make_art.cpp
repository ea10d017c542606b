// Draws the game's pictures with QPainter and writes them into data/pictures.
// Run by tools/make_art.sh; the outputs are committed, so building the game
// needs neither this program nor its run.

#include <QColor>
#include <QDir>
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
        int eyes;  // 0 dots, 1 wink, 2 closed, 3 wide, 4 glasses, 5 hearts
    };
    static const Mood moods[18] = {
        {"#ffd83b", 0, 0}, {"#ffd83b", 1, 0}, {"#ffd83b", 0, 1}, {"#ffd83b", 3, 0}, {"#ffd83b", 4, 3},
        {"#ffd83b", 5, 0}, {"#ffd83b", 2, 0}, {"#ffd83b", 0, 4}, {"#ff9a8a", 0, 5}, {"#ffd83b", 1, 2},
        {"#9ad0ff", 3, 2}, {"#ff6b5b", 3, 3}, {"#b6f08a", 4, 0}, {"#ffd83b", 2, 2}, {"#ffd83b", 5, 1},
        {"#d9b3ff", 0, 3}, {"#ffb347", 1, 4}, {"#ffd83b", 4, 1}};
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
    case 0: dot(6, 6, 1); dot(11, 6, 1); break;
    case 1: dot(6, 6, 1); p.drawLine(QPointF(9.5, 6), QPointF(12.5, 6)); break;
    case 2: p.drawLine(QPointF(4.5, 6), QPointF(7.5, 6)); p.drawLine(QPointF(9.5, 6), QPointF(12.5, 6)); break;
    case 3: p.setBrush(Qt::white); dot(6, 6, 2); dot(11, 6, 2); p.setBrush(Qt::black); dot(6, 6, 0.8); dot(11, 6, 0.8); break;
    case 4: p.setBrush(Qt::black); p.drawRect(QRectF(3.5, 4.5, 4, 3)); p.drawRect(QRectF(9.5, 4.5, 4, 3)); p.drawLine(QPointF(7.5, 5.5), QPointF(9.5, 5.5)); break;
    case 5: p.setPen(Qt::NoPen); p.setBrush(QColor("#d0002a")); dot(5.3, 5.5, 1.2); dot(7, 5.5, 1.2); dot(10.3, 5.5, 1.2); dot(12, 5.5, 1.2); break;
    }
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    switch (m.mouth) {
    case 0: mouth.moveTo(5, 10); mouth.quadTo(8.5, 13.5, 12, 10); p.drawPath(mouth); break;
    case 1: p.setBrush(Qt::white); mouth.moveTo(4.5, 9.5); mouth.quadTo(8.5, 15, 12.5, 9.5); mouth.closeSubpath(); p.drawPath(mouth); break;
    case 2: p.drawLine(QPointF(5.5, 11), QPointF(11.5, 11)); break;
    case 3: mouth.moveTo(5, 12.5); mouth.quadTo(8.5, 9, 12, 12.5); p.drawPath(mouth); break;
    case 4: p.setBrush(QColor("#5a1a00")); p.drawEllipse(QPointF(8.5, 11), 2, 2.2); break;
    case 5: mouth.moveTo(5, 10); mouth.quadTo(8.5, 13, 12, 10); p.drawPath(mouth); p.setPen(Qt::NoPen); p.setBrush(QColor("#ff5a7a")); p.drawEllipse(QPointF(9.5, 12.3), 1.6, 1.4); break;
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

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("data/pictures");
    QDir().mkpath(out);
    smilies();
    eyes();
    return 0;
}
