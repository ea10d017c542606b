#include "soundplayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

namespace chatter {

QString description(int k)
{
    static const char *const names[Count] = {
        "Doh",   "Cough",  "Hello",  "Thank You", "Where have you been?", "Snoring",   "Sneezing",
        "Sorry", "Welcome", "Yeehaa", "Yippee",    "Oh No",                "Applause",  "Honk",
        "Oooh",  "Razzberry", "Cheer", "Woman Laughing", "Man Laughing",   "Crying"};
    return k >= 1 && k <= Count ? QString::fromLatin1(names[k - 1]) : QString();
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

// Lives on the player's thread with every effect it made.
class SoundWorker : public QObject {
public:
    SoundWorker(std::shared_ptr<std::atomic<quint64>> latest, std::shared_ptr<std::atomic<quint64>> handled)
        : m_latest(std::move(latest)), m_handled(std::move(handled))
    {
    }
    void play(const QString &key, quint64 ticket);

private:
    enum class Device { Unknown, None, Present };
    // Asked once, at the first sound.
    bool haveDevice();
    Device m_device = Device::Unknown;
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
    std::shared_ptr<std::atomic<quint64>> m_latest, m_handled;
};

QtSoundPlayer::QtSoundPlayer(QObject *parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer()
{
    if (!m_thread)
        return;
    // The effects go with the worker, on its own thread, as the loop ends.
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->quit();
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
// The audio backend's own chatter while it looks for a device ("failed to
// connect", "no device") is not the user's concern: a game without sound
// plays on quietly.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &)
{
    Q_UNUSED(type);
}
} // namespace

bool SoundWorker::haveDevice()
{
    if (m_device == Device::Unknown) {
        const QtMessageHandler previous = qInstallMessageHandler(quiet);
        m_device = QMediaDevices::defaultAudioOutput().isNull() ? Device::None : Device::Present;
        qInstallMessageHandler(previous);
    }
    return m_device == Device::Present;
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
    if (ticket != m_latest->load() || !haveDevice())
        return;
    QSoundEffect *&effect = m_effects[key];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl(QStringLiteral("qrc") + resourcePath(key)));
    }
    if (m_playing && m_playing != effect)
        m_playing->stop();
    m_playing = effect;
    // Restart from the beginning when the same sound comes again.
    effect->stop();
    effect->play();
}
