#pragma once
// Tile sets: strips of 36 tiles in the "zephyrtiles" folders, listed once in
// the Tiles menu, chosen there and remembered in the preferences. The images
// in use live here; the board and the strip draw with them.

#include "tileimages.h"

#include <QObject>
#include <QStringList>

class Preferences;
class QAction;
class QMenu;

class TileMenu : public QObject {
    Q_OBJECT
public:
    TileMenu(QMenu *menu, Preferences &prefs, QObject *parent);

    const TileImages &images() const { return m_images; }
    // Where tile sets are looked for, first first.
    static QStringList tileFolders();
    // Tests point it elsewhere before the window is made (the menu is built
    // once, then).
    static void setTileFolder(const QString &dir);
    // Whether a set of this name has its file in one of the folders.
    static bool hasSet(const QString &name);

    void grouptilesmenu();
    bool loadgrouptiles(const QString &name); // false: no images loaded
    void grouptilesmenuClick(QAction *item);

signals:
    // Other images are in use: whatever shows tiles draws them again.
    void imagesChanged();

private:
    QMenu *m_menu;
    Preferences &m_prefs;
    TileImages m_images;
};
