#include "turncountdown.h"

TurnCountdown::TurnCountdown(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TurnCountdown::Timer2Timer);
}

void TurnCountdown::start(int seconds)
{
    m_left = seconds;
    m_timer.start();
}

void TurnCountdown::stop(int seconds)
{
    m_timer.stop();
    m_left = seconds;
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
