#include "hostthread.h"
#include "tserver.h"

#include "polldispatcher.h"

HostThread::HostThread(std::function<void(TServer &)> setup) : m_setup(std::move(setup))
{
    m_thread.setObjectName(QStringLiteral("wordmire host"));
    // The host's loop waits on sockets and a few timers and nothing else.
    m_thread.setEventDispatcher(new PollDispatcher);
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    m_thread.start();
    // Not waited for: the word list is written out while the window builds.
    QMetaObject::invokeMethod(m_context, [this] {
        m_server = std::make_unique<TServer>();
        if (m_setup)
            m_setup(*m_server);
    });
}

// The host goes on its own thread, so its farewell to the others is written
// by the thread that owns the sockets; then the thread ends.
HostThread::~HostThread()
{
    QMetaObject::invokeMethod(
            m_context, [this] { m_server.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

void HostThread::post(std::function<void(TServer &)> call)
{
    QMetaObject::invokeMethod(m_context, [this, call = std::move(call)] { call(*m_server); });
}

void HostThread::configure(const QString &key, std::function<void(TServer &)> call)
{
    m_configured[key] = call;
    post(std::move(call));
}

void HostThread::renew()
{
    QMetaObject::invokeMethod(
            m_context,
            [this] {
                m_server.reset();
                m_server = std::make_unique<TServer>();
                if (m_setup)
                    m_setup(*m_server);
                for (const auto &[key, call] : m_configured)
                    call(*m_server);
            },
            Qt::BlockingQueuedConnection);
}

void HostThread::call(const std::function<void(TServer &)> &call)
{
    QMetaObject::invokeMethod(
            m_context, [this, &call] { call(*m_server); }, Qt::BlockingQueuedConnection);
}

bool HostThread::listen(quint16 port, quint16 *listening, QString *error)
{
    bool ok = false;
    QString why;
    call([&](TServer &server) {
        ok = server.listen(port, &why);
        *listening = ok ? server.listeningPort() : 0;
    });
    if (error)
        *error = why;
    return ok;
}
