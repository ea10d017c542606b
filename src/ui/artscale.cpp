#include "artscale.h"
#include "prefetch.h"

#include <QLabel>
#include <QAbstractButton>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>

namespace ui {

ArtScale &ArtScale::instance()
{
    static ArtScale scale;
    return scale;
}

void ArtScale::followPanelScale(double factor)
{
    // Above a quarter larger the ordinary art would be blown up visibly.
    setScale(factor > 1.25 ? 2 : 1);
}

void ArtScale::setScale(int scale)
{
    scale = scale >= 2 ? 2 : 1;
    if (scale == m_scale)
        return;
    m_scale = scale;
    emit changed();
}

QImage readPicture(const QString &path)
{
    if (PicturePrefetch *ahead = PicturePrefetch::running())
        if (std::optional<QImage> image = ahead->take(path))
            return std::move(*image);
    return readPictureFile(path);
}

QImage readPictureFile(const QString &path)
{
    QImage image;
    {
        QImageReader byName(path, QFileInfo(path).suffix().toLatin1());
        byName.setAutoDetectImageFormat(false);
        if (byName.read(&image))
            return image;
    }
    // A file named for one format holding another (a tile set saved as PNG
    // under a .bmp name) still loads, the slow way.
    QImageReader any(path);
    if (any.read(&image))
        return image;
    return QImage(); // what a failed read leaves behind is no picture
}

QPixmap loadPicture(const QString &path)
{
    return QPixmap::fromImage(readPicture(path));
}

QPixmap sharedPicture(const QString &path)
{
    const QString key = QStringLiteral("wm-file:") + path;
    QPixmap found;
    if (!QPixmapCache::find(key, &found)) {
        found = loadPicture(path);
        QPixmapCache::insert(key, found);
    }
    return found;
}

QPixmap backgroundPicture()
{
    return sharedPicture(QStringLiteral(":/pictures/background.jpg"));
}

QPixmap picture(const QString &name)
{
    const int scale = ArtScale::instance().scale();
    const QString key = QStringLiteral("wm-art:%1:%2").arg(name).arg(scale);
    QPixmap found;
    if (QPixmapCache::find(key, &found))
        return found;
    const QString base = QStringLiteral(":/pictures/") + name;
    if (scale == 2 && QFile::exists(base + QStringLiteral("@2x.png"))) {
        found = loadPicture(base + QStringLiteral("@2x.png"));
        found.setDevicePixelRatio(2.0);
    }
    if (found.isNull())
        found = loadPicture(base + QStringLiteral(".png"));
    QPixmapCache::insert(key, found);
    return found;
}

namespace {

class PicturePainter : public QObject {
public:
    PicturePainter(QAbstractButton *button, QString name) : QObject(button), m_button(button), m_name(std::move(name))
    {
        connect(&ArtScale::instance(), &ArtScale::changed, button, qOverload<>(&QWidget::update));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_button || event->type() != QEvent::Paint)
            return false;
        QPainter p(m_button);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_button->isEnabled())
            p.setOpacity(0.4);
        const QRect r = m_button->rect().translated(m_button->isDown() ? QPoint(1, 1) : QPoint());
        p.drawPixmap(r, picture(m_name));
        return true;
    }

private:
    QAbstractButton *m_button;
    QString m_name;
};

} // namespace

void paintAsPicture(QAbstractButton *button, const QString &name)
{
    button->setText(QString());
    button->setIcon(QIcon());
    button->installEventFilter(new PicturePainter(button, name));
}

void showPicture(QLabel *label, const QString &name)
{
    static const char *const shown = "wmPicture";
    if (!label->property(shown).isValid()) {
        QObject::connect(&ArtScale::instance(), &ArtScale::changed, label,
                [label] { label->setPixmap(picture(label->property(shown).toString())); });
    }
    label->setProperty(shown, name);
    label->setPixmap(picture(name));
}

} // namespace ui
