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

// An installed game: its data folder sits beside the program's folder.
bool installed(const QString &programDir)
{
    return QFileInfo(QDir(programDir).filePath(QStringLiteral("../share/wordmire"))).isDir();
}

QString defaultDir()
{
    return filesDir(QCoreApplication::applicationDirPath());
}
} // namespace

QString filesDir(const QString &programDir)
{
    // Installed, the program's folder is the system's even when it can be
    // written (as root): the files are the user's.
    if (!installed(programDir) && QFileInfo(programDir).isWritable())
        return programDir;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config;
}

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

QString wordListDir(const QString &programDir)
{
    if (!installed(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir))
        return QString();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
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
