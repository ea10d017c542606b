#include "polldispatcher.h"
#include "logging.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <climits>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

qint64 now()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

short pollEvents(QSocketNotifier::Type type)
{
    switch (type) {
    case QSocketNotifier::Read:
        return POLLIN;
    case QSocketNotifier::Write:
        return POLLOUT;
    case QSocketNotifier::Exception:
        return POLLPRI;
    }
    return 0;
}

// What wakes a notifier of a type: a closed or failed socket wakes its
// readers and writers, so they learn of it.
bool ready(QSocketNotifier::Type type, short revents)
{
    switch (type) {
    case QSocketNotifier::Read:
        return revents & (POLLIN | POLLHUP | POLLERR);
    case QSocketNotifier::Write:
        return revents & (POLLOUT | POLLERR);
    case QSocketNotifier::Exception:
        return revents & POLLPRI;
    }
    return false;
}

} // namespace

PollDispatcher::PollDispatcher(QObject *parent)
    : QAbstractEventDispatcher(parent), m_wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_wake < 0)
        qFatal("wordmire: no eventfd for the host's loop");
}

PollDispatcher::~PollDispatcher()
{
    ::close(m_wake);
}

void PollDispatcher::registerSocketNotifier(QSocketNotifier *notifier)
{
    if (std::find(m_notifiers.begin(), m_notifiers.end(), notifier) == m_notifiers.end())
        m_notifiers.push_back(notifier);
}

void PollDispatcher::unregisterSocketNotifier(QSocketNotifier *notifier)
{
    std::erase(m_notifiers, notifier);
}

void PollDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject *object)
{
    unregisterTimer(timerId);
    m_timers.push_back({timerId, std::max<qint64>(interval, 0), timerType, object, now() + interval});
}

bool PollDispatcher::unregisterTimer(int timerId)
{
    return std::erase_if(m_timers, [timerId](const Timer &t) { return t.id == timerId; }) > 0;
}

bool PollDispatcher::unregisterTimers(QObject *object)
{
    return std::erase_if(m_timers, [object](const Timer &t) { return t.object == object; }) > 0;
}

QList<QAbstractEventDispatcher::TimerInfo> PollDispatcher::registeredTimers(QObject *object) const
{
    QList<TimerInfo> list;
    for (const Timer &t : m_timers)
        if (t.object == object)
            list.append(TimerInfo(t.id, int(std::min<qint64>(t.interval, INT_MAX)), t.type));
    return list;
}

int PollDispatcher::remainingTime(int timerId)
{
    const qint64 at = now();
    for (const Timer &t : m_timers)
        if (t.id == timerId)
            return int(std::clamp<qint64>(t.due - at, 0, INT_MAX));
    return -1;
}

void PollDispatcher::wakeUp()
{
    const quint64 one = 1;
    // A full counter already wakes the loop; nothing is lost when this fails.
    [[maybe_unused]] const ssize_t n = ::write(m_wake, &one, sizeof one);
}

void PollDispatcher::interrupt()
{
    m_interrupted = true;
    wakeUp();
}

void PollDispatcher::drainWake()
{
    quint64 count;
    [[maybe_unused]] const ssize_t n = ::read(m_wake, &count, sizeof count);
}

int PollDispatcher::nextTimeout() const
{
    if (m_timers.empty())
        return -1;
    qint64 first = m_timers.front().due;
    for (const Timer &t : m_timers)
        first = std::min(first, t.due);
    return int(std::clamp<qint64>(first - now(), 0, INT_MAX));
}

bool PollDispatcher::fireTimers()
{
    const qint64 at = now();
    // Collected first: a timer's event may start or stop any timer. Each due
    // timer fires once a pass, so a zero-interval one cannot starve the rest.
    std::vector<int> due;
    for (const Timer &t : m_timers)
        if (t.due <= at)
            due.push_back(t.id);
    for (const int id : due) {
        const auto it = std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer &t) { return t.id == id; });
        if (it == m_timers.end() || it->due > at)
            continue; // stopped, or started afresh, by an earlier one
        // The next one counts from when this one was due; a timer that fell
        // behind starts over rather than firing to catch up.
        it->due += it->interval;
        if (it->due <= at)
            it->due = at + it->interval;
        QTimerEvent event(id);
        QCoreApplication::sendEvent(it->object, &event);
    }
    return !due.empty();
}

bool PollDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags)
{
    m_interrupted = false;
    emit awake();
    QCoreApplication::sendPostedEvents();
    if (m_interrupted)
        return false;

    // Anything posted meanwhile has written to the eventfd, so waiting here
    // never sleeps on work already queued.
    int timeout = (flags & QEventLoop::WaitForMoreEvents) ? nextTimeout() : 0;
    const bool mayBlock = timeout != 0;
    if (mayBlock) {
        // Before the descriptors are gathered: what is done here (writing
        // out what the pass gathered, say) changes which are watched, and a
        // timer started here counts too.
        emit aboutToBlock();
        timeout = nextTimeout();
    }
    std::vector<pollfd> fds;
    std::vector<QSocketNotifier *> watched;
    fds.push_back({m_wake, POLLIN, 0});
    if (!(flags & QEventLoop::ExcludeSocketNotifiers)) {
        for (QSocketNotifier *n : m_notifiers) {
            fds.push_back({int(n->socket()), pollEvents(n->type()), 0});
            watched.push_back(n);
        }
    }
    int count = -1;
    do
        count = ::poll(fds.data(), nfds_t(fds.size()), timeout);
    while (count < 0 && errno == EINTR);
    if (mayBlock)
        emit awake();

    bool handled = false;
    if (count > 0) {
        if (fds[0].revents & POLLIN)
            drainWake();
        for (size_t i = 1; i < fds.size(); ++i) {
            QSocketNotifier *n = watched[i - 1];
            // Each is looked up again: handling one may remove another.
            if (fds[i].revents == 0 || std::find(m_notifiers.begin(), m_notifiers.end(), n) == m_notifiers.end())
                continue;
            if (fds[i].revents & POLLNVAL) {
                qCWarning(lcHost, "socket %d closed under its notifier", fds[i].fd);
                n->setEnabled(false);
                continue;
            }
            if (!ready(n->type(), fds[i].revents))
                continue;
            QEvent event(QEvent::SockAct);
            QCoreApplication::sendEvent(n, &event);
            handled = true;
        }
    }
    if (!(flags & QEventLoop::X11ExcludeTimers))
        handled = fireTimers() || handled;
    return handled;
}
