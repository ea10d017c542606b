#pragma once
// A player's name, one rule for everybody who handles one: the dialogs where
// it is typed, the lobby that announces it, the window that logs in with it
// and the host that seats it.

#include <QByteArray>
#include <QByteArrayView>
#include <QRegularExpression>
#include <QString>

namespace wire {

// What a seat's box holds.
constexpr int MaxNameLength = 24;
// The computer player's name, which nobody else may take.
inline constexpr char KlotName[] = "Klot";

// The characters a name may hold as it is typed: names travel in the game's
// messages, where "+" separates fields, "|" a chat line's colour and the
// byte 0xFF ("\xff") ends a message.
QRegularExpression nameCharacters();
// Replaces the characters that would shift the fields of later messages.
QByteArray safeName(QByteArrayView name);
// A name as people see it: every kind of space (the no-break space too) is
// one space, invisible characters (control codes, the soft hyphen) are gone,
// and no space leads, trails or doubles.
QByteArray visibleName(QByteArrayView name);
// Whether two names look alike: the same once visible, whatever the case.
bool sameName(QByteArrayView a, QByteArrayView b);
// A name as a lobby shows it: printable Latin-1 of the typing rule, no
// spaces at either end, 1..MaxNameLength characters.
bool printableName(const QString &name);
// A name to offer a new player, from the full name this computer knows them
// by or else their login; empty when neither makes a printable name.
QString suggestedName(const QString &fullName, const QString &login);

} // namespace wire
