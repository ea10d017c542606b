// Tile sets: strips of 36 tiles in the "zephyrtiles" folder beside the
// program, listed once in the Tiles menu, chosen there and remembered.

#include "tchat.h"
#include "ui_tchat.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
QString &folderOverride()
{
    static QString dir;
    return dir;
}
} // namespace

QString Tchat::tileFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zephyrtiles"));
}

void Tchat::setTileFolder(const QString &dir)
{
    folderOverride() = dir;
}

void Tchat::grouptilesmenu()
{
    const QDir dir(tileFolder());
    auto *group = new QActionGroup(this);
    group->setExclusive(true);
    // A set's name names its menu item too, so it must be an identifier and
    // unique; files that break either rule are passed over.
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    QStringList seen;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &f : files) {
        if (!f.fileName().endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
            continue;
        const QString name = f.fileName().section(QLatin1Char('.'), 0, 0);
        if (!identifier.match(name).hasMatch() || seen.contains(name, Qt::CaseInsensitive))
            continue;
        seen << name;
        QAction *item = ui->Tiles1->addAction(name);
        item->setObjectName(name + QLatin1Char('3'));
        item->setToolTip(name);
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { grouptilesmenuClick(item); });
    }
}

void Tchat::loadgrouptiles(const QString &name)
{
    const QDir dir(tileFolder());
    const QString path = dir.filePath(name + QStringLiteral(".bmp"));
    if (!QFileInfo(path).isFile())
        return;
    if (QAction *item = findChild<QAction *>(name + QLatin1Char('3'))) {
        item->setChecked(true);
        m_tileset = item->toolTip();
    }
    if (!imagelist_letters.load(path))
        return;
    ui->paintbox_board->drawAll();
    for (int k = 1; k <= ClientModel::StripLength; ++k)
        showSlot(k, m_model.stripCode(k));
}

void Tchat::grouptilesmenuClick(QAction *item)
{
    const QString name = item->toolTip();
    loadgrouptiles(name);
    m_tileset = name;
    saveinifile();
}
