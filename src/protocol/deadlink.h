#pragma once
// Both ends of a game connection notice a link that dies without a word
// (a cable pulled, a laptop closed, a router gone) within about a minute,
// whether the connection is idle or has data waiting.

#include <QtGlobal>

namespace wire {

inline constexpr int DeadLinkIdleS = 30; // silence before the first probe
inline constexpr int DeadLinkProbeS = 10; // between probes
inline constexpr int DeadLinkProbes = 3;
inline constexpr unsigned DeadLinkUnacknowledgedMs = 60 * 1000;

// Sets keepalive probes and a limit on unacknowledged data on a connected
// socket; false when the system refused any of them.
bool watchForDeadLink(qintptr fd);

} // namespace wire
