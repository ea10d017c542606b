#include "scaledpanel.h"

#include "artscale.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace ui {

ScaledPanel::ScaledPanel(QWidget *panel, const QPixmap &background, QWidget *parent)
    : QGraphicsView(parent), m_panel(panel), m_background(background)
{
    auto *scene = new QGraphicsScene(this);
    // The panel draws no background of its own: the view's shows through.
    panel->setAttribute(Qt::WA_TranslucentBackground);
    panel->setAutoFillBackground(false);
    m_proxy = scene->addWidget(panel);
    m_proxy->setPos(0, 0);
    m_proxy->setVisible(true);
    scene->setSceneRect(QRectF(QPointF(0, 0), QSizeF(panel->size())));
    setScene(scene);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignCenter);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // Only what changed is drawn again; the background is cached per size.
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    setCacheMode(QGraphicsView::CacheBackground);
}

double ScaledPanel::fitScale(QSize viewport, QSize panel)
{
    if (panel.isEmpty())
        return 1.0;
    const double fit = std::min(double(viewport.width()) / panel.width(), double(viewport.height()) / panel.height());
    return fit < 1.06 ? 1.0 : fit;
}

QRect ScaledPanel::panelRect() const
{
    return mapFromScene(sceneRect()).boundingRect();
}

void ScaledPanel::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    const double scale = fitScale(viewport()->size(), m_panel->size());
    m_scaledBackground = QPixmap();
    resetCachedContent();
    if (scale == m_scale && transform().m11() == scale)
        return;
    m_scale = scale;
    setTransform(QTransform::fromScale(scale, scale));
    ArtScale::instance().followPanelScale(scale);
    emit scaleChanged(scale);
}

void ScaledPanel::drawBackground(QPainter *painter, const QRectF &)
{
    if (m_background.isNull())
        return;
    const QSize area = viewport()->size();
    if (m_scaledBackground.size() != area) {
        // Enlarged to cover, centred, the overflow cut: no seams.
        const QPixmap covering = m_background.scaled(area, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        m_scaledBackground = covering.copy((covering.width() - area.width()) / 2,
                (covering.height() - area.height()) / 2, area.width(), area.height());
    }
    painter->save();
    painter->resetTransform();
    painter->drawPixmap(0, 0, m_scaledBackground);
    painter->restore();
}

} // namespace ui
