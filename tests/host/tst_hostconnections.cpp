#include "message.h"
#include "hostharness.h"
#include "tempworkdir.h"
#include "tserver.h"

#include <QTest>
#include <memory>
#include <vector>

class TestHostConnections : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstSlotAndReuse();
    void tenthIsRefused();
    void loginAnswers();
    void existingListsUnnamedAndWatching();
    void wrongVersion_data();
    void wrongVersion();
    void relays_data();
    void relays();
    void kick_data();
    void kick();
    void impersonationDropped_data();
    void impersonationDropped();
    void justwatch_data();
    void justwatch();
    void floodClosesOnlyThatConnection();
    void garbageSurvives_data();
    void garbageSurvives();
    void namesCannotShiftFields();
    void leaverAnnouncedOnce();

private:
    TempWorkDir workDir;
    // Connects a raw client and waits for its slot offer.
    RawClient *connectClient(int expectedSlot);
    RawClient *joinAs(int slot, const QByteArray &name);

    std::unique_ptr<HostHarness> h;
};

void TestHostConnections::init()
{
    h = std::make_unique<HostHarness>();
    QVERIFY(h->listening);
}

void TestHostConnections::cleanup()
{
    h.reset();
}

RawClient *TestHostConnections::connectClient(int expectedSlot)
{
    return h->connectClient(expectedSlot);
}

RawClient *TestHostConnections::joinAs(int slot, const QByteArray &name)
{
    return h->joinAs(slot, name);
}

void TestHostConnections::firstSlotAndReuse()
{
    RawClient *a = joinAs(1, "You");
    QVERIFY(a);
    RawClient *b = joinAs(2, "Ann");
    QVERIFY(b);
    QVERIFY(joinAs(3, "Bo"));
    b->sock.disconnectFromHost();
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), QByteArray("CMD_playerdisconnected+2+Ann"));
    // The freed slot comes back before a new one is opened.
    QVERIFY(connectClient(2));
    QCOMPARE(h->host->slotcount, 3);
}

void TestHostConnections::tenthIsRefused()
{
    for (int i = 1; i <= 9; ++i)
        QVERIFY2(connectClient(i), qPrintable(QString::number(i)));
    RawClient tenth(h->host->listeningPort());
    QVERIFY(tenth.waitForMessages(1));
    QVERIFY(tenth.waitForClosed());
    QCOMPARE(tenth.messages, QList<QByteArray>{"CMD_full+"});
    QVERIFY(tenth.framer.pending().isEmpty());
    settle();
    for (auto &c : h->clients)
        QVERIFY(c->messages.isEmpty());
    QCOMPARE(h->host->slotcount, 9);
}

void TestHostConnections::loginAnswers()
{
    RawClient *a = connectClient(1);
    QVERIFY(a);
    a->write(m("CMD_logininfo+1+1.0.16+You") + FF);
    QVERIFY(a->waitForMessages(1));
    settle();
    // The very first user hears only about itself.
    QCOMPARE(a->messages, QList<QByteArray>{"CMD_newplayerinfo+1+You+0"});
    a->messages.clear();

    RawClient *b = connectClient(2);
    QVERIFY(b);
    b->write(m("CMD_logininfo+2+1.0.16+Ann") + FF);
    QVERIFY(b->waitForMessages(2));
    QVERIFY(a->waitForMessages(1));
    settle();
    QCOMPARE(b->messages, (QList<QByteArray>{"CMD_newplayerinfo+2+Ann+0", "CMD_existingplayers+1+You+0"}));
    QCOMPARE(a->messages, QList<QByteArray>{"CMD_newplayerinfo+2+Ann+0"});
}

void TestHostConnections::existingListsUnnamedAndWatching()
{
    QVERIFY(joinAs(1, "You"));
    QVERIFY(connectClient(2)); // connected, never logs in
    h->host->game().state().seats[1].watching = true;
    RawClient *c = connectClient(3);
    QVERIFY(c);
    c->write(m("CMD_logininfo+3+1.0.16+Cy") + FF);
    QVERIFY(c->waitForMessages(2));
    QCOMPARE(c->messages.at(1), QByteArray("CMD_existingplayers+1+You+1+2++0"));
}

void TestHostConnections::wrongVersion_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("wrong");
    QTest::newRow("same") << QByteArray("1.0.16") << false;
    QTest::newRow("older") << QByteArray("1.0.15") << true;
    QTest::newRow("with build") << QByteArray("1.0.16.17") << true;
    QTest::newRow("empty") << QByteArray("") << true;
}

