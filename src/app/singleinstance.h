#pragma once
// One running copy per user and temporary folder. A second start hands the
// first copy a nudge to come forward and then ends. The guard is a local
// socket, so a copy that crashed leaves nothing that blocks the next start.

#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);

    // True when another copy answered (and has been asked to come forward).
    bool anotherIsRunning();
    // Becomes the running copy; later starts will reach this one.
    bool claim();

signals:
    void activationRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};
