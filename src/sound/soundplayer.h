#pragma once
// Playing the game's built-in sounds. The window asks a SoundPlayer by name;
// the real one plays through Qt Multimedia, tests hand in one that records.

#include <QHash>
#include <QObject>
#include <QString>

class QSoundEffect;

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the named sound and returns at once; a sound still playing stops.
    virtual void play(const QString &name) = 0;
};

// The chatter sounds "wave1" .. "wave20" and what they sound like.
namespace chatter {
inline constexpr int Count = 20;
// "Doh" for 1 ... "Crying" for 20; empty outside 1..20.
QString description(int k);
// 1..20 for "wave1".."wave20" (any case), else 0.
int number(const QString &soundName);
} // namespace chatter

// Plays from the program's resources. Nothing of the audio backend is
// touched before the first sound; a machine without an audio device stays
// quiet without complaint.
class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    ~QtSoundPlayer() override;
    void play(const QString &name) override;
    // Whether the resources hold a sound of this name (any case).
    static bool exists(const QString &name);

private:
    enum class Device { Unknown, None, Present };
    // Asked once, at the first sound.
    bool haveDevice();
    Device m_device = Device::Unknown;
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};
