#pragma once
// Which of the two drawings of the game's pictures is in use: the ordinary
// ones, or the doubled ones ("name@2x") once the game panel is drawn
// enlarged, so that a bigger window stays crisp. The views ask for their
// pictures here and draw them again when the choice changes.

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>

class QAbstractButton;
class QLabel;

namespace ui {

class ArtScale : public QObject {
    Q_OBJECT
public:
    static ArtScale &instance();
    // 1 or 2.
    int scale() const { return m_scale; }
    // The art that suits a panel drawn `factor` times its own size.
    void followPanelScale(double factor);
    void setScale(int scale);

signals:
    void changed();

private:
    int m_scale = 1;
};

// A picture file read by the reader its name's suffix names, and only when
// that fails by asking every image format Qt has. Qt's own loading asks every
// format plugin first, which loads all of them and their libraries (WebP,
// TIFF, MNG...) for the first picture: a good part of the start-up. A picture
// a PicturePrefetch is reading is taken from there.
QImage readPicture(const QString &path);
// The same, always from the file.
QImage readPictureFile(const QString &path);
QPixmap loadPicture(const QString &path);
// A picture several windows show, read once for all of them (while the
// pixmap cache keeps it).
QPixmap sharedPicture(const QString &path);
// The picture behind every window.
QPixmap backgroundPicture();

// ":/pictures/<name>.png", or its doubled drawing (device pixel ratio 2)
// while the doubled art is in use and there is one.
QPixmap picture(const QString &name);
// A button drawn as nothing but its picture (see-through while disabled,
// nudged while pressed), following the art scale. The style's own icon path
// cannot do that: it asks for pictures at the screen's ratio and never sees
// the panel's enlargement.
void paintAsPicture(QAbstractButton *button, const QString &name);
// A label showing picture(name), shown again when the art scale changes.
void showPicture(QLabel *label, const QString &name);

} // namespace ui
