#include "soundmenu.h"

#include "chatview.h"
#include "clientmodel.h"
#include "preferences.h"

#include <QAction>

SoundMenu::SoundMenu(const Widgets &w, ClientModel &model, Preferences &prefs, ChatView &chat, QObject *parent)
    : QObject(parent), m_model(model), m_prefs(prefs), m_chat(chat), m_play(w.play), m_chatter(w.chatter),
      m_turnItems(w.turnItems), m_own(std::make_unique<QtSoundPlayer>()), m_player(m_own.get())
{
    // The actions toggle their own check marks; the preferences say what holds.
    connect(m_play, &QAction::triggered, this, [this] { m_prefs.setPlaySounds(m_play->isChecked()); });
    connect(m_chatter, &QAction::triggered, this, [this] { m_prefs.setChatterSounds(m_chatter->isChecked()); });
    for (int tag = 0; tag < 3; ++tag)
        connect(m_turnItems[size_t(tag)], &QAction::triggered, this, [this, tag] { m_prefs.setTurnSound(tag); });
    connect(&prefs, &Preferences::soundsChanged, this, &SoundMenu::applySounds);
    connect(&model, &ClientModel::chatterSound, this, &SoundMenu::playasound);
    connect(&model, &ClientModel::soundRequested, this, &SoundMenu::playsounds);
    applySounds();
}

SoundMenu::~SoundMenu() = default;

void SoundMenu::applySounds()
{
    m_play->setChecked(m_prefs.playSounds());
    m_chatter->setChecked(m_prefs.chatterSounds());
    for (int tag = 0; tag < 3; ++tag)
        m_turnItems[size_t(tag)]->setChecked(tag == m_prefs.turnSound());
}

void SoundMenu::playsounds(Sound sound)
{
    emit soundRequested(sound);
    if (m_prefs.playSounds() && m_player)
        m_player->play(soundName(sound));
}

Sound SoundMenu::turnSound() const
{
    switch (m_prefs.turnSound()) {
    case 1:
        return Sound::TurnNew;
    case 2:
        return Sound::Turn;
    default:
        return Sound::Start;
    }
}

void SoundMenu::playasound(int seat, const QString &name)
{
    if (m_prefs.chatterSounds()) {
        if (m_player)
            m_player->play(name);
        return;
    }
    // Shown instead of heard: the seat's name and what the sound is.
    const QString description = chatter::description(chatter::number(name));
    if (!m_model.isSeat(seat) || description.isEmpty())
        return;
    m_chat.addLine(seat, m_model.seat(seat).name.toLatin1() + ": <Chatter Sound> " + description.toLatin1(),
            ChatView::SystemColour);
}
