#include "singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

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
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody answered, so whatever holds the name is left over from a
        // copy that did not end cleanly.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    return true;
}
