#include "gamelist.h"

#include "messages.h"

#include <QCoreApplication>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

QString GameRow::text() const
{
    // Three lines, so none is cut at the dialog's width: the game's name,
    // its seats, and where it is and, in a word, how it is reached.
    return QCoreApplication::translate("GameList", "%1\n%2 of 4 seats taken%3\n%4 (%5)")
            .arg(name)
            .arg(seatsTaken)
            .arg(running ? QCoreApplication::translate("GameList", ", game running") : QString(), where, reach);
}

namespace {

bool before(const GameRow *a, const GameRow *b)
{
    const bool ia = a->internet.has_value(), ib = b->internet.has_value();
    if (ia != ib)
        return ib;
    if (const int c = a->sortName.compare(b->sortName); c != 0)
        return c < 0;
    return a->key < b->key;
}

} // namespace

int GameList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant GameList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const GameRow &r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return r.text();
    case Qt::ToolTipRole:
        // However long a line, the whole of it is in the tooltip, as written.
        return ui::plainToolTip(r.text());
    case KeyRole:
        return r.key;
    case InternetRole:
        return r.internet.has_value();
    default:
        return {};
    }
}

bool GameList::shown(const GameRow &row) const
{
    return m_search.isEmpty() || row.name.contains(m_search, Qt::CaseInsensitive);
}

size_t GameList::place(const GameRow &row) const
{
    return size_t(std::lower_bound(m_rows.begin(), m_rows.end(), &row, before) - m_rows.begin());
}

void GameList::insertShown(const GameRow *row)
{
    const size_t at = place(*row);
    beginInsertRows({}, int(at), int(at));
    m_rows.insert(m_rows.begin() + qsizetype(at), row);
    endInsertRows();
}

void GameList::removeShown(const GameRow *row)
{
    const size_t at = place(*row);
    if (at >= m_rows.size() || m_rows[at] != row)
        return;
    beginRemoveRows({}, int(at), int(at));
    m_rows.erase(m_rows.begin() + qsizetype(at));
    endRemoveRows();
}

void GameList::set(const GameRow &row)
{
    const auto it = m_all.find(row.key);
    if (it == m_all.end()) {
        GameRow &added = m_all.emplace(row.key, row).first->second;
        added.sortName = row.name.toCaseFolded();
        if (shown(added))
            insertShown(&added);
        return;
    }
    GameRow &old = it->second;
    const bool wasShown = shown(old);
    GameRow next = row;
    next.sortName = row.name.toCaseFolded();
    const bool moves = next.sortName != old.sortName || next.internet.has_value() != old.internet.has_value();
    if (wasShown && (moves || !shown(next))) {
        removeShown(&old);
        old = std::move(next);
        if (shown(old))
            insertShown(&old);
        return;
    }
    old = std::move(next);
    if (!wasShown) {
        if (shown(old))
            insertShown(&old);
        return;
    }
    const QModelIndex at = index(int(place(old)));
    emit dataChanged(at, at);
}

void GameList::remove(const QString &key)
{
    const auto it = m_all.find(key);
    if (it == m_all.end())
        return;
    if (shown(it->second))
        removeShown(&it->second);
    m_all.erase(it);
}

void GameList::removeAll(bool internet)
{
    beginResetModel();
    std::erase_if(m_rows, [&](const GameRow *r) { return r->internet.has_value() == internet; });
    std::erase_if(m_all, [&](const auto &kv) { return kv.second.internet.has_value() == internet; });
    // Memory goes back when a lobby of thousands does.
    if (internet)
        m_rows.shrink_to_fit();
    endResetModel();
}

QList<QString> GameList::localKeys() const
{
    QList<QString> keys;
    for (const auto &[key, r] : m_all)
        if (!r.internet)
            keys.append(key);
    return keys;
}

void GameList::setSearch(const QString &text)
{
    const QString search = text.trimmed();
    if (search == m_search)
        return;
    beginResetModel();
    m_search = search;
    m_rows.clear();
    for (const auto &[key, r] : m_all)
        if (shown(r))
            m_rows.push_back(&r);
    std::sort(m_rows.begin(), m_rows.end(), before);
    endResetModel();
}

int GameList::rowOf(const QString &key) const
{
    const auto it = m_all.find(key);
    if (it == m_all.end() || !shown(it->second))
        return -1;
    const size_t at = place(it->second);
    return at < m_rows.size() && m_rows[at] == &it->second ? int(at) : -1;
}

namespace {

constexpr int Margin = 4;

QSize buttonSize(const QWidget *widget)
{
    const QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionButton b;
    b.text = QCoreApplication::translate("GameList", "Join");
    b.fontMetrics = widget ? widget->fontMetrics() : QFontMetrics(QApplication::font());
    const QSize text(b.fontMetrics.horizontalAdvance(b.text), b.fontMetrics.height());
    return style->sizeFromContents(QStyle::CT_PushButton, &b, text, widget).expandedTo(QSize(60, 0));
}

} // namespace

QRect GameDelegate::buttonRect(const QRect &row, const QWidget *widget)
{
    const QSize size = buttonSize(widget);
    return QRect(
            row.right() - Margin - size.width() + 1, row.center().y() - size.height() / 2, size.width(), size.height());
}

QRect GameDelegate::textRect(const QRect &row, const QWidget *widget)
{
    QRect r = row.adjusted(Margin, 1, 0, -1);
    r.setRight(buttonRect(row, widget).left() - Margin);
    return r;
}

void GameDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    painter->save();
    const QRect text = textRect(option.rect, widget);
    const QFontMetrics fm = option.fontMetrics;
    painter->setPen(
            option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    int y = text.top() + (text.height() - 3 * fm.lineSpacing()) / 2;
    // A line too long for the row ends in "..." (whole in the tooltip).
    for (const QString &line : index.data().toString().split(QLatin1Char('\n'))) {
        painter->drawText(QRect(text.left(), y, text.width(), fm.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter,
                fm.elidedText(line, Qt::ElideRight, text.width()));
        y += fm.lineSpacing();
    }
    painter->restore();

    QStyleOptionButton button;
    button.initFrom(widget);
    button.rect = buttonRect(option.rect, widget);
    button.text = QCoreApplication::translate("GameList", "Join");
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    if (m_pressed == index)
        button.state |= QStyle::State_Sunken;
    style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
}

QSize GameDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(0, qMax(3 * option.fontMetrics.lineSpacing() + 2, buttonSize(option.widget).height()) + 2);
}

bool GameDelegate::editorEvent(
        QEvent *event, QAbstractItemModel *, const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const bool onButton = mouse->button() == Qt::LeftButton
            && buttonRect(option.rect, option.widget).contains(mouse->position().toPoint());
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressed = onButton ? QPersistentModelIndex(index) : QPersistentModelIndex();
        return onButton;
    }
    // A click is a press and a release on the same row's button.
    const bool clicked = onButton && m_pressed == index;
    m_pressed = QPersistentModelIndex();
    if (clicked)
        emit joinClicked(index);
    return clicked;
}
