#pragma once
// Runs a test inside its own temporary working directory, so the word list
// file the host writes there never lands in the build tree.

#include <QDir>
#include <QTemporaryDir>

struct TempWorkDir {
    TempWorkDir() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~TempWorkDir() { QDir::setCurrent(previous); }
    QTemporaryDir dir;
    QString previous;
};
