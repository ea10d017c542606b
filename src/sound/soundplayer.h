#pragma once
// Playing the game's built-in sounds. The window asks a SoundPlayer by name;
// the real one plays through Qt Multimedia, tests hand in one that records.

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;
class SoundWorker;

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the named sound and returns at once; a sound still playing stops.
    virtual void play(const QString &name) = 0;
};

// The game's own sounds; a name here that has no sound does not compile.
enum class Sound {
    Entered,
    Shuffle,
    RoundOver,
    GameOver,
    Place,
    Clear,
    BadWord,
    GoodWord,
    Shift,
    Timer,
    Start,
    Turn,
    TurnNew
};
// The sound's name among the resources ("badword" for BadWord).
QString soundName(Sound sound);

// The chatter sounds "wave1" .. "wave20" and what they sound like.
namespace chatter {
inline constexpr int Count = 20;
// "Doh" for 1 ... "Crying" for 20; empty outside 1..20.
QString description(int k);
// 1..20 for "wave1".."wave20" (any case), else 0.
int number(const QString &soundName);
} // namespace chatter

// Plays from the program's resources on a thread of its own: opening the
// audio device and starting a sound take a millisecond or more, which the
// window's thread (and the host sharing it) must not spend in a pick. Nothing
// of the audio backend, nor the thread, starts before the first sound; a
// machine without an audio device stays quiet without complaint.
class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    ~QtSoundPlayer() override;
    // Queues the sound and returns; only the newest of those waiting plays,
    // as each would cut the one before it off anyway.
    void play(const QString &name) override;
    // Whether the resources hold a sound of this name (any case).
    static bool exists(const QString &name);
    // Whether the module that plays sounds can be found and loaded.
    static bool moduleLoads();
    // How many requests the worker has taken up (played or passed over).
    quint64 handled() const { return m_handled->load(); }

private:
    QThread *m_thread = nullptr;
    SoundWorker *m_worker = nullptr;
    // Shared with the worker, which may outlive this object by a moment.
    std::shared_ptr<std::atomic<quint64>> m_latest = std::make_shared<std::atomic<quint64>>(0);
    std::shared_ptr<std::atomic<quint64>> m_handled = std::make_shared<std::atomic<quint64>>(0);
};
