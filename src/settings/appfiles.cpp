#include "appfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
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

QFunctionPointer moduleEntry(
        const QString &module, const char *entry, const QString &installedRelative, const QString &buildDir)
{
    const QString program = QCoreApplication::applicationDirPath();
    for (const QString &dir : {program, program + QLatin1Char('/') + installedRelative, buildDir}) {
        QLibrary library(dir + QLatin1Char('/') + module);
        if (const QFunctionPointer found = library.resolve(entry))
            return found;
    }
    return nullptr;
}

} // namespace settings
