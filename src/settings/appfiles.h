#pragma once
// Files that live beside the executable (settings, tally). When that folder
// cannot be written, they go to the user's config folder instead. Also the
// program's modules, loaded on first use.

#include <QString>

namespace settings {

QString besideExecutable(const QString &fileName);

// Points every later lookup at another folder (tests use a temporary one);
// an empty path restores the default.
void setBesideExecutableDir(const QString &dir);

// The named export of a module ("wordmire-sound"): looked for beside the
// program first (a copied game), then in the installation's folder given
// relative to the program's, then in the build tree's. The module stays
// loaded for the rest of the run; null when none has the export.
QFunctionPointer moduleEntry(
        const QString &module, const char *entry, const QString &installedRelative, const QString &buildDir);

} // namespace settings
