#pragma once
// A host on an ephemeral port with raw clients joined to it, for tests that
// talk to the host over real sockets.

#include "message.h"
#include "rawclient.h"
#include "tserver.h"

#include <memory>
#include <vector>

inline const QByteArray FF(1, wire::Terminator);

inline QByteArray m(const QByteArray &text)
{
    return text + FF;
}

class HostHarness {
public:
    HostHarness()
    {
        host = std::make_unique<TServer>();
        host->setManualTimers(true);
        host->setRandomSeed(12345);
        listening = host->listen(0);
    }

    // Connects a raw client and checks the slot it is offered.
    RawClient *connectClient(int expectedSlot)
    {
        clients.push_back(std::make_unique<RawClient>(host->listeningPort()));
        RawClient *c = clients.back().get();
        if (!c->waitForMessages(1))
            return nullptr;
        if (c->take() != "CMD_sendlogininfo+" + QByteArray::number(expectedSlot))
            return nullptr;
        return c;
    }

    // Connects and logs in; everybody's copy of the greeting is consumed.
    RawClient *joinAs(int slot, const QByteArray &name)
    {
        RawClient *c = connectClient(slot);
        if (!c)
            return nullptr;
        c->write("CMD_logininfo+" + QByteArray::number(slot) + "+1.0.16+" + name + FF + FF);
        const QByteArray expected = "CMD_newplayerinfo+" + QByteArray::number(slot) + "+" + name + "+0";
        for (auto &other : clients) {
            if (!other->waitForMessages(1) || !other->messages.contains(expected))
                return nullptr;
            other->messages.removeOne(expected);
        }
        if (clients.size() > 1 && !c->waitForMessages(1))
            return nullptr;
        settle(30);
        c->messages.clear();
        return c;
    }

    void clearAll()
    {
        for (auto &c : clients)
            c->messages.clear();
    }

    std::unique_ptr<TServer> host;
    std::vector<std::unique_ptr<RawClient>> clients;
    bool listening = false;
};
