#pragma once
// The host on a thread of its own. A message to relay never waits for the
// window to finish painting or playing a sound, and a busy host never stalls
// the window. The window reaches the host only over TCP, as any other copy
// does; the few calls the program itself makes (listen, the computer's
// strength) are carried to the host's thread here.
//
// The host is made on its thread, so its timers and sockets belong there,
// and the word list is opened there while the window is being built.

#include <QObject>
#include <QThread>

#include <functional>
#include <map>
#include <memory>

class TServer;

class HostThread {
public:
    // setup runs on the host's thread right after the host is made, before
    // any call below reaches it.
    explicit HostThread(std::function<void(TServer &)> setup = {});
    ~HostThread();
    HostThread(const HostThread &) = delete;
    HostThread &operator=(const HostThread &) = delete;

    // Runs on the host's thread, in the order posted; returns at once.
    void post(std::function<void(TServer &)> call);
    // Like post, and kept: a renewed host is set up the same way. A later
    // call under the same key takes the earlier one's place.
    void configure(const QString &key, std::function<void(TServer &)> call);
    // A host as new in place of this one, which says goodbye to everybody
    // and stops listening first. Returns once that is done.
    void renew();
    // Runs on the host's thread and waits for it.
    void call(const std::function<void(TServer &)> &call);

    // What the window's listener does: starts listening and tells the port.
    bool listen(quint16 port, quint16 *listening, QString *error);

private:
    QThread m_thread;
    QObject *m_context = nullptr; // lives on the host's thread
    std::unique_ptr<TServer> m_server; // touched only on the host's thread
    std::function<void(TServer &)> m_setup;
    // Written on the caller's thread; read on the host's only while the
    // caller waits for it (renew).
    std::map<QString, std::function<void(TServer &)>> m_configured;
};
