#pragma once
// Files that live beside the executable (settings, tally). When that folder
// cannot be written, they go to the user's config folder instead.

#include <QString>

namespace settings {

QString besideExecutable(const QString &fileName);

// Points every later lookup at another folder (tests use a temporary one);
// an empty path restores the default.
void setBesideExecutableDir(const QString &dir);

} // namespace settings
