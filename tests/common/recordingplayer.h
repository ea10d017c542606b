#pragma once
// A sound player that only remembers what it was asked to play.

#include "soundplayer.h"

#include <QStringList>

class RecordingPlayer : public SoundPlayer {
public:
    void play(const QString &name) override { played << name; }
    QStringList played;
};
