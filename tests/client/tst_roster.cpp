#include "usehost.h"
#include "hostharness.h"
#include "decodedas.h"
#include "messages.h"
#include "tabout.h"
#include "tchat.h"
#include "clientfiles.h"
#include "roster.h"
#include "tspylist.h"
#include "ui_tchat.h"
#include "ui_tspylist.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

// One copy of the program's client side joined to the shared test host.
struct ClientCopy {
    ClientCopy(const QStringList &args, quint16 port, TServer *server = nullptr)
    {
        chat.setAbout(&about);
        useHost(chat, server);
        chat.setSpylist(&spylist);
        chat.setArguments(args);
        chat.setPort(port);
        chat.show();
    }
    QStringList lines() const
    {
        QStringList out = chat.form()->mainchat->toPlainText().split('\n');
        for (QString &l : out)
            l = l.trimmed();
        return out;
    }
    QString seat(int n) const { return chat.seats().seatLabel("label_playername", n)->text(); }
    Tabout about;
    Tspylist spylist;
    Tchat chat;
};

class TestRoster : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void spectatorJoins();
    void seatsLeft();
    void watching();
    void spectatorCannotWatch();
    void popupItems();
    void watcherListKick();
    void spectatorLeaves_data();
    void spectatorLeaves();
    void watcherListMadeLate();

private:
    ClientFiles workDir;
    std::unique_ptr<TServer> server;
    std::unique_ptr<ClientCopy> hostCopy;
    std::vector<std::unique_ptr<RawClient>> raws;
    QStringList shown;
};

void TestRoster::init()
{
    workDir.fresh();
    ui::setMessageSink([this](const QString &t) { shown << t; });
    server = std::make_unique<TServer>();
    server->setManualTimers(true);
    hostCopy = std::make_unique<ClientCopy>(QStringList{"Host", "x", "true"}, 0, server.get());
    QTRY_VERIFY(hostCopy->chat.model().loggedin());
    // Seats 2 to 4 are taken by bare peers.
    for (int slot = 2; slot <= 4; ++slot) {
        raws.push_back(std::make_unique<RawClient>(server->listeningPort()));
        RawClient *r = raws.back().get();
        QVERIFY(r->waitForMessages(1));
        r->write("CMD_logininfo+" + QByteArray::number(slot) + "+1.0.16+P" + QByteArray::number(slot) + FF + FF);
    }
    QTRY_COMPARE(hostCopy->seat(4), QString("P4"));
}

void TestRoster::cleanup()
{
    raws.clear();
    hostCopy.reset();
    server.reset();
    ui::setMessageSink(nullptr);
}

void TestRoster::spectatorJoins()
{
    ClientCopy ann({"Ann", "127.0.0.1", "false"}, server->listeningPort());
    QTRY_VERIFY(ann.lines().contains("You are spying."));
    QVERIFY(ann.lines().contains("You are Connected."));
    QVERIFY(ann.lines().contains("Host is Connected."));
    QCOMPARE(ann.seat(1), QString("Host"));
    QCOMPARE(ann.seat(3), QString("P3"));
    QCOMPARE(ann.chat.model().myslot(), 5);
    QTRY_COMPARE(hostCopy->spylist.spies(), QStringList{"5: Ann"});
    QCOMPARE(ann.spylist.spies(), QStringList{"5: Ann"});
    QVERIFY(hostCopy->lines().contains("Ann is spying."));
}

void TestRoster::seatsLeft()
{
    QSignalSpy sounds(&hostCopy->chat, &Tchat::soundRequested);
    raws[1]->sock.disconnectFromHost(); // seat 3
    QTRY_COMPARE(hostCopy->seat(3), QString("<Waiting>"));
    QVERIFY(hostCopy->lines().contains("P3 disconnected."));
    // A seat that never had a name says nothing when it goes.
    RawClient unnamed(server->listeningPort());
    QVERIFY(unnamed.waitForMessages(1));
    QCOMPARE(unnamed.take(), QByteArray("CMD_sendlogininfo+3"));
    const int before = int(hostCopy->lines().size());
    unnamed.sock.disconnectFromHost();
    settle(50);
    QCOMPARE(hostCopy->seat(3), QString("<Waiting>"));
    QCOMPARE(int(hostCopy->lines().size()), before);
    raws[0]->sock.disconnectFromHost(); // seat 2
    QTRY_COMPARE(hostCopy->seat(2), QString("Klot"));
    QVERIFY(hostCopy->lines().contains("P2 disconnected."));
    QCOMPARE(sounds.count(), 0); // joins play "entered", leaves do not
}

