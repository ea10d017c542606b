#include "tileimages.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <tuple>

class TestTileImages : public QObject {
    Q_OBJECT
private slots:
    void classicStrip();
    void keyColourIsTransparent();
    void wrongSizesPaddedOrCut_data();
    void wrongSizesPaddedOrCut();
    void pickMarksStandOut_data();
    void pickMarksStandOut();
};

namespace {
// The colour most of a picture's opaque pixels have.
QColor dominant(const QPixmap &picture)
{
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                ++counts[image.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            std::tie(best, most) = std::tie(it.key(), it.value());
    return QColor::fromRgb(best);
}

// Told apart at a glance: another hue, or one far lighter or darker.
bool distinct(const QColor &a, const QColor &b)
{
    const bool bothColoured = a.hsvSaturation() > 80 && b.hsvSaturation() > 80;
    const int hues = std::abs(a.hsvHue() - b.hsvHue());
    const int hueGap = std::min(hues, 360 - hues);
    if (bothColoured)
        return hueGap >= 40 || std::abs(a.value() - b.value()) >= 100
                || std::abs(a.hsvSaturation() - b.hsvSaturation()) >= 100;
    return std::abs(a.value() - b.value()) >= 60 || std::abs(a.hsvSaturation() - b.hsvSaturation()) >= 100;
}
} // namespace

void TestTileImages::classicStrip()
{
    TileImages t;
    QVERIFY(t.loadClassic());
    for (int code = 0; code < TileImages::Count; ++code)
        QCOMPARE(t[code].size() / t[code].devicePixelRatio(), QSize(56, 56));
    QVERIFY(t[36].isNull());
    QVERIFY(t[-1].isNull());
    // Squares are opaque, letter tiles leave a transparent margin.
    const QImage square = t[30].toImage();
    QCOMPARE(qAlpha(square.pixel(0, 0)), 255);
    const QImage letter = t[1].toImage();
    QCOMPARE(qAlpha(letter.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(letter.pixel(28, 28)), 255);
}

void TestTileImages::keyColourIsTransparent()
{
    QTemporaryDir dir;
    QImage strip(36 * 56, 56, QImage::Format_RGB32);
    strip.fill(Qt::white);
    strip.setPixel(56 * 5 + 3, 4, qRgb(0, 255, 0));
    strip.setPixel(56 * 5 + 4, 4, qRgb(0, 254, 0)); // near green stays
    const QString path = dir.filePath("set.bmp");
    QVERIFY(strip.save(path));
    TileImages t;
    QVERIFY(t.load(path));
    const QImage tile = t[5].toImage();
    QCOMPARE(qAlpha(tile.pixel(3, 4)), 0);
    QCOMPARE(qAlpha(tile.pixel(4, 4)), 255);
    QCOMPARE(qAlpha(tile.pixel(0, 0)), 255);
}

void TestTileImages::wrongSizesPaddedOrCut_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tile"); // a tile to look at
    QTest::addColumn<QPoint>("at"); // a pixel in it
    QTest::addColumn<bool>("drawn"); // red there, or blank (transparent)
    QTest::newRow("35 tiles: the last is blank") << QSize(35 * 56, 56) << 35 << QPoint(20, 20) << false;
    QTest::newRow("35 tiles: the others load") << QSize(35 * 56, 56) << 34 << QPoint(20, 20) << true;
    QTest::newRow("too tall: cut") << QSize(36 * 56, 60) << 5 << QPoint(55, 55) << true;
    QTest::newRow("tiny: the rest is blank") << QSize(10, 10) << 0 << QPoint(20, 20) << false;
    QTest::newRow("tiny: its own pixels") << QSize(10, 10) << 0 << QPoint(5, 5) << true;
    QTest::newRow("1000 wide") << QSize(1000, 56) << 20 << QPoint(30, 30) << false;
}

// A strip of another size is padded with blank or cut, never refused; only
// what is no picture at all is.
void TestTileImages::wrongSizesPaddedOrCut()
{
    QFETCH(QSize, size);
    QFETCH(int, tile);
    QFETCH(QPoint, at);
    QFETCH(bool, drawn);
    QTemporaryDir dir;
    QImage odd(size, QImage::Format_RGB32);
    odd.fill(Qt::red);
    QVERIFY(odd.save(dir.filePath("odd.png")));
    TileImages t;
    QVERIFY(t.loadClassic());
    const QImage before = t[7].toImage();
    QVERIFY(!t.load(dir.filePath("missing.png")));
    QCOMPARE(t[7].toImage(), before);
    QVERIFY(t.load(dir.filePath("odd.png")));
    const QImage img = t[tile].toImage();
    QCOMPARE(img.size(), QSize(56, 56));
    QCOMPARE(qAlpha(img.pixel(at)), drawn ? 255 : 0);
}

QTEST_MAIN(TestTileImages)
#include "tst_tileimages.moc"

// A picked tile must never look like a bonus square: in each set of our own
// the pick marks' colour differs from every square's. (The built-in set keeps
// its red cross and frame, as the game has always drawn them.)
void TestTileImages::pickMarksStandOut_data()
{
    QTest::addColumn<QString>("set");
    for (const char *name : {"contrast", "dark", "wood"})
        QTest::newRow(name) << QFINDTESTDATA(QStringLiteral("../../data/tilesets/%1.bmp").arg(QLatin1String(name)));
}

void TestTileImages::pickMarksStandOut()
{
    QFETCH(QString, set);
    TileImages t;
    QVERIFY(t.load(set));
    for (int mark : {28, 29}) {
        const QColor m = dominant(t[mark]);
        for (int square : {27, 30, 31, 32, 33, 34}) {
            const QColor s = dominant(t[square]);
            QVERIFY2(distinct(m, s),
                    qPrintable(QStringLiteral("mark %1 %2 against square %3 %4")
                                       .arg(mark)
                                       .arg(m.name())
                                       .arg(square)
                                       .arg(s.name())));
        }
    }
}
