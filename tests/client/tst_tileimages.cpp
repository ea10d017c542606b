#include "tileimages.h"

#include "artscale.h"
#include "lazyicons.h"
#include "look.h"
#include "prefetch.h"

#include <QHash>
#include <QLabel>
#include <QImage>
#include <QBuffer>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <tuple>

Q_DECLARE_METATYPE(ui::Look)

class TestTileImages : public QObject {
    Q_OBJECT
private slots:
    void classicStrip();
    void keyColourIsTransparent();
    void wrongSizesPaddedOrCut_data();
    void wrongSizesPaddedOrCut();
    void pickMarksStandOut_data();
    void pickMarksStandOut();
    void picturesByContent_data();
    void picturesByContent();
    void styleIconsMadeWhenDrawn_data();
    void styleIconsMadeWhenDrawn();
    void looksDrawnAndTakenBack_data();
    void looksDrawnAndTakenBack();
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
    QVERIFY(t[7].toImage() != before); // a tile drawn before is cut anew
    const QImage img = t[tile].toImage();
    QCOMPARE(img.size(), QSize(56, 56));
    QCOMPARE(qAlpha(img.pixel(at)), drawn ? 255 : 0);
}

// A picture is read by its name's format first, but what the file holds
// decides: a set saved under the wrong suffix still loads, and what is no
// picture is refused, through the tile loader as through the plain reader,
// and read ahead on another thread just as it is read at once.
void TestTileImages::picturesByContent_data()
{
    QTest::addColumn<QByteArray>("format"); // what the file holds; empty: no picture
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("loads");
    QTest::newRow("BMP as .bmp") << QByteArray("BMP") << "set.bmp" << true;
    QTest::newRow("PNG as .png") << QByteArray("PNG") << "set.png" << true;
    QTest::newRow("PNG as .bmp") << QByteArray("PNG") << "set.bmp" << true;
    QTest::newRow("BMP as .png") << QByteArray("BMP") << "set.png" << true;
    QTest::newRow("BMP without suffix") << QByteArray("BMP") << "set" << true;
    QTest::newRow("BMP as .BMP") << QByteArray("BMP") << "SET.BMP" << true;
    QTest::newRow("text as .bmp") << QByteArray() << "set.bmp" << false;
    QTest::newRow("cut-off PNG") << QByteArray("PNG-cut") << "set.png" << false;
}

void TestTileImages::picturesByContent()
{
    QFETCH(QByteArray, format);
    QFETCH(QString, name);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QImage strip(36 * 56, 56, QImage::Format_RGB32);
    strip.fill(QColor(10, 120, 200));
    QByteArray bytes = "not a picture at all";
    if (!format.isEmpty()) {
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QVERIFY(strip.save(&out, format.startsWith("PNG") ? "PNG" : "BMP"));
        if (format.endsWith("-cut"))
            bytes.truncate(bytes.size() / 2);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const QImage read = ui::readPicture(path);
    QCOMPARE(!read.isNull(), loads);
    if (loads)
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), strip);
    {
        ui::PicturePrefetch ahead({dir.filePath("missing.png"), path});
        ui::PicturePrefetch second({path}); // only one reads at a time
        QCOMPARE(second.take(path), std::nullopt);
        QCOMPARE(ui::readPicture(path), read);
        QCOMPARE(ahead.take(path), std::nullopt); // handed out once
        QCOMPARE(ahead.take(dir.filePath("other.png")), std::nullopt); // never asked for
        QVERIFY(ui::readPicture(dir.filePath("missing.png")).isNull());
    }
    TileImages t;
    QVERIFY(t.loadClassic());
    const QImage before = t[3].toImage();
    QCOMPARE(t.load(path), loads);
    QCOMPARE(QColor(t[3].toImage().pixel(30, 30)), loads ? QColor(10, 120, 200) : QColor(before.pixel(30, 30)));
}

// The style's icons are made when first drawn, and then look exactly like
// the style's own; one asked for by a widget that is gone by then is still
// drawn.
void TestTileImages::styleIconsMadeWhenDrawn_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("widgetGone");
    QTest::newRow("menu bar overflow") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << false;
    QTest::newRow("warning") << int(QStyle::SP_MessageBoxWarning) << false;
    QTest::newRow("question") << int(QStyle::SP_MessageBoxQuestion) << false;
    QTest::newRow("OK button") << int(QStyle::SP_DialogOkButton) << false;
    QTest::newRow("overflow, widget gone") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << true;
}

