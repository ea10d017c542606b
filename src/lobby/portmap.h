#pragma once
// Opening the game's port on the home router, so players on the internet
// can reach a game hosted behind it. The router is asked by UPnP (Internet
// Gateway Device) and, when no such device answers, by NAT-PMP; either way
// the mapping has a lease that is renewed at half its length, and it is
// removed again when hosting stops. All talk with the router happens on a
// thread of its own: the window never waits for a router that is slow or
// absent.

#include "netbackend.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>

namespace lobby {

class MapWorker;

class PortMapper : public QObject {
    Q_OBJECT
public:
    enum class State { Off, Asking, Mapped, Failed };

    explicit PortMapper(QObject *parent = nullptr);
    // Removes a mapping it made or asked for, waiting for no router.
    ~PortMapper() override;

    // The lease asked for; renewed at half of it. Routers that take only
    // permanent mappings get one, removed the same way.
    void setLeaseSeconds(int seconds) { m_lease = seconds; }
    // Asks the router to forward this TCP port (the same number outside) to
    // this computer. Does nothing while already asking or mapped.
    void start(quint16 port);
    // Removes the mapping; the router is told in the background.
    void stop();

    State state() const { return m_state; }
    // The router's address on the internet, once mapped (empty when the
    // router did not say it, or has none on the internet itself).
    QString externalAddress() const { return m_external; }
    // What happened, in words for the player.
    QString status() const { return m_status; }

signals:
    // The first answer after start(): mapped or why not.
    void finished(bool mapped, const QString &status);
    // A renewal went through (tests follow the lease by it).
    void renewed();
    // A renewal failed: the mapping is gone.
    void lost(const QString &status);

private:
    void ask(bool renewal);
    void answered(bool mapped, const QString &external, const QString &status, bool renewal);

    QThread m_thread;
    MapWorker *m_worker = nullptr; // with its thread, made on the first start()
    QTimer m_renew;
    State m_state = State::Off;
    quint16 m_port = 0;
    // Short, so a mapping left behind by a copy that died ends soon.
    int m_lease = 1200;
    QString m_external;
    QString m_status;
};

} // namespace lobby
