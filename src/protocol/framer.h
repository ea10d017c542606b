#pragma once
// Cuts a connection's byte stream into messages at each 0xFF. Whatever follows
// the last terminator waits for the next read.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace wire {

class Framer {
public:
    // maxPending < 0: no limit on the unterminated text.
    explicit Framer(qsizetype maxPending = -1) : m_maxPending(maxPending) { }

    // Appends the complete messages (without terminators, empty ones kept) to
    // out. Returns false when the unterminated rest grew beyond the limit; the
    // rest is then dropped and the caller should close the connection.
    bool feed(QByteArrayView bytes, QList<QByteArray> &out);

    const QByteArray &pending() const { return m_pending; }

private:
    QByteArray m_pending;
    qsizetype m_maxPending;
};

} // namespace wire
