#include "logging.h"

Q_LOGGING_CATEGORY(lcHost, "wordmire.host", QtInfoMsg)
Q_LOGGING_CATEGORY(lcConnection, "wordmire.connection", QtInfoMsg)
Q_LOGGING_CATEGORY(lcLobby, "wordmire.lobby", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRouter, "wordmire.router", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSound, "wordmire.sound", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFiles, "wordmire.files", QtInfoMsg)