void TestRoster::watching()
{
    hostCopy->chat.model().send("CMD_startgame+Host+500+60+f+1+" + FF);
    QTRY_VERIFY(server->game().state().gameon);
    hostCopy->chat.form()->JustWatch1->trigger();
    QVERIFY(!hostCopy->chat.form()->JustWatch1->isChecked()); // not until the host says so
    QTRY_VERIFY(hostCopy->lines().contains("Host is just watching"));
    QVERIFY(hostCopy->chat.form()->JustWatch1->isChecked());
    QVERIFY(!hostCopy->chat.form()->image_eyes1->isHidden());
    hostCopy->chat.form()->JustWatch1->trigger();
    QTRY_VERIFY(hostCopy->lines().contains("Host is now playing again"));
    QVERIFY(!hostCopy->chat.form()->JustWatch1->isChecked());
    QVERIFY(hostCopy->chat.form()->image_eyes1->isHidden());
    // The host may switch another seat from its popup.
    hostCopy->chat.seats().preparePopup(hostCopy->chat.form()->label_playername3);
    hostCopy->chat.popups().SettoJustWatch1->trigger();
    QTRY_VERIFY(hostCopy->lines().contains("P3 is just watching"));
}

void TestRoster::spectatorCannotWatch()
{
    hostCopy->chat.model().send("CMD_startgame+Host+500+60+f+1+" + FF);
    QTRY_VERIFY(server->game().state().gameon);
    ClientCopy ann({"Ann", "127.0.0.1", "false"}, server->listeningPort());
    QTRY_VERIFY(ann.lines().contains("You are spying."));
    for (auto &r : raws)
        r->messages.clear();
    ann.chat.form()->JustWatch1->trigger();
    settle(150);
    for (auto &r : raws)
        for (const QByteArray &msg : r->messages)
            QVERIFY(!msg.startsWith("CMD_justwatching"));
}

void TestRoster::popupItems()
{
    ClientCopy ann({"Ann", "127.0.0.1", "false"}, server->listeningPort());
    QTRY_VERIFY(ann.chat.model().loggedin());
    ann.chat.seats().preparePopup(ann.chat.form()->label_playername1);
    QVERIFY(!ann.chat.popups().RemoveFromGame1->isEnabled());
    QVERIFY(!ann.chat.popups().SettoJustWatch1->isEnabled());
    QVERIFY(!ann.chat.popups().UnsetJustWatch1->isEnabled());
    QVERIFY(!ann.spylist.popup_kickhim->isEnabled());

    hostCopy->chat.seats().preparePopup(hostCopy->chat.form()->label_playername3);
    QVERIFY(hostCopy->chat.popups().RemoveFromGame1->isEnabled());
    QCOMPARE(hostCopy->chat.seats().popupTag(), 3);
    raws[1]->sock.disconnectFromHost();
    QTRY_COMPARE(hostCopy->seat(3), QString("<Waiting>"));
    hostCopy->chat.seats().preparePopup(hostCopy->chat.form()->label_playername3);
    QVERIFY(!hostCopy->chat.popups().RemoveFromGame1->isEnabled());
    QVERIFY(hostCopy->chat.popups().SettoJustWatch1->isEnabled());
    QVERIFY(hostCopy->spylist.popup_kickhim->isEnabled());
    // Remove From Game on a seat closes that user.
    hostCopy->chat.seats().preparePopup(hostCopy->chat.form()->label_playername4);
    hostCopy->chat.popups().RemoveFromGame1->trigger();
    QVERIFY(raws[2]->waitForClosed());
    // The program makes its list once the window has shown, hosting or not.
    {
        Tspylist late;
        hostCopy->chat.setSpylist(&late);
        QVERIFY(late.popup_kickhim->isEnabled());
    }
    hostCopy->chat.setSpylist(&hostCopy->spylist);
}

