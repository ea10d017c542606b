#include "lazyicons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace ui {

namespace {

class LazyIconEngine : public QIconEngine {
public:
    explicit LazyIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("wordmire-lazy"); }
    QIconEngine *clone() const override { return new LazyIconEngine(*this); }

private:
    const QIcon &icon()
    {
        if (!m_icon)
            m_icon = m_make();
        return *m_icon;
    }

    std::function<QIcon()> m_make;
    std::optional<QIcon> m_icon;
};

} // namespace

QIcon LazyIconStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    // An option lives only for this call, so a request with one is answered
    // now; a widget may be gone by the time the icon is drawn, and then the
    // icon is made without it.
    if (option)
        return QProxyStyle::standardIcon(icon, option, widget);
    // The style may be replaced, and so deleted, before the icon is drawn.
    return QIcon(
            new LazyIconEngine([base = QPointer<QStyle>(baseStyle()), icon, from = QPointer<const QWidget>(widget)] {
                return base ? base->standardIcon(icon, nullptr, from.data()) : QIcon();
            }));
}

} // namespace ui
