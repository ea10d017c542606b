#include "soundplayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
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

QtSoundPlayer::QtSoundPlayer(QObject *parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer() = default;

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

bool QtSoundPlayer::haveDevice()
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
    // A sound the program does not have simply does not play, nor does any
    // on a machine without an audio device.
    if (!exists(key) || !haveDevice())
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
