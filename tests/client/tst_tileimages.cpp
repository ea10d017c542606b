#include "tileimages.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

class TestTileImages : public QObject {
    Q_OBJECT
private slots:
    void classicStrip();
    void keyColourIsTransparent();
    void wrongSizesRefused_data();
    void wrongSizesRefused();
};

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

void TestTileImages::wrongSizesRefused_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("35 tiles") << QSize(35 * 56, 56);
    QTest::newRow("too tall") << QSize(36 * 56, 60);
    QTest::newRow("tiny") << QSize(10, 10);
}

void TestTileImages::wrongSizesRefused()
{
    QFETCH(QSize, size);
    QTemporaryDir dir;
    QImage bad(size, QImage::Format_RGB32);
    bad.fill(Qt::red);
    QVERIFY(bad.save(dir.filePath("bad.png")));
    TileImages t;
    QVERIFY(t.loadClassic());
    const QImage before = t[7].toImage();
    QVERIFY(!t.load(dir.filePath("bad.png")));
    QVERIFY(!t.load(dir.filePath("missing.png")));
    QCOMPARE(t[7].toImage(), before);
}

QTEST_MAIN(TestTileImages)
#include "tst_tileimages.moc"
