#pragma once
// A temporary working directory that also holds the files a window keeps
// beside the program (settings, tally), so tests never write into the build
// tree nor read each other's settings.

#include "appfiles.h"
#include "tempworkdir.h"

#include <QFile>

struct ClientFiles : TempWorkDir {
    ClientFiles() { settings::setBesideExecutableDir(dir.path()); }
    ~ClientFiles() { settings::setBesideExecutableDir(QString()); }
    // Every test starts without settings.
    void fresh() { QFile::remove(settings::besideExecutable(QStringLiteral("corvelgatehouse.ini"))); }
};