void TestHostConnections::wrongVersion()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, wrong);
    RawClient *a = joinAs(1, "You");
    QVERIFY(a);
    RawClient *b = connectClient(2);
    QVERIFY(b);
    b->write("CMD_logininfo+2+" + version + "+Ann" + FF + FF);
    QVERIFY(b->waitForMessages(2));
    settle();
    QList<QByteArray> toB{"CMD_newplayerinfo+2+Ann+0", "CMD_existingplayers+1+You+0"};
    QList<QByteArray> toA{"CMD_newplayerinfo+2+Ann+0"};
    if (wrong) {
        toB << "CMD_wrongversion+";
        toA << "CMD_havewrongversion+Ann";
    }
    QCOMPARE(b->messages, toB);
    QCOMPARE(a->messages, toA);
    // The login stands either way.
    QCOMPARE(h->host->tplayers[2].name, QByteArray("Ann"));
}

void TestHostConnections::relays_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("relayed");

    QTest::newRow("chat") << QByteArray("CMD_chat+2+hello|clRed") << QByteArray("CMD_chat+2+Ann chats: hello|clRed");
    QTest::newRow("chat with plus") << QByteArray("CMD_chat+2+a+b|$00123456")
                                    << QByteArray("CMD_chat+2+Ann chats: a+b|$00123456");
    QTest::newRow("action") << QByteArray("CMD_action+2+waves|clBlue") << QByteArray("CMD_action+2+Ann waves|clBlue");
    QTest::newRow("sound") << QByteArray("CMD_playasound+2+wave7+") << QByteArray("CMD_playasound+2+wave7+");
}

void TestHostConnections::relays()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, relayed);
    RawClient *a = joinAs(1, "You");
    RawClient *b = joinAs(2, "Ann");
    QVERIFY(a && b);
    b->write(request + FF);
    QVERIFY(a->waitForMessages(1));
    QVERIFY(b->waitForMessages(1));
    settle();
    QCOMPARE(a->messages, QList<QByteArray>{relayed});
    QCOMPARE(b->messages, QList<QByteArray>{relayed});
}

void TestHostConnections::kick_data()
{
    QTest::addColumn<int>("requester");
    QTest::addColumn<bool>("kicked");
    QTest::newRow("host") << 1 << true;
    QTest::newRow("seat 3") << 3 << false;
}

void TestHostConnections::kick()
{
    QFETCH(int, requester);
    QFETCH(bool, kicked);
    RawClient *a = joinAs(1, "You");
    RawClient *b = joinAs(2, "Ann");
    RawClient *c = joinAs(3, "Cy");
    QVERIFY(a && b && c);
    RawClient *from = requester == 1 ? a : c;
    from->write("CMD_kickhim+" + QByteArray::number(requester) + "+2+" + FF);
    if (kicked) {
        QVERIFY(b->waitForClosed());
        QVERIFY(a->waitForMessages(1));
        QVERIFY(c->waitForMessages(1));
        QCOMPARE(a->take(), QByteArray("CMD_playerdisconnected+2+Ann"));
        QCOMPARE(c->take(), QByteArray("CMD_playerdisconnected+2+Ann"));
        QVERIFY(!h->host->tplayers[2].active);
    } else {
        settle(200);
        QCOMPARE(b->sock.state(), QAbstractSocket::ConnectedState);
        QVERIFY(a->messages.isEmpty());
        QVERIFY(h->host->tplayers[2].active);
    }
}

void TestHostConnections::impersonationDropped_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("kick as host") << QByteArray("CMD_kickhim+1+2+");
    QTest::newRow("chat as host") << QByteArray("CMD_chat+1+I am the host|clRed");
    QTest::newRow("action as host") << QByteArray("CMD_action+1+bows|clRed");
    QTest::newRow("sound as host") << QByteArray("CMD_playasound+1+wave1+");
    QTest::newRow("login as host") << QByteArray("CMD_logininfo+1+1.0.16+Mallory");
    QTest::newRow("watch for seat 2") << QByteArray("CMD_justwatch+2+2");
    QTest::newRow("start a game as a guest") << QByteArray("CMD_startgame+Cy+100+60+f+1+");
}

void TestHostConnections::impersonationDropped()
{
    QFETCH(QByteArray, request);
    RawClient *a = joinAs(1, "You");
    RawClient *b = joinAs(2, "Ann");
    RawClient *c = joinAs(3, "Cy");
    QVERIFY(a && b && c);
    c->write(request + FF);
    settle(200);
    QVERIFY(a->messages.isEmpty());
    QVERIFY(c->messages.isEmpty());
    QCOMPARE(b->sock.state(), QAbstractSocket::ConnectedState);
    QCOMPARE(h->host->tplayers[1].name, QByteArray("You"));
}

