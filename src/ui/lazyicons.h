#pragma once
// The style's own icons (the menu bar's overflow arrow, the message boxes'
// pictures...) made when first drawn, not when asked for. Asking for one
// reads a picture file through Qt's image loading, which loads every image
// format plugin it has and their libraries; the menu bar asks as it is built,
// long before anything would show its arrow.

#include <QProxyStyle>

namespace ui {

class LazyIconStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override;
};

} // namespace ui
