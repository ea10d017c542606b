#include "animationclock.h"

namespace ui {

AnimationClock::AnimationClock(QObject *parent) : QObject(parent)
{
    m_elapsed.start();
    m_timer.setInterval(FrameMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AnimationClock::tick);
}

void AnimationClock::start(const QString &name, int durationMs, Frame frame)
{
    finish(name);
    if (m_instant || m_suspended || durationMs <= 0) {
        frame(1.0);
        return;
    }
    m_running.insert(name, Animation{now(), durationMs, frame});
    frame(0.0);
    ++m_frames;
    if (!m_manual && !m_timer.isActive())
        m_timer.start();
}

void AnimationClock::finish(const QString &name)
{
    const auto it = m_running.find(name);
    if (it == m_running.end())
        return;
    const Frame frame = it->frame;
    m_running.erase(it);
    frame(1.0);
    if (m_running.isEmpty())
        m_timer.stop();
}

void AnimationClock::finishAll()
{
    while (!m_running.isEmpty())
        finish(m_running.firstKey());
}

void AnimationClock::setInstant(bool instant)
{
    m_instant = instant;
    if (instant)
        finishAll();
}

void AnimationClock::setSuspended(bool suspended)
{
    m_suspended = suspended;
    if (suspended)
        finishAll();
}

void AnimationClock::advance(int ms)
{
    m_manualNow += ms;
    tick();
}

void AnimationClock::tick()
{
    const qint64 t = now();
    // A frame may start or finish other animations, so walk a copy of the names.
    const QStringList names = m_running.keys();
    for (const QString &name : names) {
        const auto it = m_running.find(name);
        if (it == m_running.end())
            continue;
        const double p = double(t - it->start) / it->duration;
        if (p >= 1.0) {
            finish(name);
            continue;
        }
        const Frame frame = it->frame; // the frame may change the map
        frame(p);
        ++m_frames;
    }
    if (m_running.isEmpty())
        m_timer.stop();
}

} // namespace ui