void TestHostConnections::justwatch_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("announced");

    QTest::newRow("back to playing") << 2 << QByteArray("CMD_justwatch+2+2") << QByteArray("CMD_justwatching+2+2");
    QTest::newRow("host sets another seat")
            << 1 << QByteArray("CMD_justwatch+2+2") << QByteArray("CMD_justwatching+2+2");
    QTest::newRow("watch outside a game") << 2 << QByteArray("CMD_justwatch+2+1") << QByteArray();
    QTest::newRow("no such seat") << 1 << QByteArray("CMD_justwatch+5+2") << QByteArray();
    QTest::newRow("unknown mode") << 2 << QByteArray("CMD_justwatch+2+3") << QByteArray();
}

void TestHostConnections::justwatch()
{
    QFETCH(int, from);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, announced);
    RawClient *a = joinAs(1, "You");
    RawClient *b = joinAs(2, "Ann");
    QVERIFY(a && b);
    h->host->game().state().seats[2].watching = true;
    (from == 1 ? a : b)->write(request + FF);
    settle(200);
    if (announced.isEmpty()) {
        QVERIFY(a->messages.isEmpty());
        QVERIFY(h->host->game().state().seats[2].watching);
    } else {
        QCOMPARE(a->messages, QList<QByteArray>{announced});
        QCOMPARE(b->messages, QList<QByteArray>{announced});
        QVERIFY(!h->host->game().state().seats[2].watching);
    }
}

void TestHostConnections::floodClosesOnlyThatConnection()
{
    RawClient *a = joinAs(1, "You");
    RawClient *b = joinAs(2, "Ann");
    QVERIFY(a && b);
    const QByteArray chunk(16 * 1024, 'x');
    for (int i = 0; i < 8 && b->sock.state() == QAbstractSocket::ConnectedState; ++i) {
        b->write(chunk);
        QTest::qWait(10);
    }
    QVERIFY(b->waitForClosed());
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), QByteArray("CMD_playerdisconnected+2+Ann"));
    // The host still works for everybody else.
    a->write(m("CMD_chat+1+still here|clBlack"));
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), QByteArray("CMD_chat+1+You chats: still here|clBlack"));
}

void TestHostConnections::garbageSurvives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty messages") << FF + FF + FF;
    QTest::newRow("no command") << m("hello") + m("+1+2");
    QTest::newRow("unknown name") << m("CMD_nothing+1+2") + m("cmd_chat+2+x|clRed");
    QTest::newRow("bad numbers") << m("CMD_chat+x+hi") + m("CMD_kickhim+2+zz+") + m("CMD_justwatch+-9999999999+1")
                    + m("CMD_logininfo+2") + m("CMD_kickhim");
    QTest::newRow("out of range seats") << m("CMD_justwatch+2+-5") + m("CMD_kickhim+2+99+");
    QTest::newRow("binary") << QByteArray("\x00\x01\x02+++\x7f\x80", 9) + FF + QByteArray(300, '+') + FF;
}

void TestHostConnections::garbageSurvives()
{
    QFETCH(QByteArray, bytes);
    RawClient *a = joinAs(1, "You");
    RawClient *b = joinAs(2, "Ann");
    QVERIFY(a && b);
    b->write(bytes);
    b->write(m("CMD_chat+2+after|clRed"));
    QVERIFY(a->waitForMessages(1));
    settle();
    QCOMPARE(a->messages, QList<QByteArray>{"CMD_chat+2+Ann chats: after|clRed"});
    QCOMPARE(b->sock.state(), QAbstractSocket::ConnectedState);
}

void TestHostConnections::namesCannotShiftFields()
{
    RawClient *a = connectClient(1);
    QVERIFY(a);
    a->write("CMD_logininfo+1+1.0.16+A+B|C" + FF + FF);
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), QByteArray("CMD_newplayerinfo+1+A_B_C+0"));
}

void TestHostConnections::leaverAnnouncedOnce()
{
    RawClient *a = joinAs(1, "You");
    RawClient *b = joinAs(2, "Ann");
    QVERIFY(a && b);
    b->write(m("CMD_chat+2+bye|clRed"));
    b->sock.disconnectFromHost();
    QVERIFY(a->waitForMessages(1));
    settle(200);
    // Whatever the leaver had queued speaks for nobody once it is gone.
    QVERIFY(a->messages.contains("CMD_playerdisconnected+2+Ann"));
    QCOMPARE(a->messages.count("CMD_playerdisconnected+2+Ann"), 1);
}

QTEST_MAIN(TestHostConnections)
#include "tst_hostconnections.moc"
