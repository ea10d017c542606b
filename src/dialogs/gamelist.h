#pragma once
// The games a player can join, as rows of a list view: those heard on the
// local network first, then the internet lobby's, each part by name. A
// lobby of thousands changes a row at a time (inserted, changed or removed
// where it belongs), and a search narrows the rows to the games whose names
// hold its text.

#include "internetlobby.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStyledItemDelegate>

#include <optional>
#include <unordered_map>
#include <vector>

struct GameRow {
    QString key; // the internet host's id, or the local game's address
    QString name;
    int seatsTaken = 0;
    bool running = false;
    QString where; // the host's address (and port, when not the usual one)
    QString reach; // how it is reached, in a word or two
    QString address; // host or host:port, as joined on the local network
    std::optional<lobby::InternetGame> internet;
    QString text() const; // the three lines shown
    QString sortName; // the name folded, set by the list
};

class GameList : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { KeyRole = Qt::UserRole, InternetRole };
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // Adds or changes the row with the game's key.
    void set(const GameRow &row);
    void remove(const QString &key);
    // Every row from the local network (or from the lobby) goes.
    void removeAll(bool internet);
    // The keys of the local network's rows.
    QList<QString> localKeys() const;
    void setSearch(const QString &text);
    const GameRow &row(int at) const { return *m_rows[size_t(at)]; }
    // Where the game with this key is shown; -1 when it is not.
    int rowOf(const QString &key) const;

private:
    bool shown(const GameRow &row) const;
    // Where a row with this sort key is, or would go.
    size_t place(const GameRow &row) const;
    void insertShown(const GameRow *row);
    void removeShown(const GameRow *row);

    // Every game, by key (node-based: a row's address holds while it lives).
    std::unordered_map<QString, GameRow> m_all;
    // Those shown, in order.
    std::vector<const GameRow *> m_rows;
    QString m_search;
};

// Each row: three lines of text, and a Join button at its right that the
// player clicks (drawn, so a row costs no widgets).
class GameDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static QRect buttonRect(const QRect &row, const QWidget *widget);
    static QRect textRect(const QRect &row, const QWidget *widget);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
            const QModelIndex &index) override;

signals:
    void joinClicked(const QModelIndex &index);

private:
    QPersistentModelIndex m_pressed;
};
