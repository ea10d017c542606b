#include "boardaccessible.h"

#include "boardview.h"
#include "rules.h"

#include <QCoreApplication>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <array>

namespace {

QString squareName(int picture)
{
    switch (picture) {
    case rules::tile::BonusSquare:
        return QCoreApplication::translate("BoardAccessible", "bonus square");
    case rules::tile::DoubleLetter:
        return QCoreApplication::translate("BoardAccessible", "double letter");
    case rules::tile::TripleLetter:
        return QCoreApplication::translate("BoardAccessible", "triple letter");
    case rules::tile::DoubleWord:
        return QCoreApplication::translate("BoardAccessible", "double word");
    case rules::tile::TripleWord:
        return QCoreApplication::translate("BoardAccessible", "triple word");
    default:
        return QString();
    }
}

class CellAccessible : public QAccessibleInterface {
public:
    CellAccessible(BoardView *view, int x, int y) : m_view(view), m_x(x), m_y(y) { }
    bool isValid() const override { return m_view != nullptr; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view->window()->windowHandle(); }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        const QRect r = BoardView::cellRect(m_x, m_y);
        return QRect(m_view->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.selected = picked();
        s.focused = m_view->hasFocus() && m_view->focusCell() == QPoint(m_x, m_y);
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        const ClientBoard *b = m_view->board();
        if (!b)
            return QString();
        const int code = b->letters[size_t(m_x)][size_t(m_y)];
        if (t == QAccessible::Name) {
            if (code < 1 || code > 26)
                return QStringLiteral("empty");
            const int value = rules::letterworth(code);
            return QStringLiteral("%1, %2 %3")
                    .arg(QChar(char('A' + code - 1)))
                    .arg(value)
                    .arg(value == 1 ? QStringLiteral("point") : QStringLiteral("points"));
        }
        if (t == QAccessible::Description) {
            QStringList parts{
                    QCoreApplication::translate("BoardAccessible", "row %1, column %2").arg(m_y + 1).arg(m_x + 1)};
            const QString square = squareName(b->squares[size_t(m_x)][size_t(m_y)]);
            if (!square.isEmpty())
                parts << square;
            if (picked())
                parts << QStringLiteral("picked");
            return parts.join(QStringLiteral(", "));
        }
        return QString();
    }

private:
    bool picked() const
    {
        const ClientBoard *b = m_view->board();
        const int o = b ? b->overlay[size_t(m_x)][size_t(m_y)] : -1;
        return o == rules::tile::PickMark || o == rules::tile::LastPickMark;
    }
    QPointer<BoardView> m_view;
    int m_x, m_y;
};

class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(BoardView *view)
        : QAccessibleWidget(view, QAccessible::Table, QCoreApplication::translate("BoardAccessible", "Board"))
    {
        for (int y = 0; y < ClientBoard::Size; ++y)
            for (int x = 0; x < ClientBoard::Size; ++x)
                m_cells[size_t(y * ClientBoard::Size + x)] = new CellAccessible(view, x, y);
    }
    ~BoardAccessible() override
    {
        for (CellAccessible *c : m_cells)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(c));
    }
    int childCount() const override { return int(m_cells.size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        CellAccessible *c = m_cells[size_t(index)];
        QAccessible::registerAccessibleInterface(c);
        return c;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < m_cells.size(); ++i)
            if (m_cells[i] == child)
                return int(i);
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
        const QPoint cell = BoardView::cellAt(local);
        return cell.x() < 0 ? nullptr : child(cell.y() * ClientBoard::Size + cell.x());
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QCoreApplication::translate("BoardAccessible", "Board");
        return QAccessibleWidget::text(t);
    }

private:
    std::array<CellAccessible *, ClientBoard::Size * ClientBoard::Size> m_cells{};
};

} // namespace

namespace ui {
QAccessibleInterface *boardAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("BoardView") && object && object->isWidgetType())
        return new BoardAccessible(static_cast<BoardView *>(object));
    return nullptr;
}
} // namespace ui
