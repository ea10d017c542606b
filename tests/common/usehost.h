#pragma once
// Lets a window host through a host object of the test's own, as the
// application wires the real one.

#include "tchat.h"
#include "tserver.h"

#include <memory>

inline void useHost(Tchat &chat, TServer *server)
{
    if (!server)
        return;
    chat.setListener([server](quint16 port, quint16 *listening, QString *error) {
        if (!server->listen(port, error))
            return false;
        *listening = server->listeningPort();
        return true;
    });
}

// A host the window may also close: a new one takes its place, as the
// program renews its host.
inline void useHost(Tchat &chat, std::unique_ptr<TServer> &server)
{
    chat.setListener([&server](quint16 port, quint16 *listening, QString *error) {
        if (!server->listen(port, error))
            return false;
        *listening = server->listeningPort();
        return true;
    });
    chat.setHostCloser([&server] { server = std::make_unique<TServer>(); });
}

inline void useHost(const std::unique_ptr<Tchat> &chat, TServer *server)
{
    useHost(*chat, server);
}
