#pragma once
// Options → "Klot's Strength": "Gentle", "Normal" or "Strong", one ticked,
// bound to the preferences. The hosting copy's host plays by it; a copy that
// joins another's game has nothing to choose.

#include <QObject>

#include <array>

class Preferences;
class QAction;
class QMenu;

class StrengthMenu : public QObject {
    Q_OBJECT
public:
    // The items in order Gentle, Normal, Strong.
    StrengthMenu(QMenu *menu, std::array<QAction *, 3> items, Preferences &prefs, QObject *parent);
    void setHosting(bool hosting);

private:
    void show();

    QMenu *m_menu;
    std::array<QAction *, 3> m_items;
    Preferences &m_prefs;
};
