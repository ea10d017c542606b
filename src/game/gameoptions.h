#pragma once
// What the hosting user chooses when starting a game.

#include <QByteArray>

namespace game {

struct GameOptions {
    QByteArray starter;
    int playto = 0;
    int turntime = 0;
    QByteArray team; // "t" for a team game
    int shuffles = 0;
};

} // namespace game
