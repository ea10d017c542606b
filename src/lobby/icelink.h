#pragma once
// ICE sessions for the internet module (see IceLink in netbackend.h).

#include "netbackend.h"

namespace lobby {

// A peer's description (credentials and candidates) is a few hundred bytes;
// anything near this is not one.
constexpr qsizetype MaxDescription = 3000;

IceLink *makeIceLink(const IceLink::Setup &setup, IceLink::Events events);

} // namespace lobby
