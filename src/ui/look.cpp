#include "look.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace ui {

namespace {

// Draws the fill and the border before the widget draws its text over them.
class LookPainter : public QObject {
public:
    explicit LookPainter(QWidget *widget)
        : QObject(widget), m_widget(widget), m_ownPalette(widget->palette()), m_ownMargins(widget->contentsMargins())
    {
        setObjectName(QStringLiteral("ui_look"));
        widget->installEventFilter(this);
    }

    void apply(const Look &look)
    {
        m_look = look;
        QPalette p = m_ownPalette;
        if (look.text.isValid()) {
            p.setColor(QPalette::WindowText, look.text);
            p.setColor(QPalette::Text, look.text);
        }
        m_widget->setPalette(p);
        const int edge = look.border.isValid() ? look.borderWidth : 0;
        m_widget->setContentsMargins(m_ownMargins + look.padding + QMargins(edge, edge, edge, edge));
        m_widget->update();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_widget || event->type() != QEvent::Paint)
            return false;
        const bool edge = m_look.border.isValid() && m_look.borderWidth > 0;
        if (!m_look.fill.isValid() && !edge)
            return false;
        QPainter p(m_widget);
        p.setRenderHint(QPainter::Antialiasing, m_look.radius > 0);
        const qreal half = edge ? m_look.borderWidth / 2.0 : 0.0;
        p.setPen(edge ? QPen(m_look.border, m_look.borderWidth) : QPen(Qt::NoPen));
        p.setBrush(m_look.fill.isValid() ? QBrush(m_look.fill) : QBrush(Qt::NoBrush));
        const QRectF r = QRectF(m_widget->rect()).adjusted(half, half, -half, -half);
        if (m_look.radius > 0)
            p.drawRoundedRect(r, m_look.radius, m_look.radius);
        else
            p.drawRect(r);
        return false; // the widget's own painting follows
    }

private:
    QWidget *m_widget;
    QPalette m_ownPalette;
    QMargins m_ownMargins;
    Look m_look;
};

} // namespace

void setLook(QWidget *widget, const Look &look)
{
    auto *painter = static_cast<LookPainter *>(
            widget->findChild<QObject *>(QStringLiteral("ui_look"), Qt::FindDirectChildrenOnly));
    if (!painter)
        painter = new LookPainter(widget);
    painter->apply(look);
}

QFont boldArial(int points)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(true);
    return f;
}

} // namespace ui
