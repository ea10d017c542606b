#include "turncountdown.h"

TurnCountdown::TurnCountdown(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TurnCountdown::Timer2Timer);
}

// Whatever the host says, the countdown stays within a day, so counting down
// never runs past the smallest number.
static int bounded(int seconds)
{
    return qBound(-1, seconds, 24 * 3600);
}

void TurnCountdown::start(int seconds)
{
    m_left = bounded(seconds);
    m_timer.start();
}

void TurnCountdown::stop(int seconds)
{
    m_timer.stop();
    m_left = bounded(seconds);
}

void TurnCountdown::Timer2Timer()
{
    --m_left;
    if (m_left < 1)
        m_timer.stop();
    emit tick(qMax(m_left, 0));
    if (m_left >= 1 && m_left <= 9)
        emit lastSeconds();
}
