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
    // One pass over the strip turns the key colour into transparency; the
    // tiles are then plain pictures with an alpha channel. An opaque strip
    // is changed where it lies, in the form the screen draws from: a copy
    // of it would cost the start-up more than the pass itself.
    QImage alpha = std::move(strip);
    alpha.convertTo(alpha.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_ARGB32_Premultiplied);
    // The sizes are read once: asked for at every pixel, they cost the pass
    // more than its own work.
    const QRgb key = qRgb(0, 255, 0) & 0x00FFFFFF;
    const int width = alpha.width();
    const int height = alpha.height();
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(alpha.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if ((line[x] & 0x00FFFFFF) == key)
                line[x] = 0;
        }
    }
    m_strip = std::move(alpha);
    m_scale = scale;
    m_images = {};
    return true;
}

bool TileImages::loadClassic()
{
    return load(QStringLiteral(":/pictures/tiles_classic.bmp"));
}

// Each tile is cut from the strip when first drawn: the window opens on an
// empty board, and a set chosen is often changed again before a game.
const QPixmap &TileImages::operator[](int code) const
{
    static const QPixmap none;
    if (!isValidCode(code))
        return none;
    QPixmap &image = m_images[size_t(code)];
    if (image.isNull() && !m_strip.isNull()) {
        const int s = Size * m_scale;
        image = QPixmap::fromImage(m_strip.copy(code * s, 0, s, s));
        image.setDevicePixelRatio(m_scale);
    }
    return image;
}
