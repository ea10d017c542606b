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
    // The scene is there from the start for its background; the panel goes
    // into it only while enlarged.
    setScene(new QGraphicsScene(this));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignCenter);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // Only what changed is drawn again. The background keeps its own picture
    // scaled to the viewport, so the view caches nothing more of it.
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    // The picture covers the whole viewport: nothing behind it need be drawn
    // first, neither the viewport's own fill nor the window's.
    viewport()->setAutoFillBackground(background.isNull());
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, !background.isNull());
    // The panel draws no background of its own: the view's shows through.
    panel->setAttribute(Qt::WA_TranslucentBackground);
    panel->setAutoFillBackground(false);
    panel->setParent(viewport());
    panel->show();
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
    return m_proxy ? mapFromScene(sceneRect()).boundingRect() : m_panel->geometry();
}

// At its designed size the panel is an ordinary child of the view: drawn
// through the scene, every repaint (a chat line, a tick of the clock) would
// cost two to three times as much, so the scene carries it only while it
// is enlarged. The keyboard stays where it was across the move.
void ScaledPanel::embed(bool enlarged)
{
    if (enlarged == (m_proxy != nullptr))
        return;
    QWidget *focus = m_panel->focusWidget();
    const bool hadFocus = focus && focus->hasFocus();
    if (enlarged) {
        m_panel->setParent(nullptr);
        m_proxy = scene()->addWidget(m_panel);
        m_proxy->setPos(0, 0);
        m_proxy->setVisible(true);
        scene()->setSceneRect(QRectF(QPointF(0, 0), QSizeF(m_panel->size())));
    } else {
        m_proxy->setWidget(nullptr);
        delete m_proxy;
        m_proxy = nullptr;
        m_panel->setParent(viewport());
        m_panel->show();
        scene()->setSceneRect(QRectF(QPointF(0, 0), QSizeF(viewport()->size())));
    }
    if (hadFocus)
        focus->setFocus();
}

void ScaledPanel::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    const double scale = fitScale(viewport()->size(), m_panel->size());
    m_scaledBackground = QPixmap();
    m_scaledFor = QSize();
    embed(scale != 1.0);
    if (!m_proxy) {
        const QSize room = viewport()->size() - m_panel->size();
        m_panel->move(std::max(0, room.width() / 2), std::max(0, room.height() / 2));
        scene()->setSceneRect(QRectF(QPointF(0, 0), QSizeF(viewport()->size())));
    }
    if (scale == m_scale && transform().m11() == scale)
        return;
    m_scale = scale;
    setTransform(QTransform::fromScale(scale, scale));
    ArtScale::instance().followPanelScale(scale);
}

void ScaledPanel::drawBackground(QPainter *painter, const QRectF &)
{
    if (m_background.isNull())
        return;
    const QSize area = viewport()->size();
    if (m_scaledFor != area) {
        // Enlarged to cover, centred, the overflow left outside the view: no
        // seams.
        m_scaledBackground = m_background.scaled(area, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        m_scaledFor = area;
    }
    painter->save();
    painter->resetTransform();
    painter->drawPixmap((area.width() - m_scaledBackground.width()) / 2,
            (area.height() - m_scaledBackground.height()) / 2, m_scaledBackground);
    painter->restore();
}

} // namespace ui
