#pragma once
// What the sound module offers. Qt Multimedia and the audio libraries under it
// (a dozen of them) are loaded with the module at the first sound, not at the
// program's start.

#include <QString>

class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    // Whether the machine has an audio output at all; asked once.
    virtual bool haveDevice() = 0;
    // Starts the sound at this resource path, stopping the one playing.
    virtual void play(const QString &resourcePath) = 0;
};

// The module's one export, resolved by name.
#define WORDMIRE_SOUND_BACKEND_ENTRY "wordmire_sound_backend"
using SoundBackendEntry = SoundBackend *(*)();
