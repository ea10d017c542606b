#include "tilemenu.h"
#include "artscale.h"

#include "preferences.h"

#include <QActionGroup>
#include <QMenu>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {
QString &folderOverride()
{
    static QString dir;
    return dir;
}
} // namespace

// Where tile sets are looked for, first first: beside the program; where an
// installed program's data lives (../share/wordmire); the user's own data
// folder, for sets added to an installed game.
QStringList TileMenu::tileFolders()
{
    if (!folderOverride().isEmpty())
        return {folderOverride()};
    const QDir exe(QCoreApplication::applicationDirPath());
    QStringList dirs{exe.filePath(QStringLiteral("zephyrtiles")),
            QDir::cleanPath(exe.filePath(QStringLiteral("../share/wordmire/zephyrtiles")))};
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!data.isEmpty())
        dirs << QDir(data).filePath(QStringLiteral("zephyrtiles"));
    return dirs;
}

void TileMenu::setTileFolder(const QString &dir)
{
    folderOverride() = dir;
}

TileMenu::TileMenu(QMenu *menu, Preferences &prefs, QObject *parent) : QObject(parent), m_menu(menu), m_prefs(prefs)
{
    grouptilesmenu();
    // A set whose file is no picture leaves the built-in images in use.
    if (!loadgrouptiles(prefs.tiles()))
        m_images.loadClassic();
    // An enlarged panel wants the doubled strip, a normal one the plain.
    connect(&ui::ArtScale::instance(), &ui::ArtScale::changed, this, [this] { loadgrouptiles(m_prefs.tiles()); });
}

void TileMenu::grouptilesmenu()
{
    auto *group = new QActionGroup(this);
    group->setExclusive(true);
    // A set's name names its menu item too, so it must be an identifier and
    // unique; files that break either rule are passed over.
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    // The built-in images come first, so a player can always go back to them
    // (a file named after them is passed over).
    QAction *classic = m_menu->addAction(tr("Classic"));
    classic->setObjectName(QStringLiteral("classic3"));
    classic->setToolTip(QStringLiteral("classic"));
    classic->setCheckable(true);
    group->addAction(classic);
    connect(classic, &QAction::triggered, this, [this, classic] { grouptilesmenuClick(classic); });
    m_menu->addSeparator();
    QStringList seen{QStringLiteral("classic")};
    QFileInfoList files;
    for (const QString &folder : tileFolders())
        files << QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &f : files) {
        if (!f.fileName().endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
            continue;
        const QString name = f.fileName().section(QLatin1Char('.'), 0, 0);
        if (!identifier.match(name).hasMatch() || seen.contains(name, Qt::CaseInsensitive))
            continue;
        seen << name;
        // Shown capitalised beside "Classic"; the file's own name is kept
        // for loading and the settings.
        QAction *item = m_menu->addAction(name.left(1).toUpper() + name.mid(1));
        item->setObjectName(name + QLatin1Char('3'));
        item->setToolTip(name);
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { grouptilesmenuClick(item); });
    }
}

bool TileMenu::hasSet(const QString &name)
{
    for (const QString &folder : tileFolders())
        if (QFileInfo(QDir(folder).filePath(name + QStringLiteral(".bmp"))).isFile())
            return true;
    return false;
}

bool TileMenu::loadgrouptiles(const QString &name)
{
    // A set without its file leaves the built-in images in use, and ticked.
    if (name.compare(QLatin1String("classic"), Qt::CaseInsensitive) == 0 || name.isEmpty() || !hasSet(name)) {
        m_menu->findChild<QAction *>(QStringLiteral("classic3"))->setChecked(true);
        if (!m_images.loadClassic())
            return false;
        emit imagesChanged();
        return true;
    }
    // The set's own file: NAME.bmp in the first folder that has one.
    QString path;
    for (const QString &folder : tileFolders()) {
        const QString candidate = QDir(folder).filePath(name + QStringLiteral(".bmp"));
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty())
        return false;
    // A file that is no picture counts as no file: the built-in images.
    if (!m_images.load(path))
        return loadgrouptiles(QStringLiteral("classic"));
    if (QAction *item = m_menu->findChild<QAction *>(name + QLatin1Char('3')))
        item->setChecked(true);
    emit imagesChanged();
    return true;
}

void TileMenu::grouptilesmenuClick(QAction *item)
{
    const QString name = item->toolTip();
    loadgrouptiles(name);
    m_prefs.setTiles(name);
}
