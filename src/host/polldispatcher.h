#pragma once
// An event loop for a thread that waits on sockets and a few timers and on
// nothing else: one poll() over the sockets' descriptors and an eventfd that
// wakes it. Qt gives a thread the GLib loop by default, which spends about a
// fifth more of a busy host's time on every wake-up; this one is written
// against Qt's public dispatcher interface only, so a Qt update cannot break it.
//
// Set it on a QThread before the thread starts (QThread::setEventDispatcher).

#include <QAbstractEventDispatcher>

#include <atomic>
#include <vector>

class PollDispatcher : public QAbstractEventDispatcher {
    Q_OBJECT
public:
    explicit PollDispatcher(QObject *parent = nullptr);
    ~PollDispatcher() override;

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    void registerSocketNotifier(QSocketNotifier *notifier) override;
    void unregisterSocketNotifier(QSocketNotifier *notifier) override;
    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject *object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject *object) override;
    QList<TimerInfo> registeredTimers(QObject *object) const override;
    int remainingTime(int timerId) override;
    void wakeUp() override;
    void interrupt() override;

private:
    struct Timer {
        int id;
        qint64 interval; // ms
        Qt::TimerType type;
        QObject *object;
        qint64 due; // on the steady clock, ms
    };
    // Fires the timers that are due; true when any fired.
    bool fireTimers();
    // Milliseconds until the next timer is due; -1 with none.
    int nextTimeout() const;
    void drainWake();

    int m_wake = -1; // eventfd
    std::atomic<bool> m_interrupted{false};
    std::vector<QSocketNotifier *> m_notifiers;
    std::vector<Timer> m_timers;
};
