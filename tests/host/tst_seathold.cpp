// A seated player whose connection drops mid-game gets the seat back by
// logging in again within the hold, showing the key the host gave the seat;
// a name alone takes nothing. Over real sockets.

#include "hostharness.h"
#include "tempworkdir.h"
#include "tserver.h"

#include <QTest>

namespace {
bool hasMessage(RawClient *c, const QByteArray &prefix, int timeoutMs = 2000)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        for (const QByteArray &m : c->messages)
            if (m.startsWith(prefix))
                return true;
        if (t.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
}
} // namespace

class TestSeatHold : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void afterTheDrop_data();
    void afterTheDrop();
    void raceForTheHeldName();
    void keyTakesOverASilentConnection_data();
    void keyTakesOverASilentConnection();
    void spectatorCannotTakeTheHeldName();
    void noHold_data();
    void noHold();

private:
    // Ann (host's own slot 1), Bob (seat 2) and Cy (seat 3) in a game; Bob
    // has 37 points and one shuffle, and his connection drops.
    void gameAndDrop();
    // A new connection that logs in under a name, first showing a seat's
    // key when one is given: the slot it ends in.
    int loginAs(const QByteArray &name, RawClient **client, const QByteArray &key = {});

    TempWorkDir workDir;
    std::unique_ptr<HostHarness> h;
    RawClient *ann = nullptr, *bob = nullptr, *cy = nullptr;
    QByteArray bobKey;
};

void TestSeatHold::init()
{
    h = std::make_unique<HostHarness>();
    QVERIFY(h->listening);
    ann = h->joinAs(1, "Ann");
    bob = h->joinAs(2, "Bob");
    cy = h->joinAs(3, "Cy");
    QVERIFY(ann && bob && cy);
    // Every seated player but the hosting user gets a key of their own.
    QTRY_COMPARE(bob->seatKeys, 1);
    QTRY_COMPARE(cy->seatKeys, 1);
    QCOMPARE(ann->seatKeys, 0);
    bobKey = bob->seatKey;
    QCOMPARE(bobKey.size(), TServer::SeatKeyLength);
    QVERIFY(bobKey != cy->seatKey);
}

void TestSeatHold::cleanup()
{
    h.reset();
}

void TestSeatHold::gameAndDrop()
{
    ann->write(m("CMD_startgame+Ann+500+60+f+1+"));
    QVERIFY(hasMessage(cy, "CMD_startgame+"));
    h->host->game().state().seats[2].score = 37;
    h->clearAll();
    bob->sock.abort();
    QVERIFY(hasMessage(ann, "CMD_chat+0+Bob lost the connection"));
    QVERIFY(hasMessage(cy, "CMD_justwatching+2+1"));
    QVERIFY(h->host->isHeld(2));
    // Klot plays the seat meanwhile; nobody else may have its slot.
    QVERIFY(h->host->game().state().seats[2].watching);
    QVERIFY(!hasMessage(cy, "CMD_playerdisconnected", 100));
}

int TestSeatHold::loginAs(const QByteArray &name, RawClient **client, const QByteArray &key)
{
    h->clients.push_back(std::make_unique<RawClient>(h->host->listeningPort()));
    RawClient *c = h->clients.back().get();
    *client = c;
    if (!c->waitForMessages(1))
        return 0;
    QByteArray offer = c->take();
    if (!key.isEmpty())
        c->write(m("CMD_seatkey+" + offer.mid(18) + "+" + key));
    c->write(m("CMD_logininfo+" + offer.mid(18) + "+1.0.16+" + name));
    // A returning player is offered the held seat's slot and logs in there.
    if (hasMessage(c, "CMD_sendlogininfo+", 300)) {
        offer = c->messages.takeAt(c->messages.indexOf(*std::find_if(c->messages.begin(), c->messages.end(),
                [](const QByteArray &x) { return x.startsWith("CMD_sendlogininfo+"); })));
        if (!key.isEmpty())
            c->write(m("CMD_seatkey+" + offer.mid(18) + "+" + key));
        c->write(m("CMD_logininfo+" + offer.mid(18) + "+1.0.16+" + name));
    }
    if (!hasMessage(c, "CMD_newplayerinfo+" + offer.mid(18) + "+"))
        return 0;
    return offer.mid(18).toInt();
}

