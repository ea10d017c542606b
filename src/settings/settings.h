#pragma once
// The window's preferences as plain data, read from and written to the
// program's section of the settings file by the game's own rules: defaults
// for missing keys, exact-case comparisons, numbers that do not read.

#include "inifile.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace settings {

inline const QByteArray Section = "Wordmire";
inline const QString FileName = QStringLiteral("corvelgatehouse.ini");

struct Values {
    int textsize = 8;
    QByteArray textcolor = "clblack"; // colour text
    std::array<QByteArray, 10> phrases{}; // 1..9; empty leaves the button's phrase
    bool playsounds = true;
    bool postwords = false;
    // The options dialog's numbers; nothing when the value is not a number
    // (the dialog keeps what it has).
    std::optional<int> playto = 110;
    std::optional<int> creationtime = 70;
    std::optional<int> shuffles = 1;
    QByteArray tiles = "classic";
    int top = 3, left = 3, width = 790, height = 580;
    int turnsound = 0; // 0 Classic, 1 New, 2 Default
    bool chattersounds = true;
    // After each of the player's turns, the best word the board held.
    bool showbestword = true;
    int klotstrength = 1; // 0 Gentle, 1 Normal, 2 Strong
    // Set by hand only: where the matchmaking client's installer comes from
    // and where the client itself is (empty: the built-in ones).
    QByteArray gatehouseurl;
    QByteArray gatehousepath;
    // The name and address last used to host or join from the game itself.
    QByteArray lobbyname;
    QByteArray lobbyaddress;
    // The internet lobby's broker, "host" or "host:port"; empty for none
    // (then only games on the local network are listed).
    QByteArray lobbyserver;
    // Whether hosting asks the home router to open the game's port.
    bool openrouterport = true;
};

Values read(const IniFile &ini);
// Writes every key but the phrases (the phrase editor writes those); with a
// filter, only the keys it keeps.
void write(IniFile &ini, const Values &p, const std::function<bool(QByteArrayView key)> &keep = {});
// Without an address only the name is written.
void writeLobby(IniFile &ini, const QByteArray &name, const std::optional<QByteArray> &address);
void writePhrases(IniFile &ini, const std::array<QByteArray, 10> &phrases);

} // namespace settings
