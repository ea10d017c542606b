// Game sounds and their options, the turn sound, and the chatter sounds
// players send each other.

#include "tchat.h"
#include "ui_tchat.h"

#include "fieldreader.h"

#include <QMenu>

void Tchat::setupSounds()
{
    m_ownPlayer = std::make_unique<QtSoundPlayer>();
    m_player = m_ownPlayer.get();

    ui->Classic1->setProperty("Tag", 0);
    ui->normal1->setProperty("Tag", 2);
    ui->New1->setProperty("Tag", 1);
    connect(ui->PlaySounds1, &QAction::triggered, this, &Tchat::PlaySounds1Click);
    connect(ui->PlayChatterSounds1, &QAction::triggered, this, &Tchat::PlayChatterSounds1Click);
    for (QAction *item : {ui->Classic1, ui->normal1, ui->New1})
        connect(item, &QAction::triggered, this, [this, item] { New1Click(item->property("Tag").toInt()); });

    connect(&m_model, &ClientModel::chatterSound, this, &Tchat::playasound);
}

void Tchat::playsounds(const QString &name)
{
    emit soundRequested(name);
    if (m_prefs->playSounds() && m_player)
        m_player->play(name);
}

QString Tchat::turnSoundName() const
{
    switch (m_prefs->turnSound()) {
    case 1:
        return QStringLiteral("turnnew");
    case 2:
        return QStringLiteral("turn");
    default:
        return QStringLiteral("start");
    }
}

void Tchat::applySounds()
{
    ui->PlaySounds1->setChecked(m_prefs->playSounds());
    ui->PlayChatterSounds1->setChecked(m_prefs->chatterSounds());
    for (QAction *item : {ui->Classic1, ui->normal1, ui->New1})
        item->setChecked(item->property("Tag").toInt() == m_prefs->turnSound());
}

void Tchat::PlaySounds1Click()
{
    // The action has toggled its own check mark; the model says what holds.
    m_prefs->setPlaySounds(ui->PlaySounds1->isChecked());
}

void Tchat::PlayChatterSounds1Click()
{
    m_prefs->setChatterSounds(ui->PlayChatterSounds1->isChecked());
}

void Tchat::New1Click(int tag)
{
    m_prefs->setTurnSound(tag);
    applySounds();
}

void Tchat::playasound(const QByteArray &slot, const QString &name)
{
    if (m_prefs->chatterSounds()) {
        if (m_player)
            m_player->play(name);
        return;
    }
    // Shown instead of heard: the seat's name and what the sound is.
    const int seat = wire::parseInt(slot).value_or(0);
    const QString description = chatter::description(chatter::number(name));
    if (!m_model.isSeat(seat) || description.isEmpty())
        return;
    m_chat->addLine(slot + '+' + m_model.seat(seat).name.toLatin1() + ": <Chatter Sound> "
                  + description.toLatin1());
}
