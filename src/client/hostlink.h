#pragma once
// The client's connection to the host: the socket, the framer that cuts the
// stream into messages, and the queue they wait in. Each tick of the dispatch
// timer hands one message on; the timer runs only while messages wait, and a
// message arriving while nothing waits is handed on at once. What a host may
// make this client hold is bounded: a host that floods it is left.

#include "framer.h"

#include <QObject>
#include <QQueue>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class HostLink : public QObject {
    Q_OBJECT
public:
    // Unterminated text, the longest message (a relayed chat line is far
    // shorter), and messages waiting.
    static constexpr qsizetype MaxPending = 64 * 1024;
    static constexpr qsizetype MaxMessage = 16 * 1024;
    static constexpr int MaxQueued = 1024;
    static constexpr int ConnectTimeoutMs = 10000;

    // Each message goes to the handler whole, its terminator taken off.
    using Handler = std::function<void(const QByteArray &message)>;
    explicit HostLink(Handler handler, QObject *parent = nullptr);

    void connectTo(const QString &address, quint16 port);
    // Ends the connection, and drops what it brought, without a word to the
    // handler or the signals.
    void close();
    // How long a connection may take before it counts as failed.
    void setConnectTimeout(int ms) { m_connectTimer.setInterval(ms); }
    // The matchmaking client may listen here; nothing is ever said on it.
    void openMatchmakerLink();
    // Sends a finished message; false when the connection is not open.
    bool send(const QByteArray &message);
    // Queues a complete message as if it had come from the host (without its
    // terminator); the dispatch timer handles it like any other.
    void receive(const QByteArray &message);
    int queued() const { return m_queue.size(); }
    QTcpSocket &socket() { return m_sock; }

    void Timer1Timer(); // 1 ms: one queued message per tick

signals:
    // The host could not be reached (refused, unanswered, network down); the
    // reason in plain words.
    void connectFailed(const QString &reason);
    void hostNotFound();
    void connectionClosed();

private:
    void sockRead();
    void wakeTimer();
    void processsocktimer();

    Handler m_handler;
    QTcpSocket m_sock;
    QTcpSocket m_matchmaker;
    QTimer m_timer;
    QTimer m_connectTimer;
    wire::Framer m_framer{MaxPending};
    QQueue<QByteArray> m_queue;
    bool m_closeAfterQueue = false; // closed while messages still waited
};
