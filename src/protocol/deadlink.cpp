#include "deadlink.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace wire {

bool watchForDeadLink(qintptr fd)
{
    if (fd < 0)
        return false;
    const int s = int(fd);
    const int on = 1, idle = DeadLinkIdleS, interval = DeadLinkProbeS, count = DeadLinkProbes;
    bool ok = setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) == 0;
    ok = setsockopt(s, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle) == 0 && ok;
    ok = setsockopt(s, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval) == 0 && ok;
    ok = setsockopt(s, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count) == 0 && ok;
    // Keepalive is silent while data waits for its acknowledgement (a player
    // typing into a dead link, a host with a game to send); this bounds that
    // case to a minute too, instead of the system's quarter of an hour of
    // retries.
    const unsigned int unacknowledged = DeadLinkUnacknowledgedMs;
    ok = setsockopt(s, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledged, sizeof unacknowledged) == 0 && ok;
    return ok;
}

} // namespace wire
