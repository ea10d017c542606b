#include "tileimages.h"

#include "artscale.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

bool TileImages::load(const QString &path)
{
    // On a high-density screen or an enlarged panel the doubled strip is
    // used when there is one.
    const qreal ratio = std::max<qreal>(qApp ? qApp->devicePixelRatio() : 1.0, ui::ArtScale::instance().scale());
    QImage strip;
    int scale = 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (ratio > 1.0 && dot > 0) {
        QString hi = path;
        hi.insert(dot, QStringLiteral("@2x"));
        if (!(strip = ui::readPicture(hi)).isNull() && strip.width() == Count * Size * 2 && strip.height() == Size * 2)
            scale = 2;
        else
            strip = QImage();
    }
    if (strip.isNull() && (strip = ui::readPicture(path)).isNull())
        return false;
    if (strip.width() != Count * Size * scale || strip.height() != Size * scale) {
        // A strip of another size: what is missing stays blank (the key
        // colour, so the square shows), what is beyond is cut off.
        QImage fitted(Count * Size * scale, Size * scale, QImage::Format_RGB32);
        fitted.fill(QColor(0, 255, 0));
        QPainter p(&fitted);
        p.drawImage(0, 0, strip);
        p.end();
        strip = fitted;
    }
    const int s = Size * scale;
    // One pass over the strip turns the key colour into transparency; the
    // tiles are then plain pictures with an alpha channel.
    QImage alpha = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(0, 255, 0);
    for (int y = 0; y < alpha.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(alpha.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == (key & 0x00FFFFFF))
                line[x] = 0;
        }
    }
    std::array<QPixmap, Count> images;
    for (int i = 0; i < Count; ++i) {
        QPixmap pm = QPixmap::fromImage(alpha.copy(i * s, 0, s, s));
        pm.setDevicePixelRatio(scale);
        images[size_t(i)] = pm;
    }
    m_images = images;
    return true;
}

bool TileImages::loadClassic()
{
    return load(QStringLiteral(":/pictures/tiles_classic.bmp"));
}

const QPixmap &TileImages::operator[](int code) const
{
    static const QPixmap none;
    return isValidCode(code) ? m_images[size_t(code)] : none;
}