void TestSeatHold::afterTheDrop_data()
{
    QTest::addColumn<QString>("before"); // what happens before somebody logs in
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("key"); // shown before the login: "bob", "cy", "forged" or none
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("returned");
    QTest::newRow("Bob's key, name in other case") << "" << QByteArray("bOB") << "bob" << 2 << true;
    QTest::newRow("Bob's key, another name") << "" << QByteArray("Robert") << "bob" << 2 << true;
    // Anybody can type a name: a stranger under Bob's is a newcomer.
    QTest::newRow("Bob's name, no key") << "" << QByteArray("Bob") << "" << 4 << false;
    QTest::newRow("Bob's name, a forged key") << "" << QByteArray("Bob") << "forged" << 4 << false;
    // Cy's key is Cy's seat, under whatever name: Bob's stays held.
    QTest::newRow("Bob's name, Cy's key") << "" << QByteArray("Bob") << "cy" << 3 << false;
    QTest::newRow("another name, no key") << "" << QByteArray("Dee") << "" << 4 << false;
    QTest::newRow("hold ran out") << "expire" << QByteArray("Bob") << "bob" << 2 << false;
    QTest::newRow("a new game") << "new game" << QByteArray("Bob") << "bob" << 2 << false;
    QTest::newRow("the game was won") << "won" << QByteArray("Bob") << "bob" << 2 << false;
}

void TestSeatHold::afterTheDrop()
{
    QFETCH(QString, before);
    QFETCH(QByteArray, name);
    QFETCH(QString, key);
    QFETCH(int, slot);
    QFETCH(bool, returned);
    const QByteArray shown = key == "bob" ? bobKey
            : key == "cy"                 ? cy->seatKey
            : key == "forged"             ? QByteArray(TServer::SeatKeyLength, 'a')
                                          : QByteArray();
    gameAndDrop();
    if (before == "expire") {
        h->host->endHold(2);
        QVERIFY(hasMessage(ann, "CMD_playerdisconnected+2+Bob"));
    } else if (before == "new game") {
        ann->write(m("CMD_startgame+Ann+500+60+f+1+"));
        QVERIFY(hasMessage(ann, "CMD_playerdisconnected+2+Bob"));
    } else if (before == "won") {
        h->host->game().state().seats[3].score = 600;
        h->host->game().checkforwin(3);
        cy->write(m("CMD_chat+3+hi|clRed")); // the host publishes as it handles
        QVERIFY(hasMessage(ann, "CMD_playerdisconnected+2+Bob"));
    }
    QCOMPARE(h->host->isHeld(2), before.isEmpty());
    RawClient *back = nullptr;
    QCOMPARE(loginAs(name, &back, shown), slot);
    QCOMPARE(hasMessage(cy, "CMD_chat+0+Bob is back in the game.", returned ? 2000 : 150), returned);
    if (returned) {
        QVERIFY(!h->host->isHeld(2));
        QVERIFY(back->messages.contains("CMD_newplayerinfo+2+Bob+0"));
        // The late joiner's catch-up carries the seat's score and shuffle.
        QVERIFY(hasMessage(back, "CMD_gamestats+"));
        QVERIFY(hasMessage(back, "CMD_shufflesl+"));
        QCOMPARE(h->host->game().state().seats[2].score, 37);
        QCOMPARE(h->host->game().state().seats[2].shufflesleft, 1);
        QVERIFY(hasMessage(cy, "CMD_justwatching+2+2"));
        QCOMPARE(h->host->tplayers[4].active, false); // the slot it was offered first is free again
        // The same key again, for the next drop.
        QTRY_COMPARE(back->seatKey, bobKey);
    } else if (before.isEmpty()) {
        // The seat still waits for Bob, and the newcomer shows as somebody else.
        QVERIFY(h->host->isHeld(2));
        QVERIFY(h->host->tplayers[4].name != "Bob");
    }
}

