#pragma once

#include <QString>

class QCoreApplication;

namespace ui {

// Installs the game's translation for the user's preferred language (the
// desktop's LANGUAGE list, else LC_ALL, LC_MESSAGES or LANG), with Qt's own
// for its standard buttons and dialogs, when the game has one. English is
// the game's own language: a user who puts it first gets no translation,
// whatever follows it. The word list and the game's words stay English.
// Returns the language installed ("de"), empty for none.
QString installTranslations(QCoreApplication *app);

} // namespace ui
