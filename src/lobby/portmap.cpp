#include "portmap.h"
#include "logging.h"

#include "appfiles.h"

#include <atomic>
#include <memory>

namespace lobby {

const NetModule *netModule()
{
    static const NetModule *const loaded = [] {
        const auto entry = reinterpret_cast<NetModuleEntry>(
                settings::moduleEntry(QStringLiteral("wordmire-net"), WORDMIRE_NET_MODULE_ENTRY,
                        QStringLiteral(WORDMIRE_NET_MODULE_INSTALLED), QStringLiteral(WORDMIRE_NET_MODULE_BUILT)));
        return entry ? entry() : nullptr;
    }();
    return loaded;
}

// Lives on the mapper's thread, with the router client made there on first
// use (loading the module off the window's thread too); the mapper may cut
// the question in progress short from its own.
class MapWorker : public QObject {
public:
    RouterAnswer map(quint16 port, int lease)
    {
        if (!client())
            return {false, {}, noModuleText()};
        return m_client->map(port, lease);
    }
    void unmap(quint16 port)
    {
        if (client())
            m_client->unmap(port);
    }
    // From the mapper's thread.
    void cancel()
    {
        if (RouterClient *c = m_made.load())
            c->cancel();
    }

private:
    RouterClient *client()
    {
        if (!m_client)
            if (const NetModule *module = netModule()) {
                m_client.reset(module->router());
                m_made = m_client.get();
            }
        return m_client.get();
    }
    std::unique_ptr<RouterClient> m_client;
    std::atomic<RouterClient *> m_made{nullptr};
};

PortMapper::PortMapper(QObject *parent) : QObject(parent)
{
    m_renew.setSingleShot(true);
    connect(&m_renew, &QTimer::timeout, this, [this] { ask(true); });
}

PortMapper::~PortMapper()
{
    if (!m_worker)
        return;
    // A question in progress ends at once; what was asked for is removed,
    // the router's answer not waited for.
    m_worker->cancel();
    // The thread ends after the removal: a quit from here would end its
    // loop before it came to the removal.
    const bool asked = m_state != State::Off;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, port = m_port, asked] {
        if (asked)
            worker->unmap(port);
        QThread::currentThread()->quit();
    });
    m_thread.wait();
}

void PortMapper::start(quint16 port)
{
    if (m_state == State::Asking || m_state == State::Mapped)
        return;
    m_state = State::Asking;
    m_port = port;
    m_status = QStringLiteral("Asking the router to open TCP port %1...").arg(port);
    // The thread is made the first time this copy hosts: a copy that never
    // does starts none.
    if (!m_worker) {
        m_worker = new MapWorker;
        m_thread.setObjectName(QStringLiteral("router"));
        m_worker->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        m_thread.start();
    }
    ask(false);
}

void PortMapper::ask(bool renewal)
{
    // The destructor waits for the worker, so this outlives every call; an
    // answer posted after it is gone is dropped with its event.
    QMetaObject::invokeMethod(m_worker, [this, worker = m_worker, port = m_port, lease = m_lease, renewal] {
        const RouterAnswer a = worker->map(port, lease);
        QMetaObject::invokeMethod(this, [this, a, renewal] { answered(a.mapped, a.external, a.status, renewal); });
    });
}

void PortMapper::stop()
{
    m_renew.stop();
    if (m_state == State::Off)
        return;
    // A question still on its way ends at once, and the removal that
    // follows also undoes what it asked for.
    m_worker->cancel();
    const quint16 port = m_port;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, port] { worker->unmap(port); });
    m_state = State::Off;
    m_external.clear();
    m_status.clear();
}

void PortMapper::answered(bool mapped, const QString &external, const QString &status, bool renewal)
{
    // Stopped meanwhile: the answer is stale (and the removal follows it).
    if (m_state == State::Off)
        return;
    m_state = mapped ? State::Mapped : State::Failed;
    if (mapped)
        qCDebug(lcRouter, "port %d open at %s (%s)", int(m_port), qPrintable(external), qPrintable(status));
    else if (renewal)
        qCWarning(lcRouter, "the router dropped port %d: %s", int(m_port), qPrintable(status));
    else
        qCDebug(lcRouter, "the router opened nothing: %s", qPrintable(status));
    m_external = external;
    m_status = status;
    if (mapped && m_lease > 0)
        m_renew.start(qMax(1, m_lease / 2) * 1000);
    if (!renewal)
        emit finished(mapped, status);
    else if (mapped)
        emit renewed();
    else
        emit lost(status);
}

} // namespace lobby
