// The host on a thread of its own, as the program runs it: it listens as the
// window asks, relays while the window's thread is busy, and says goodbye
// when it goes.

#include "hostharness.h"
#include "hostthread.h"
#include "polldispatcher.h"
#include "tempworkdir.h"

#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {
// Joins as the user in the slot given; the greetings are left unread.
std::unique_ptr<RawClient> join(quint16 port, int slot, const QByteArray &name)
{
    auto c = std::make_unique<RawClient>(port);
    if (!c->waitForMessages(1) || c->take() != "CMD_sendlogininfo+" + QByteArray::number(slot))
        return nullptr;
    c->write("CMD_logininfo+" + QByteArray::number(slot) + "+1.0.16+" + name + FF);
    if (!c->waitForMessages(1))
        return nullptr;
    settle(30);
    c->messages.clear();
    return c;
}
} // namespace

class TestHostThread : public QObject {
    Q_OBJECT
private slots:
    void listens_data();
    void listens();
    void relaysWhileTheWindowIsBusy();
    void goodbyeWhenItGoes();
    void loopRunsTimers_data();
    void loopRunsTimers();
    void loopQuitsWhileWaiting();
    void workJustBeforeTheWaitCounts();

private:
    TempWorkDir workDir;
};

void TestHostThread::listens_data()
{
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("error");
    QTest::newRow("a free port") << false << QString();
    QTest::newRow("a port another program holds") << true << QStringLiteral("Listen - Error Binding Socket");
}

void TestHostThread::listens()
{
    QFETCH(bool, taken);
    QFETCH(QString, error);
    QTcpServer other;
    quint16 port = 0;
    if (taken) {
        QVERIFY(other.listen(QHostAddress::Any));
        port = other.serverPort();
    }
    HostThread host;
    quint16 listening = 0;
    QString why;
    QCOMPARE(host.listen(port, &listening, &why), error.isEmpty());
    QCOMPARE(why, error);
    if (error.isEmpty()) {
        QVERIFY(listening != 0);
        QVERIFY(join(listening, 1, "You"));
    }
}

// The window's thread reads nothing while it waits here without an event
// loop: the relay can only come from the host's own thread.
void TestHostThread::relaysWhileTheWindowIsBusy()
{
    HostThread host([](TServer &server) { server.setManualTimers(true); });
    quint16 port = 0;
    QVERIFY(host.listen(0, &port, nullptr));
    auto a = join(port, 1, "You");
    auto b = join(port, 2, "Ann");
    QVERIFY(a && b);
    a->messages.clear();
    b->sock.write("CMD_chat+2+hello|clRed" + FF);
    QVERIFY(b->sock.waitForBytesWritten(1000));
    QVERIFY(a->sock.waitForReadyRead(2000));
    a->framer.feed(a->sock.readAll(), a->messages);
    QCOMPARE(a->messages.value(0), QByteArray("CMD_chat+2+Ann chats: hello|clRed"));
}

void TestHostThread::goodbyeWhenItGoes()
{
    auto host = std::make_unique<HostThread>();
    quint16 port = 0;
    QVERIFY(host->listen(0, &port, nullptr));
    auto a = join(port, 1, "You");
    auto b = join(port, 2, "Ann");
    QVERIFY(a && b);
    host.reset();
    QTRY_VERIFY(b->messages.contains("CMD_playerdisconnected+1+You"));
    QVERIFY(b->waitForClosed());
}

using Schedule = QList<QPair<int, QByteArray>>; // (ms, name) single shots

void TestHostThread::loopRunsTimers_data()
{
    // A timer named "stop:X" stops X; "tick" repeats every 0 ms until the
    // last one fires. What fired, in order, "tick" once however often.
    QTest::addColumn<Schedule>("timers");
    QTest::addColumn<QByteArrayList>("fired");
    QTest::newRow("in the order they are due")
            << Schedule{{30, "c"}, {10, "a"}, {20, "b"}} << QByteArrayList{"a", "b", "c"};
    QTest::newRow("one stops another due with it")
            << Schedule{{10, "stop:b"}, {10, "b"}, {40, "c"}} << QByteArrayList{"stop:b", "c"};
    QTest::newRow("a busy zero timer starves none")
            << Schedule{{0, "tick"}, {20, "a"}, {40, "b"}} << QByteArrayList{"tick", "a", "b"};
}

// The host's own loop, as its thread runs it: its timers are its clocks.
void TestHostThread::loopRunsTimers()
{
    QFETCH(Schedule, timers);
    QFETCH(QByteArrayList, fired);
    QThread thread;
    thread.setEventDispatcher(new PollDispatcher);
    QObject context;
    context.moveToThread(&thread);
    // Both used on the loop's thread only, and read after it ends.
    QByteArrayList seen;
    QHash<QByteArray, QTimer *> byName;
    const QByteArray last = std::max_element(timers.cbegin(), timers.cend())->second;
    thread.start();
    QMetaObject::invokeMethod(&context, [&] {
        for (const auto &[ms, name] : timers) {
            auto *t = new QTimer(&context);
            t->setSingleShot(name != "tick");
            t->setInterval(ms);
            byName[name] = t;
            QObject::connect(t, &QTimer::timeout, &context, [&, name] {
                if (name != "tick" || !seen.contains("tick"))
                    seen.append(name);
                if (name.startsWith("stop:"))
                    byName.value(name.mid(5))->stop();
                if (name == last) {
                    for (QTimer *each : std::as_const(byName))
                        each->stop();
                    thread.quit();
                }
            });
            t->start();
        }
    });
    QVERIFY(thread.wait(10000));
    QCOMPARE(seen, fired);
}

void TestHostThread::loopQuitsWhileWaiting()
{
    QThread thread;
    thread.setEventDispatcher(new PollDispatcher);
    thread.start();
    QTest::qWait(50); // asleep in its poll, with nothing to wake it but this
    thread.quit();
    QVERIFY(thread.wait(5000));
}

// The host writes out a pass's replies as its loop is about to sleep; what
// is done then (a timer started, say) is part of what the sleep waits for,
// not something the loop notices only when woken for another reason.
void TestHostThread::workJustBeforeTheWaitCounts()
{
    QThread thread;
    auto *loop = new PollDispatcher;
    thread.setEventDispatcher(loop);
    QObject context;
    context.moveToThread(&thread);
    QTimer *late = nullptr;
    QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, &context, [&] {
        if (late)
            return;
        late = new QTimer(&context);
        late->setSingleShot(true);
        QObject::connect(late, &QTimer::timeout, &context, [&thread] { thread.quit(); });
        late->start(5);
    });
    thread.start();
    const bool fired = thread.wait(3000);
    if (!fired) {
        thread.quit();
        thread.wait();
    }
    QVERIFY2(fired, "a timer started just before the loop slept never fired");
}

QTEST_GUILESS_MAIN(TestHostThread)
#include "tst_hostthread.moc"
