#pragma once
// Shows a panel of fixed design size as large as the window allows, keeping
// its proportions: enlarged, the panel lives in a graphics scene and the view
// scales it, so every widget in it stays a plain widget at its designed
// geometry (clicks arrive in its own coordinates); at its designed size it is
// an ordinary child, centred. Text is drawn at the screen's
// resolution; pictures switch to the doubled art once enlarged enough. The
// background picture covers the whole window, enlarged without repeating.

#include <QGraphicsView>
#include <QPixmap>

class QGraphicsProxyWidget;

namespace ui {

class ScaledPanel : public QGraphicsView {
    Q_OBJECT
public:
    // Takes `panel` and shows it.
    ScaledPanel(QWidget *panel, const QPixmap &background, QWidget *parent = nullptr);

    double scaleFactor() const { return m_scale; }
    // Where the panel is drawn, in the view's coordinates.
    QRect panelRect() const;
    // The factor that suits a viewport of this size: as large as fits, but
    // never below 1, and exactly 1 when only a little larger (crisp text at
    // the designed size).
    static double fitScale(QSize viewport, QSize panel);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;

private:
    void embed(bool enlarged);

    QWidget *m_panel;
    QGraphicsProxyWidget *m_proxy = nullptr; // while enlarged
    QPixmap m_background;
    QPixmap m_scaledBackground; // m_background covering the viewport
    QSize m_scaledFor; // the viewport size m_scaledBackground was made for
    double m_scale = 1.0;
};

} // namespace ui
