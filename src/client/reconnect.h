#pragma once
// Back into the game after a dropped connection: the same address and name
// tried every two seconds for up to two minutes, a countdown on screen the
// while, and the player can give up at any moment. The host keeps the seat
// for a returning name, so a login is all it takes.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class ClientModel;
class QProgressDialog;
class QWidget;

class Reconnect : public QObject {
    Q_OBJECT
public:
    static constexpr int EveryMs = 2000;
    static constexpr int ForMs = 120000;

    Reconnect(ClientModel &model, QWidget *window, QObject *parent);
    ~Reconnect() override;

    void start(const QString &address, quint16 port, const QByteArray &name);
    bool running() const { return m_running; }
    // Stops trying (the window is closing).
    void cancel()
    {
        if (m_running)
            finish(false);
    }
    // What the countdown says now.
    QString text() const;

public slots:
    // One try (the timer's slot; tests call it instead of waiting).
    void tryNow();

signals:
    void back();
    // Out of time, or the player chose to stop.
    void gaveUp();

private:
    void finish(bool success);
    int secondsLeft() const;

    ClientModel &m_model;
    QWidget *m_window;
    QProgressDialog *m_dialog = nullptr;
    QTimer m_every;
    QElapsedTimer m_since;
    QString m_address;
    quint16 m_port = 0;
    QByteArray m_name;
    bool m_running = false;
};
