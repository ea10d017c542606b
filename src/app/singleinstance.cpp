#include "singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <sys/stat.h>

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name)
{ }

bool SingleInstance::anotherIsRunning()
{
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (!probe.waitForConnected(500))
        return false;
    probe.write("show\n");
    probe.waitForBytesWritten(500);
    probe.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
    m_server = new QLocalServer(this);
    // Only this user may reach the guard. The socket is made so from the
    // start, with a private file mode creation mask, rather than through
    // Qt's user-access option, which builds it in a temporary folder and
    // moves it: about 2 ms of the start-up. No other thread of ours exists
    // yet to be caught by the mask.
    const mode_t mask = ::umask(0077);
    bool listening = m_server->listen(m_name);
    if (!listening) {
        // Nobody answered, so whatever holds the name is left over from a
        // copy that did not end cleanly.
        QLocalServer::removeServer(m_name);
        listening = m_server->listen(m_name);
    }
    ::umask(mask);
    if (!listening)
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    return true;
}
