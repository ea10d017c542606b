#include "soundplayer.h"
#include "logging.h"
#include "appfiles.h"
#include "soundbackend.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

QString soundName(Sound sound)
{
    switch (sound) {
    case Sound::Entered:
        return QStringLiteral("entered");
    case Sound::Shuffle:
        return QStringLiteral("shuffle");
    case Sound::RoundOver:
        return QStringLiteral("roundover");
    case Sound::GameOver:
        return QStringLiteral("gameover");
    case Sound::Place:
        return QStringLiteral("place");
    case Sound::Clear:
        return QStringLiteral("clear");
    case Sound::BadWord:
        return QStringLiteral("badword");
    case Sound::GoodWord:
        return QStringLiteral("goodword");
    case Sound::Shift:
        return QStringLiteral("shift");
    case Sound::Timer:
        return QStringLiteral("timer");
    case Sound::Start:
        return QStringLiteral("start");
    case Sound::Turn:
        return QStringLiteral("turn");
    case Sound::TurnNew:
        return QStringLiteral("turnnew");
    }
    return {};
}

namespace chatter {

QString description(int k)
{
    static const char *const names[Count] = {QT_TRANSLATE_NOOP("chatter", "Doh"), QT_TRANSLATE_NOOP("chatter", "Cough"),
            QT_TRANSLATE_NOOP("chatter", "Hello"), QT_TRANSLATE_NOOP("chatter", "Thank You"),
            QT_TRANSLATE_NOOP("chatter", "Where have you been?"), QT_TRANSLATE_NOOP("chatter", "Snoring"),
            QT_TRANSLATE_NOOP("chatter", "Sneezing"), QT_TRANSLATE_NOOP("chatter", "Sorry"),
            QT_TRANSLATE_NOOP("chatter", "Welcome"), QT_TRANSLATE_NOOP("chatter", "Yeehaa"),
            QT_TRANSLATE_NOOP("chatter", "Yippee"), QT_TRANSLATE_NOOP("chatter", "Oh No"),
            QT_TRANSLATE_NOOP("chatter", "Applause"), QT_TRANSLATE_NOOP("chatter", "Honk"),
            QT_TRANSLATE_NOOP("chatter", "Oooh"), QT_TRANSLATE_NOOP("chatter", "Razzberry"),
            QT_TRANSLATE_NOOP("chatter", "Cheer"), QT_TRANSLATE_NOOP("chatter", "Woman Laughing"),
            QT_TRANSLATE_NOOP("chatter", "Man Laughing"), QT_TRANSLATE_NOOP("chatter", "Crying")};
    return k >= 1 && k <= Count ? QCoreApplication::translate("chatter", names[k - 1]) : QString();
}

int number(const QString &soundName)
{
    const QString n = soundName.toLower();
    if (!n.startsWith(QLatin1String("wave")))
        return 0;
    bool ok = false;
    const int k = n.mid(4).toInt(&ok);
    return ok && k >= 1 && k <= Count && n.mid(4) == QString::number(k) ? k : 0;
}

} // namespace chatter

namespace {
QString resourcePath(const QString &name)
{
    return QStringLiteral(":/sounds/") + name.toLower() + QStringLiteral(".wav");
}
} // namespace

// Lives on the player's thread with the sound module, loaded at its first
// sound.
class SoundWorker : public QObject {
public:
    SoundWorker(std::shared_ptr<std::atomic<quint64>> latest, std::shared_ptr<std::atomic<quint64>> handled)
        : m_latest(std::move(latest)), m_handled(std::move(handled))
    { }
    void play(const QString &key, quint64 ticket);

private:
    // Made once, at the first sound; null when there is nothing to play on.
    SoundBackend *backend();
    bool m_tried = false;
    std::unique_ptr<SoundBackend> m_backend;
    std::shared_ptr<std::atomic<quint64>> m_latest, m_handled;
};

QtSoundPlayer::QtSoundPlayer(QObject *parent) : QObject(parent)
{ }

QtSoundPlayer::~QtSoundPlayer()
{
    if (!m_thread)
        return;
    // The worker and its effects go on their own thread, while its loop still
    // runs; whatever the audio backend hands to deleteLater then goes as the
    // thread finishes.
    QMetaObject::invokeMethod(
            m_worker,
            [worker = m_worker] {
                delete worker;
                QThread::currentThread()->quit();
            },
            Qt::QueuedConnection);
    // A sound server that hangs must not hold the program's exit: past the
    // wait the thread and its worker are left to the process's end.
    if (m_thread->wait(2000))
        delete m_thread;
}

bool QtSoundPlayer::exists(const QString &name)
{
    return QFile::exists(resourcePath(name));
}

namespace {
SoundBackendEntry moduleEntry()
{
    return reinterpret_cast<SoundBackendEntry>(
            settings::moduleEntry(QStringLiteral("wordmire-sound"), WORDMIRE_SOUND_BACKEND_ENTRY,
                    QStringLiteral(WORDMIRE_SOUND_MODULE_INSTALLED), QStringLiteral(WORDMIRE_SOUND_MODULE_BUILT)));
}
} // namespace

bool QtSoundPlayer::moduleLoads()
{
    return moduleEntry() != nullptr;
}

SoundBackend *SoundWorker::backend()
{
    if (!m_tried) {
        m_tried = true;
        if (const SoundBackendEntry entry = moduleEntry())
            m_backend.reset(entry());
        if (!m_backend)
            qCWarning(lcSound, "the sound module cannot be loaded: the game plays silent");
        else if (!m_backend->haveDevice()) {
            qCDebug(lcSound, "no sound device: the game plays silent");
            m_backend.reset();
        }
    }
    return m_backend.get();
}

void QtSoundPlayer::play(const QString &name)
{
    const QString key = name.toLower();
    // A sound the program does not have simply does not play.
    if (!exists(key))
        return;
    if (!m_thread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("sounds"));
        m_worker = new SoundWorker(m_latest, m_handled);
        m_worker->moveToThread(m_thread);
        m_thread->start();
    }
    const quint64 ticket = ++*m_latest;
    QMetaObject::invokeMethod(
            m_worker, [worker = m_worker, key, ticket] { worker->play(key, ticket); }, Qt::QueuedConnection);
}

void SoundWorker::play(const QString &key, quint64 ticket)
{
    ++*m_handled;
    // A newer request is already waiting: this one would be cut off at once.
    if (ticket != m_latest->load())
        return;
    if (SoundBackend *b = backend())
        b->play(resourcePath(key));
}
