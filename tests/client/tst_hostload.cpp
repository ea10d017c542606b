// A hosting copy, window and all, under a chat flood that is legal line by
// line: one peer sends lines full of smiley codes as fast as it can while
// seven honest peers chat at twenty lines a second each. The flooder is held
// to its own rate (its lines wait their turn, the rest stays in the
// network); nobody honest waits, and their lines keep arriving at once
// although the host's own window lays out every line.

#include "clientfiles.h"
#include "rawclient.h"
#include "recordingplayer.h"
#include "tchat.h"
#include "tserver.h"
#include "usehost.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>
#include <vector>

#ifdef __SANITIZE_ADDRESS__
constexpr bool kTimed = false; // a sanitizer's slowdown says nothing of ours
#else
constexpr bool kTimed = true;
#endif

class TestHostLoad : public QObject {
    Q_OBJECT
private slots:
    void smileyFloodHeldToItsPace();
};

void TestHostLoad::smileyFloodHeldToItsPace()
{
    ClientFiles files;
    TServer server;
    Tchat host;
    RecordingPlayer quiet;
    host.setSoundPlayer(&quiet);
    useHost(host, &server);
    host.setArguments({"Host", "x", "true"});
    host.setPort(0);
    host.show();
    QTRY_VERIFY(host.model().loggedin());

    const QByteArray FF(1, char(0xFF));
    std::vector<std::unique_ptr<RawClient>> peers;
    for (int slot = 2; slot <= 9; ++slot) {
        peers.push_back(std::make_unique<RawClient>(server.listeningPort()));
        QVERIFY(peers.back()->waitForMessages(1));
        peers.back()->write(
                "CMD_logininfo+" + QByteArray::number(slot) + "+1.0.16+P" + QByteArray::number(slot) + FF + FF);
    }
    QTRY_COMPARE(host.model().seat(4).name, QString("P4"));
    RawClient &flooder = *peers.back();
    RawClient &listener = *peers.front();
    QByteArray flood = "CMD_chat+9+";
    for (int i = 0; i < 798; ++i)
        flood += ":)#12";
    flood += "|clRed" + FF;

    QElapsedTimer clock;
    clock.start();
    qint64 nextHonest = 0, nextFlood = 0, worst = 0;
    int received = 0, flooded = 0;
    while (clock.elapsed() < 3000) {
        const qint64 now = clock.elapsed();
        // The flood keeps its pace however slowly this loop turns (under a
        // sanitizer, say): lines it fell behind on go out together.
        while (now >= nextFlood && flooder.sock.state() == QAbstractSocket::ConnectedState) {
            flooder.write(flood);
            nextFlood += 12;
        }
        if (now >= nextHonest) {
            for (int k = 0; k < 7; ++k)
                peers[size_t(k)]->write("CMD_chat+" + QByteArray::number(k + 2) + "+at " + QByteArray::number(now)
                        + " end|clBlack" + FF);
            nextHonest = now + 50;
        }
        QTest::qWait(2);
        // Every honest line's way through the host, read where it arrives.
        for (const QByteArray &msg : std::as_const(listener.messages)) {
            flooded += msg.startsWith("CMD_chat+9+");
            const qsizetype at = msg.indexOf(" chats: at ");
            if (at < 0)
                continue;
            ++received;
            worst = qMax(worst, clock.elapsed() - msg.mid(at + 11).split(' ').first().toLongLong());
        }
        listener.messages.clear();
        for (auto &p : peers)
            if (p.get() != &listener)
                p->messages.clear();
    }
    const qint64 took = clock.elapsed();
    qInfo("seven honest peers at 20 lines/s beside a smiley flood: %d lines relayed, worst %lld ms; %d of the "
          "flood's lines relayed, %d waiting",
            received, worst, flooded, server.queuedMessages());
    // The flood went at its pace: a burst, then MessageRate a second.
    QVERIFY2(flooded <= TServer::MaxQueued + TServer::MessageRate * (took / 1000 + 1),
            qPrintable(QString::number(flooded)));
    QVERIFY(flooded >= TServer::MessageRate);
    // What waits of it is bounded however long it goes on.
    QVERIFY(server.queuedMessages() <= TServer::ReadPause + TServer::ReadBuffer / 4000);
    for (int slot = 2; slot <= 8; ++slot)
        QVERIFY2(server.tplayers[slot].active, qPrintable(QString::number(slot)));
    QVERIFY(received > 7 * 20 * 2);
    QVERIFY(!kTimed || worst < 100);
}

QTEST_MAIN(TestHostLoad)
#include "tst_hostload.moc"
