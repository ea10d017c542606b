#pragma once
// The turn's time as the window shows it, counted down here once a second
// from the host's figures; the last nine seconds tick audibly.

#include <QObject>
#include <QTimer>

class TurnCountdown : public QObject {
    Q_OBJECT
public:
    explicit TurnCountdown(QObject *parent = nullptr);

    int left() const { return m_left; }
    bool running() const { return m_timer.isActive(); }
    // From this many seconds; it runs only while some are left.
    void start(int seconds);
    void stop(int seconds = 0);
    void Timer2Timer(); // 1 s: the countdown

signals:
    void tick(int secondsLeft);
    void lastSeconds();

private:
    QTimer m_timer;
    int m_left = 0;
};