void TestRoster::watcherListKick()
{
    ClientCopy ann({"Ann", "127.0.0.1", "false"}, server->listeningPort());
    QSignalSpy annClosed(&ann.chat, &Tchat::closed);
    QTRY_COMPARE(hostCopy->spylist.spies(), QStringList{"5: Ann"});
    Tspylist &list = hostCopy->spylist;
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QWidget *viewport = list.form()->listbox_spys->viewport();
    auto moveTo = [viewport](QPoint p) {
        QMouseEvent move(QEvent::MouseMove, p, viewport->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    };
    // Over empty space: nothing.
    moveTo(QPoint(5, viewport->height() - 3));
    QCOMPARE(list.lineUnderPointer(), -1);
    list.popup_kickhim->trigger();
    settle(150);
    QCOMPARE(annClosed.count(), 0);
    // Over the line: that watcher goes, and leaves the list when the host says so.
    const QRect r = list.form()->listbox_spys->visualItemRect(list.form()->listbox_spys->item(0));
    moveTo(r.center());
    QCOMPARE(list.lineUnderPointer(), 0);
    list.popup_kickhim->trigger();
    QTRY_COMPARE(annClosed.count(), 1);
    QTRY_VERIFY(list.spies().isEmpty());
    QVERIFY(hostCopy->lines().contains("Ann has left."));
    // Ann is told before her window closes.
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].startsWith("The connection to the host has ended"));
}

// A spectator's leaving is matched by slot and by name, the name without
// regard to case; anything else leaves the list as it was.
void TestRoster::spectatorLeaves_data()
{
    QTest::addColumn<QByteArray>("leaving");
    QTest::addColumn<bool>("gone");
    QTest::newRow("same name") << QByteArray("6+Ann") << true;
    QTest::newRow("other case") << QByteArray("6+aNN") << true;
    QTest::newRow("other name") << QByteArray("6+Bo") << false;
    QTest::newRow("other slot") << QByteArray("7+Ann") << false;
}

void TestRoster::spectatorLeaves()
{
    QFETCH(QByteArray, leaving);
    QFETCH(bool, gone);
    Roster roster;
    QSignalSpy lines(&roster, &Roster::systemLine);
    QSignalSpy left(&roster, &Roster::playerLeft);
    roster.joined(decodedAs<wire::down::NewPlayer>("CMD_newplayerinfo+6+Ann+0").users, 1);
    const auto who = decodedAs<wire::down::PlayerDisconnected>("CMD_playerdisconnected+" + leaving);
    roster.left(who.slot, who.name);
    QCOMPARE(left.count(), gone ? 1 : 0);
    QCOMPARE(lines.last().first().toByteArray() == leaving.mid(2) + " has left.", gone);
}

// The list's widgets are made when it is first shown: whenever that is, it
// shows the watchers the host reported, in their order.
void TestRoster::watcherListMadeLate()
{
    const std::function<void(Tspylist &)> steps[] = {
            [](Tspylist &l) { l.addSpy("5: Ann"); },
            [](Tspylist &l) { l.addSpy("6: Bo"); },
            [](Tspylist &l) { QVERIFY(l.removeSpy("5: ANN")); },
            [](Tspylist &l) { QVERIFY(!l.removeSpy("8: Di")); },
            [](Tspylist &l) { l.addSpy("7: Cy"); },
    };
    for (int madeAt = 0; madeAt <= int(std::size(steps)); ++madeAt) {
        Tspylist list;
        for (int k = 0; k < int(std::size(steps)); ++k) {
            if (k == madeAt)
                list.form();
            steps[k](list);
        }
        list.show();
        QStringList shownLines;
        for (int i = 0; i < list.form()->listbox_spys->count(); ++i)
            shownLines << list.form()->listbox_spys->item(i)->text();
        QCOMPARE(shownLines, (QStringList{"6: Bo", "7: Cy"}));
        QCOMPARE(list.spies(), shownLines);
    }
}

QTEST_MAIN(TestRoster)
#include "tst_roster.moc"
