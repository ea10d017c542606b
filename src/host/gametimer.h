#pragma once
// A one-second game timer whose ticks tests can step by hand: in manual mode
// it keeps its enabled state but never fires on its own.

#include <QTimer>

class GameTimer {
public:
    GameTimer() { m_timer.setInterval(1000); }
    template <typename F> void onTick(QObject *context, F f)
    {
        QObject::connect(&m_timer, &QTimer::timeout, context, f);
    }
    void setManual(bool manual)
    {
        m_manual = manual;
        if (manual)
            m_timer.stop();
        else if (m_enabled)
            m_timer.start();
    }
    void start()
    {
        m_enabled = true;
        if (!m_manual)
            m_timer.start();
    }
    void stop()
    {
        m_enabled = false;
        m_timer.stop();
    }
    bool isActive() const { return m_enabled; }

private:
    QTimer m_timer;
    bool m_enabled = false;
    bool m_manual = false;
};
