// The sound module: plays the program's sound resources through Qt
// Multimedia. Loaded by the sound player's thread at the first sound, and
// used only on that thread.

#include "soundbackend.h"

#include <QAudioDevice>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

// The audio backend's own chatter while it looks for a device ("failed to
// connect", "no device") is not the user's concern: a game without sound
// plays on quietly.
void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{ }

class QtSoundBackend : public SoundBackend {
public:
    ~QtSoundBackend() override { qDeleteAll(m_effects); }

    bool haveDevice() override
    {
        const QtMessageHandler previous = qInstallMessageHandler(quiet);
        const bool present = !QMediaDevices::defaultAudioOutput().isNull();
        qInstallMessageHandler(previous);
        return present;
    }

    void play(const QString &resourcePath) override
    {
        QSoundEffect *&effect = m_effects[resourcePath];
        if (!effect) {
            effect = new QSoundEffect;
            effect->setSource(QUrl(QStringLiteral("qrc") + resourcePath));
        }
        if (m_playing && m_playing != effect)
            m_playing->stop();
        m_playing = effect;
        // Restart from the beginning when the same sound comes again.
        effect->stop();
        effect->play();
    }

private:
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundBackend *wordmire_sound_backend()
{
    return new QtSoundBackend;
}
