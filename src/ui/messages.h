#pragma once
// Every message box the program shows goes through here, so that tests can
// see what would have been shown without a modal dialog stopping them.

#include <QString>
#include <functional>

class QWidget;

namespace ui {

// Gives a window the game's background picture.
void applyBackground(QWidget *window);
// Puts a window in the middle of another.
void centreOn(QWidget *window, const QWidget *over);

void showMessage(QWidget *parent, const QString &text);

// Replaces the dialog with a function (nullptr restores the dialog).
void setMessageSink(std::function<void(const QString &)> sink);

// Asks a Yes/No question; true for Yes.
bool askYesNo(QWidget *parent, const QString &text);
// The same with buttons of its own: true for the first.
bool askChoice(QWidget *parent, const QString &text, const QString &first, const QString &second);
// Answers questions with a function instead (tests); nullptr restores them.
void setQuestionSink(std::function<bool(const QString &)> answer);

// Names, game names and words come from other copies: every label under
// root that would guess at rich text shows its text as written instead
// (a name like "<img src=/dev/zero>" would otherwise be read as a picture).
// Labels whose text is rich already (a designed heading) keep it.
void plainTextLabels(QWidget *root);
// A tooltip that shows text from elsewhere as written.
QString plainToolTip(const QString &text);

// Opens a web address with the system's default handler; false on failure.
bool openUrl(const QString &address);
// Replaces the system's handler (tests); nullptr restores it.
void setUrlOpener(std::function<bool(const QString &)> opener);

} // namespace ui
