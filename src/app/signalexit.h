#pragma once
// SIGTERM (a desktop logging out, a kill) and SIGINT (Ctrl+C in a terminal)
// end the program the way File → Exit does, so the tally and the settings
// are written as at any other exit. The handler only writes a byte to a
// pipe; the event loop reads it and asks for the exit.

#include <QObject>

class QSocketNotifier;

class SignalExit : public QObject {
    Q_OBJECT
public:
    explicit SignalExit(QObject *parent = nullptr);
    ~SignalExit() override;

signals:
    void exitRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
