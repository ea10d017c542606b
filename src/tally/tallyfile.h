#pragma once
// The tally file: the tally's text packed in the compressed container (mode
// Fast), read at start-up and written at exit. Writing goes to a file beside
// it that is renamed into place, so a crash or a full disk never costs the
// last good tally; a file that cannot be read is kept aside, never
// overwritten.

#include "tallymodel.h"

#include <QString>

namespace tally {

inline const QString FileName = QStringLiteral("Wordmiretally.tld");

struct Loaded {
    TallyModel model;
    QString error; // the reading error's own message; empty when all went well
    QString keptAs; // where an unreadable file was moved
};

// A missing file gives an empty tally without an error.
Loaded load(const QString &path);
// False (and the old file untouched) when the tally could not be written.
bool save(const QString &path, const TallyModel &model, QString *error = nullptr);

// Tests: make the next save fail just before the new file replaces the old.
void failNextSave();

} // namespace tally
