#pragma once

#include <QLoggingCategory>

// What the program reports on its standard error, by subject, so a user can
// turn a subject's messages on or off with QT_LOGGING_RULES, for instance
//   QT_LOGGING_RULES="wordmire.lobby.debug=true;wordmire.host.warning=false"
// Warnings (input refused, a connection cut) show unless turned off; the
// chattier debug messages only when asked for.
Q_DECLARE_LOGGING_CATEGORY(lcHost) // the game host and its connections
Q_DECLARE_LOGGING_CATEGORY(lcConnection) // the window's connection to its host
Q_DECLARE_LOGGING_CATEGORY(lcLobby) // the internet lobby and the ways in to a game
Q_DECLARE_LOGGING_CATEGORY(lcRouter) // the home router's port mapping
Q_DECLARE_LOGGING_CATEGORY(lcSound) // the sound module and its device
Q_DECLARE_LOGGING_CATEGORY(lcFiles) // the word list, the tally and other files
