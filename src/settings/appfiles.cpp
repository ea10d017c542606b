#include "appfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace settings {

namespace {
QString &overrideDir()
{
    static QString d;
    return d;
}

QString defaultDir()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeDir).isWritable())
        return exeDir;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config;
}
} // namespace

QString besideExecutable(const QString &fileName)
{
    static const QString fallback = defaultDir();
    const QString dir = overrideDir().isEmpty() ? fallback : overrideDir();
    return QDir(dir).filePath(fileName);
}

void setBesideExecutableDir(const QString &dir)
{
    overrideDir() = dir;
}

} // namespace settings