// Two connections log in under the held name at once, one with the seat's
// key: it gets the seat, the other an ordinary slot under a name of its own.
void TestSeatHold::raceForTheHeldName()
{
    gameAndDrop();
    h->clients.push_back(std::make_unique<RawClient>(h->host->listeningPort()));
    RawClient *x = h->clients.back().get();
    h->clients.push_back(std::make_unique<RawClient>(h->host->listeningPort()));
    RawClient *y = h->clients.back().get();
    QVERIFY(x->waitForMessages(1) && y->waitForMessages(1));
    const QByteArray xSlot = x->take().mid(18), ySlot = y->take().mid(18);
    y->write(m("CMD_logininfo+" + ySlot + "+1.0.16+BOB"));
    x->write(m("CMD_seatkey+" + xSlot + "+" + bobKey));
    x->write(m("CMD_logininfo+" + xSlot + "+1.0.16+Bob"));
    QVERIFY(hasMessage(x, "CMD_sendlogininfo+2"));
    x->write(m("CMD_seatkey+2+" + bobKey));
    x->write(m("CMD_logininfo+2+1.0.16+Bob"));
    QVERIFY(hasMessage(cy, "CMD_chat+0+Bob is back in the game."));
    QVERIFY(hasMessage(cy, "CMD_newplayerinfo+" + ySlot + "+BOB (2)+0"));
    QVERIFY(!y->messages.contains("CMD_sendlogininfo+2"));
    QCOMPARE(h->host->tplayers[2].playersock->peerPort(), x->sock.localPort());
}

// Bob's copy noticed the link die before the host did, and is back on a new
// connection while the old one still looks alive: his key moves the seat to
// the new one and the old one goes. A name alone moves nothing.
void TestSeatHold::keyTakesOverASilentConnection_data()
{
    QTest::addColumn<bool>("withKey");
    QTest::newRow("Bob's key") << true;
    QTest::newRow("Bob's name alone") << false;
}

void TestSeatHold::keyTakesOverASilentConnection()
{
    QFETCH(bool, withKey);
    ann->write(m("CMD_startgame+Ann+500+60+f+1+"));
    QVERIFY(hasMessage(cy, "CMD_startgame+"));
    h->clearAll();
    RawClient *back = nullptr;
    QCOMPARE(loginAs("Bob", &back, withKey ? bobKey : QByteArray()), withKey ? 2 : 4);
    QCOMPARE(hasMessage(cy, "CMD_chat+0+Bob is back in the game.", withKey ? 2000 : 150), withKey);
    QCOMPARE(bob->waitForClosed(withKey ? 3000 : 150), withKey);
    QCOMPARE(h->host->tplayers[2].playersock->peerPort(), (withKey ? back : bob)->sock.localPort());
    QVERIFY(!h->host->isHeld(2));
}

// Somebody already in the game who logs in again under the held name does
// not take the seat.
void TestSeatHold::spectatorCannotTakeTheHeldName()
{
    RawClient *dee = h->joinAs(4, "Dee");
    RawClient *eve = h->joinAs(5, "Eve");
    QVERIFY(dee && eve);
    gameAndDrop();
    eve->write(m("CMD_logininfo+5+1.0.16+Bob"));
    QVERIFY(hasMessage(cy, "CMD_newplayerinfo+5+Bob (2)+0"));
    QVERIFY(h->host->isHeld(2));
    QVERIFY(!eve->messages.contains("CMD_sendlogininfo+2"));
}

// Outside a game, or kicked, a player leaves at once, as ever.
void TestSeatHold::noHold_data()
{
    QTest::addColumn<bool>("game");
    QTest::addColumn<bool>("kick");
    QTest::newRow("no game") << false << false;
    QTest::newRow("kicked mid-game") << true << true;
}

void TestSeatHold::noHold()
{
    QFETCH(bool, game);
    QFETCH(bool, kick);
    if (game) {
        ann->write(m("CMD_startgame+Ann+500+60+f+1+"));
        QVERIFY(hasMessage(cy, "CMD_startgame+"));
    }
    if (kick)
        ann->write(m("CMD_kickhim+1+2+"));
    else
        bob->sock.abort();
    QVERIFY(hasMessage(ann, "CMD_playerdisconnected+2+Bob"));
    QVERIFY(!h->host->isHeld(2));
}

QTEST_MAIN(TestSeatHold)
#include "tst_seathold.moc"