void TestTileImages::styleIconsMadeWhenDrawn()
{
    QFETCH(int, which);
    QFETCH(bool, widgetGone);
    const auto icon = QStyle::StandardPixmap(which);
    ui::LazyIconStyle lazy;
    QStyle *base = lazy.baseStyle();
    auto widget = std::make_unique<QPushButton>();
    const QIcon made = lazy.standardIcon(icon, nullptr, widget.get());
    const QIcon own = base->standardIcon(icon, nullptr, widget.get());
    if (widgetGone)
        widget.reset();
    QCOMPARE(made.isNull(), own.isNull());
    for (int size : {16, 32, 64}) {
        QCOMPARE(made.actualSize(QSize(size, size)), own.actualSize(QSize(size, size)));
        QCOMPARE(made.pixmap(size).toImage(), own.pixmap(size).toImage());
    }
    // A copy of the icon draws the same.
    const QIcon copy = made;
    QCOMPARE(copy.pixmap(24).toImage(), own.pixmap(24).toImage());
    // One never drawn outlives its style harmlessly: it draws nothing.
    QIcon orphan;
    {
        ui::LazyIconStyle gone;
        orphan = gone.standardIcon(icon, nullptr, nullptr);
    }
    QVERIFY(orphan.pixmap(16).isNull());
}

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

// A look fills and borders the widget under its own text, moves the text in
// by the border and the padding, and a default look gives the widget back
// its own colours and margins, however many looks came before.
void TestTileImages::looksDrawnAndTakenBack_data()
{
    QTest::addColumn<ui::Look>("look");
    QTest::addColumn<QColor>("centre"); // the fill over the white behind
    QTest::addColumn<QColor>("edge"); // half way down the left edge
    QTest::addColumn<QMargins>("margins");
    const QColor red(200, 16, 46), gold(255, 210, 74);
    QTest::newRow("fill") << ui::Look{{}, red, {}, 0, 0, {}} << red << red << QMargins();
    QTest::newRow("half-clear fill") << ui::Look{{}, QColor(0, 0, 0, 128), {}, 0, 0, {}} << QColor(127, 127, 127)
                                     << QColor(127, 127, 127) << QMargins();
    QTest::newRow("border and padding") << ui::Look{Qt::white, gold, red, 2, 6, QMargins(8, 2, 8, 2)} << gold << red
                                        << QMargins(10, 4, 10, 4);
    QTest::newRow("text colour only") << ui::Look{red, {}, {}, 0, 0, {}} << QColor(Qt::white) << QColor(Qt::white)
                                      << QMargins();
}

void TestTileImages::looksDrawnAndTakenBack()
{
    QFETCH(ui::Look, look);
    QFETCH(QColor, centre);
    QFETCH(QColor, edge);
    QFETCH(QMargins, margins);
    QWidget back;
    back.setAutoFillBackground(true);
    QPalette white = back.palette();
    white.setColor(QPalette::Window, Qt::white);
    back.setPalette(white);
    back.resize(100, 40);
    auto *label = new QLabel(&back);
    label->setGeometry(0, 0, 100, 40);
    const QColor ownText = label->palette().color(QPalette::WindowText);
    // Another look first: the one under test replaces it.
    ui::setLook(label, {Qt::green, Qt::blue, Qt::green, 5, 0, QMargins(20, 20, 20, 20)});
    ui::setLook(label, look);
    const QImage drawn = back.grab().toImage();
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2
                && std::abs(a.blue() - b.blue()) <= 2;
    };
    QVERIFY2(near(drawn.pixelColor(50, 20), centre), qPrintable(drawn.pixelColor(50, 20).name()));
    QVERIFY2(near(drawn.pixelColor(0, 20), edge), qPrintable(drawn.pixelColor(0, 20).name()));
    QCOMPARE(label->contentsMargins(), margins);
    QCOMPARE(label->palette().color(QPalette::WindowText), look.text.isValid() ? look.text : ownText);
    ui::setLook(label, {});
    QCOMPARE(label->contentsMargins(), QMargins());
    QCOMPARE(label->palette().color(QPalette::WindowText), ownText);
    QCOMPARE(back.grab().toImage().pixelColor(50, 20), QColor(Qt::white));
}

QTEST_MAIN(TestTileImages)
#include "tst_tileimages.moc"
