#pragma once
// Files that live beside the executable (settings, tally). When that folder
// cannot be written, or the game is installed, they go to the user's config
// folder instead. Also the
// program's modules, loaded on first use.

#include <QString>

namespace settings {

QString besideExecutable(const QString &fileName);

// The folder those files go to for a program in programDir: that folder
// for a copy of the game (where it can be written), the user's config
// folder for an installed game or one whose folder is read-only.
QString filesDir(const QString &programDir);

// Points every later lookup at another folder (tests use a temporary one);
// an empty path restores the default.
void setBesideExecutableDir(const QString &dir);

// Where the host writes its word list file (empty: the working directory).
// A copy of the game in a folder of its own, and the build, keep it in the
// working directory; an installed game (one whose ../share/wordmire exists
// beside its program's folder, programDir by default the running
// program's) keeps it in the user's data folder, so a game started from the
// menu writes nothing into the home folder.
QString wordListDir(const QString &programDir = QString());

// The named export of a module ("wordmire-sound"): looked for beside the
// program first (a copied game), then in the installation's folder given
// relative to the program's, then in the build tree's. The module stays
// loaded for the rest of the run; null when none has the export.
QFunctionPointer moduleEntry(
        const QString &module, const char *entry, const QString &installedRelative, const QString &buildDir);

} // namespace settings
