#pragma once
// Game sounds and their options: "Play Sounds", "Play Chatter Sounds" and the
// turn sound, bound to the preferences, and the player every sound goes
// through. A chatter sound that is not to be heard is shown as a chat line.

#include "soundplayer.h"

#include <QObject>

#include <memory>

class ChatView;
class ClientModel;
class Preferences;
class QAction;

class SoundMenu : public QObject {
    Q_OBJECT
public:
    // The Sounds menu's items: Play Sounds, Play Chatter Sounds, and the turn
    // sounds Classic, New and Default.
    struct Widgets {
        QAction *play, *chatter;
        std::array<QAction *, 3> turnItems;
    };
    SoundMenu(const Widgets &w, ClientModel &model, Preferences &prefs, ChatView &chat, QObject *parent);
    ~SoundMenu() override;

    // Where sounds go (tests record them); without one, the sound device.
    void setPlayer(SoundPlayer *player) { m_player = player; }
    // Every game sound goes through here.
    void playsounds(Sound sound);
    // The sound for the start of the own turn, by the Turn Sound option.
    Sound turnSound() const;
    void playasound(int slot, const QString &name);

signals:
    void soundRequested(Sound sound);

private:
    void applySounds();

    ClientModel &m_model;
    Preferences &m_prefs;
    ChatView &m_chat;
    QAction *m_play, *m_chatter;
    std::array<QAction *, 3> m_turnItems{}; // by Tag: Classic 0, New 1, Default 2
    std::unique_ptr<QtSoundPlayer> m_own;
    SoundPlayer *m_player;
};
