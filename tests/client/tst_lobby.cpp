// Hosting and joining from inside the game: announcements on the local
// network, the list of games heard, and a join with one click.

#include "broker.h"
#include "clientfiles.h"
#include "internetplay.h"
#include "lobby.h"
#include "messages.h"
#include "recordingplayer.h"
#include "settings.h"
#include "tchat.h"
#include "tlobby.h"
#include "ui_tchat.h"
#include "tserver.h"
#include "usehost.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QNetworkInterface>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QUdpSocket>

// A copy about to start a solo game on its own host, with its dialog made.
struct SoloCopy {
    SoloCopy()
    {
        useHost(chat, server);
        chat.setSoundPlayer(&quiet); // the game's sounds stay out of the audio system
        chat.setPort(0);
        chat.setArguments({});
        chat.setLobby(&dialog);
    }
    ClientFiles files;
    std::unique_ptr<TServer> server = std::make_unique<TServer>();
    Tchat chat;
    Tlobby dialog;
    RecordingPlayer quiet;
};

// Clicks a row's Join button as a player does: pressed and released on it.
static bool clickJoin(Tlobby &dialog, const QString &key)
{
    const int row = dialog.games().rowOf(key);
    if (row < 0)
        return false;
    dialog.hostList()->scrollTo(dialog.games().index(row));
    const QRect button = dialog.joinButton(key);
    if (!dialog.hostList()->viewport()->rect().contains(button))
        return false;
    QTest::mouseClick(dialog.hostList()->viewport(), Qt::LeftButton, {}, button.center());
    return true;
}

static QString rowKey(Tlobby &dialog, int row)
{
    return dialog.games().row(row).key;
}

class TestLobby : public QObject {
    Q_OBJECT
private slots:
    void datagrams_data();
    void datagrams();
    void heardTwiceListedOnce();
    void talkersCannotKeepAHostOut();
    void hostAnnouncesAndOtherJoins();
    void joinByHand();
    void rowsWholeAndJoinTheirPort_data();
    void rowsWholeAndJoinTheirPort();
    void hintStaysUntilActedOn();
    void suggestedNames_data();
    void suggestedNames();
    void nameAskedOnceAndKept_data();
    void nameAskedOnceAndKept();
    void hostileNamesShownAsWritten_data();
    void hostileNamesShownAsWritten();
    void thisComputer();
    void hostingUnderANewName_data();
    void hostingUnderANewName();
    void joiningForgetsTheOldGame();
    void internetOnlyWhenAsked_data();
    void internetOnlyWhenAsked();
    void internetGameJoinedWithOneClick();
};

void TestLobby::datagrams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("port"); // the game's port read, 0 when refused
    const QByteArray v2 = "WORDMIRE-LOBBY 2\n";
    QTest::newRow("an announcement") << v2 + "2\n1\n7772\nAnn Lee" << 7772;
    QTest::newRow("another port") << v2 + "0\n0\n17772\nAnn" << 17772;
    QTest::newRow("the first version") << QByteArray("WORDMIRE-LOBBY 1\n2\n1\nAnn Lee") << 7772;
    QTest::newRow("first version with a port") << QByteArray("WORDMIRE-LOBBY 1\n2\n1\n7772\nAnn") << 0;
    QTest::newRow("no port") << v2 + "2\n1\nAnn" << 0;
    QTest::newRow("port 0") << v2 + "2\n1\n0\nAnn" << 0;
    QTest::newRow("port too big") << v2 + "2\n1\n65536\nAnn" << 0;
    QTest::newRow("signed port") << v2 + "2\n1\n+7772\nAnn" << 0;
    QTest::newRow("leading zero") << v2 + "2\n1\n07772\nAnn" << 0;
    QTest::newRow("other magic") << QByteArray("WORDMIRE-LOBBY 3\n2\n1\n7772\nAnn") << 0;
    QTest::newRow("five seats") << v2 + "5\n1\n7772\nAnn" << 0;
    QTest::newRow("running is 2") << v2 + "2\n2\n7772\nAnn" << 0;
    QTest::newRow("no name") << v2 + "2\n0\n7772\n" << 0;
    QTest::newRow("control in name") << v2 + "2\n0\n7772\nA\x01n" << 0;
    QTest::newRow("extra field") << v2 + "2\n0\n7772\nAnn\nx" << 0;
    QTest::newRow("name too long") << v2 + "2\n0\n7772\n" + QByteArray(25, 'a') << 0;
    QTest::newRow("oversized") << v2 + "2\n0\n7772\nAnn" + QByteArray(200, ' ') << 0;
    QTest::newRow("empty") << QByteArray() << 0;
}

void TestLobby::datagrams()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, port);
    const bool valid = port != 0;
    const auto a = lobby::decode(bytes);
    QCOMPARE(a.has_value(), valid);
    if (valid) {
        QCOMPARE(int(a->port), port);
        QCOMPARE(lobby::decode(lobby::encode(*a).value()), a);
        // Older copies are told only of games on the standard port.
        QCOMPARE(lobby::encodeFirstVersion(*a).has_value(), port == lobby::StandardGamePort);
    }

    // Sent to a listening dialog, only a valid one is listed; the dialog
    // keeps listening either way.
    Tlobby dialog;
    dialog.setListenPort(0);
    dialog.show();
    const quint16 listening = dialog.listener().port();
    QVERIFY(listening != 0);
    QUdpSocket out;
    out.writeDatagram(bytes, QHostAddress::LocalHost, listening);
    out.writeDatagram(QByteArray(4000, 'W'), QHostAddress::LocalHost, listening);
    if (valid) {
        QTRY_COMPARE(dialog.games().rowCount(), 1);
    } else {
        QTest::qWait(100);
        QCOMPARE(dialog.games().rowCount(), 0);
        out.writeDatagram("WORDMIRE-LOBBY 1\n0\n0\nZed", QHostAddress::LocalHost, listening);
        QTRY_COMPARE(dialog.games().rowCount(), 1);
    }
}

// One game heard by IPv6 and by IPv4 (and in both layouts) is listed once,
// by its IPv4 address.
void TestLobby::heardTwiceListedOnce()
{
    lobby::Listener listener;
    QVERIFY(listener.listen(0));
    if (!listener.hearsIPv6())
        QSKIP("this machine has no IPv6");
    const lobby::Announcement ann{"Ann", 1, false, 7772};
    QUdpSocket out;
    const struct {
        QByteArray bytes;
        QHostAddress to;
        QString listed; // the addresses listed after it, in order
    } steps[] = {
            {lobby::encode(ann).value(), QHostAddress::LocalHostIPv6, "::1"},
            {lobby::encode(ann).value(), QHostAddress::LocalHost, "127.0.0.1"},
            {lobby::encodeFirstVersion(ann).value(), QHostAddress::LocalHost, "127.0.0.1"},
            {lobby::encode(ann).value(), QHostAddress::LocalHostIPv6, "127.0.0.1"},
            // One game per address: the latest replaces the earlier.
            {lobby::encode({"Bo", 1, false, 7780}).value(), QHostAddress::LocalHost, "127.0.0.1"},
    };
    for (const auto &step : steps) {
        QVERIFY(out.writeDatagram(step.bytes, step.to, listener.port()) == step.bytes.size());
        auto listed = [&] {
            QStringList all;
            for (const auto &h : listener.hosts())
                all << h.address.toString();
            return all.join(' ');
        };
        QTRY_COMPARE(listed(), step.listed);
    }
}

// A full list of sources that keep talking (loopback addresses stand in for
// spoofed ones) still makes room for a real host, and the own game never
// takes a place.
void TestLobby::talkersCannotKeepAHostOut()
{
    lobby::Listener listener;
    listener.setIgnored([](const QHostAddress &, const lobby::Announcement &a) { return a.name == "Own"; });
    QVERIFY(listener.listen(0));
    auto say = [&](const QString &from, const QString &name) {
        QUdpSocket s;
        QVERIFY(s.bind(QHostAddress(from), 0));
        const QByteArray bytes = lobby::encode({name, 0, false, 7772}).value();
        QCOMPARE(s.writeDatagram(bytes, QHostAddress::LocalHost, listener.port()), qint64(bytes.size()));
    };
    auto listed = [&](const QString &name) {
        for (const auto &h : listener.hosts())
            if (h.announcement.name == name)
                return true;
        return false;
    };
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < lobby::Listener::MaxHosts; ++i)
            say(QStringLiteral("127.0.0.%1").arg(10 + i), QStringLiteral("Talker %1").arg(i));
    QTRY_COMPARE(listener.hosts().size(), lobby::Listener::MaxHosts);
    say("127.0.0.1", "Own");
    say("127.0.0.200", "Real");
    QTRY_VERIFY(listed("Real"));
    QVERIFY(!listed("Own"));
    QCOMPARE(listener.hosts().size(), lobby::Listener::MaxHosts);
}

void TestLobby::hostAnnouncesAndOtherJoins()
{
    // The hosting copy: a solo game whose user hosts it from the dialog.
    ClientFiles hostFiles;
    TServer server;
    Tchat host;
    Tlobby hostDialog;
    useHost(host, &server);
    RecordingPlayer quiet; // the game's sounds stay out of the audio system
    host.setSoundPlayer(&quiet);
    host.setPort(0);
    host.setArguments({});
    host.setLobby(&hostDialog);
    host.preferences().setLobby("Ann", std::nullopt); // the name given once
    host.show();
    QTRY_VERIFY(host.model().loggedin());

    // The other copy is looking.
    Tchat other;
    Tlobby looking;
    other.setLobby(&looking);
    looking.setListenPort(0);
    looking.listener().setExpiry(300);
    other.showLobby();
    QVERIFY(looking.isVisible());
    const quint16 lobbyPort = looking.listener().port(); // where the host announces
    host.announcer().setPort(lobbyPort);

    hostDialog.setName("Ann");
    hostDialog.hostButton()->click();
    QVERIFY(host.announcer().isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(looking.games().rowCount(), 1, 3000);
    const auto heard = looking.listener().hosts().first();
    QCOMPARE(heard.announcement, (lobby::Announcement{"Ann", 1, false, server.listeningPort()}));

    // The hosting copy's own dialog does not offer its own game.
    hostDialog.setListenPort(0);
    hostDialog.show();
    QUdpSocket out;
    for (const char *name : {"Ann", "Zed"})
        out.writeDatagram(*lobby::encode({name, 1, false}), QHostAddress::LocalHost, hostDialog.listener().port());
    QTRY_COMPARE(hostDialog.listener().hosts().size(), 1); // the own game takes no place
    QTRY_COMPARE(hostDialog.games().rowCount(), 1);
    out.writeDatagram(*lobby::encode({"Ann", 1, false}), QHostAddress::LocalHost, hostDialog.listener().port());
    QTest::qWait(100);
    QCOMPARE(hostDialog.listener().hosts().size(), 1);
    QCOMPARE(hostDialog.listener().hosts().first().announcement.name, QString("Zed"));
    QCOMPARE(hostDialog.games().rowCount(), 1);

    // One click on its Join button: this copy, in the same window, joins.
    looking.setName("Bo");
    QSignalSpy closed(&other, &Tchat::closed);
    const QString address = heard.address.toString() + ":" + QString::number(server.listeningPort());
    // The row comes and goes with the announcements (a short expiry here).
    QTRY_VERIFY_WITH_TIMEOUT(looking.games().rowOf(address) >= 0, 5000);
    QVERIFY(clickJoin(looking, address));
    QCOMPARE(closed.count(), 0);
    QCOMPARE(other.session().connectPort(), server.listeningPort());
    QTRY_VERIFY(other.model().loggedin());
    QTRY_COMPARE(host.model().seat(2).name, QString("Bo"));
    QTRY_COMPARE(other.model().seat(1).name, QString("Ann"));
    const auto stored = settings::read(SettingsFile(settings::besideExecutable(settings::FileName)).read());
    QCOMPARE(stored.lobbyname, QByteArray("Bo"));
    QCOMPARE(stored.lobbyaddress, address.toLatin1());
    other.close();

    // When the host ends, its announcements stop and it drops off the list.
    Tlobby still;
    still.setListenPort(lobbyPort); // the joining copy's dialog has closed
    still.listener().setExpiry(300);
    still.show();
    QTRY_COMPARE_WITH_TIMEOUT(still.games().rowCount(), 1, 5000);
    host.close();
    QVERIFY(!host.announcer().isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(still.games().rowCount(), 0, 3000);
}

void TestLobby::joinByHand()
{
    ClientFiles files;
    Tchat chat;
    Tlobby dialog;
    chat.setLobby(&dialog);
    dialog.setListenPort(0);
    QStringList shown;
    ui::setMessageSink([&](const QString &t) { shown << t; });
    ui::setQuestionSink([](const QString &) { return false; }); // no second try
    const struct {
        const char *name;
        const char *address;
        bool joins;
    } cases[] = {{"", "10.0.0.2", false}, {"Bo", "", false}, {"Bo", "a b", false}, {"Bo", "host.lan:80", false},
            {"Bo", "host.lan:99999", false}, {"Bo", "host.lan:", false}, {"Bo", "[::1]:8000", true},
            {"Bo", "fe80::1", true}, {"Bo", "host.lan", true}};
    for (const auto &c : cases) {
        chat.showLobby();
        dialog.setName(c.name);
        dialog.setAddress(c.address);
        const QString before = chat.session().connectAddress();
        dialog.joinButton()->click();
        QCOMPARE(chat.session().connectAddress() != before, c.joins);
        if (!c.joins)
            QVERIFY(!dialog.statusLabel()->text().isEmpty());
    }
    QCOMPARE(chat.session().connectAddress(), QString("host.lan"));
    QCOMPARE(chat.session().connectPort(), wire::GamePort);
    ui::setMessageSink(nullptr);
    ui::setQuestionSink(nullptr);
    // The dialog refuses the field separator in a name.
    dialog.setName("");
    QTest::keyClicks(dialog.findChild<QLineEdit *>(), "A+b");
    QCOMPARE(dialog.name(), QString("Ab"));
}

// A game of the longest name still shows its Join button inside the list.
void TestLobby::rowsWholeAndJoinTheirPort_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("joins"); // empty: not offered
    QTest::newRow("usual port") << 7772 << "127.0.0.1";
    QTest::newRow("another port") << 8000 << "127.0.0.1:8000";
    QTest::newRow("highest port") << 65535 << "127.0.0.1:65535";
    QTest::newRow("a system port") << 80 << "";
}

// A game of the longest name shows whole, with its Join button inside the
// list, and Join goes to the port it listens on.
void TestLobby::rowsWholeAndJoinTheirPort()
{
    QFETCH(int, port);
    QFETCH(QString, joins);
    Tlobby dialog;
    dialog.setListenPort(0);
    dialog.setName("Bo");
    dialog.show();
    QSignalSpy asked(&dialog, &Tlobby::joinRequested);
    const QString name = QString(lobby::MaxNameLength, QLatin1Char('W'));
    QUdpSocket out;
    out.writeDatagram(
            *lobby::encode({name, 3, true, quint16(port)}), QHostAddress::LocalHost, dialog.listener().port());
    QTRY_COMPARE(dialog.listener().hosts().size(), 1);
    QTRY_COMPARE(dialog.games().rowCount(), joins.isEmpty() ? 0 : 1);
    if (joins.isEmpty())
        return;
    QWidget *view = dialog.hostList()->viewport();
    const QString key = rowKey(dialog, 0);
    const QRect join = dialog.joinButton(key);
    QVERIFY2(view->rect().contains(join),
            qPrintable(QStringLiteral("%1 wide list, button at %2").arg(view->width()).arg(join.x())));
    const QString text = dialog.games().row(0).text();
    QVERIFY(text.contains(", game running"));
    QCOMPARE(text.contains(" port " + QString::number(port)), port != 7772);
    const QRect row = dialog.hostList()->visualRect(dialog.games().index(0));
    const QRect lines = GameDelegate::textRect(row, dialog.hostList());
    for (const QString &line : text.split('\n'))
        QVERIFY2(view->fontMetrics().horizontalAdvance(line) <= lines.width(),
                qPrintable(QStringLiteral("\"%1\" is cut at %2 pixels").arg(line).arg(lines.width())));
    QVERIFY(view->fontMetrics().lineSpacing() * 3 <= lines.height());
    QVERIFY(clickJoin(dialog, key));
    QCOMPARE(asked.count(), 1);
    QCOMPARE(asked.first().at(1).toString(), joins);
    // From the keyboard: the row chosen, Return joins it too.
    dialog.hostList()->setFocus();
    dialog.hostList()->setCurrentIndex(dialog.games().index(0));
    QTest::keyClick(dialog.hostList(), Qt::Key_Return);
    QCOMPARE(asked.count(), 2);
    QCOMPARE(asked.last().at(1).toString(), joins);
}

// "Type your name first." stays while games come and go, until the player
// types.
void TestLobby::hintStaysUntilActedOn()
{
    Tlobby dialog;
    dialog.setListenPort(0);
    dialog.show();
    auto *name = dialog.findChild<QLineEdit *>("player_name");
    QVERIFY(name);
    name->clear();
    QUdpSocket out;
    out.writeDatagram(*lobby::encode({"Ann", 1, false, 7772}), QHostAddress::LocalHost, dialog.listener().port());
    QTRY_COMPARE(dialog.games().rowCount(), 1);
    auto *status = dialog.findChild<QLabel *>("join_status");
    QVERIFY(status);
    QVERIFY(clickJoin(dialog, rowKey(dialog, 0)));
    QCOMPARE(status->text(), QString("Type your name first."));
    out.writeDatagram(*lobby::encode({"Bo", 2, true, 7772}), QHostAddress::LocalHost, dialog.listener().port());
    QTRY_VERIFY(dialog.games().rowCount() == 1 && dialog.games().row(0).name == "Bo");
    QCOMPARE(status->text(), QString("Type your name first."));
    QTest::keyClicks(name, "Cy");
    QVERIFY(status->text().isEmpty());
}

void TestLobby::suggestedNames_data()
{
    QTest::addColumn<QString>("fullName");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("offered");
    QTest::newRow("full name") << "Ann Smith"
                               << "asmith"
                               << "Ann Smith";
    QTest::newRow("login when no full name") << ""
                                             << "bo"
                                             << "Bo";
    QTest::newRow("a field separator goes") << "Cy+Di"
                                            << ""
                                            << "CyDi";
    QTest::newRow("not Latin-1 goes") << QString::fromUtf8("Zoë Łukasz") << "" << QString::fromUtf8("Zoë ukasz");
    QTest::newRow("nothing printable: the login") << QString::fromUtf8("李") << "li"
                                                  << "Li";
    QTest::newRow("long names cut, no space left at the end") << "Bartholomew Christopher Montgomery"
                                                              << ""
                                                              << "Bartholomew Christopher";
    QTest::newRow("nothing at all") << ""
                                    << ""
                                    << "";
}

void TestLobby::suggestedNames()
{
    QFETCH(QString, fullName);
    QFETCH(QString, login);
    QFETCH(QString, offered);
    QCOMPARE(lobby::suggestedName(fullName, login), offered);
    QVERIFY(offered.isEmpty() || lobby::printableName(offered));
}

void TestLobby::nameAskedOnceAndKept_data()
{
    QTest::addColumn<QString>("typed"); // empty: the question is cancelled
    QTest::addColumn<bool>("offeredKept");
    QTest::newRow("a name typed") << "Zed" << false;
    QTest::newRow("cancelled: the offered name") << "" << true;
}

// The first solo start asks for the name and plays under it; the next start
// asks nothing. A name typed in the Host or Join dialog and the dialog
// closed is kept too.
void TestLobby::nameAskedOnceAndKept()
{
    QFETCH(QString, typed);
    QFETCH(bool, offeredKept);
    qputenv("USER", "tester");
    ClientFiles files;
    QString played, offered;
    for (int start = 0; start < 2; ++start) {
        TServer server;
        Tchat chat;
        useHost(chat, &server);
        chat.setPort(0);
        chat.setArguments({});
        chat.setAskName(true);
        chat.show();
        QInputDialog *asked = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QInputDialog *>(w); d && d->isVisible())
                asked = d;
        QCOMPARE(asked != nullptr, start == 0);
        if (asked)
            offered = asked->textValue();
        if (asked && typed.isEmpty()) {
            asked->reject();
        } else if (asked) {
            auto *edit = asked->findChild<QLineEdit *>();
            edit->selectAll();
            QTest::keyClicks(edit, typed + "+");
            QTest::keyClick(edit, Qt::Key_Return);
        }
        QTRY_VERIFY(chat.model().loggedin());
        QTRY_VERIFY(!server.tplayers[1].name.isEmpty());
        const QString name = QString::fromLatin1(server.tplayers[1].name);
        if (start == 0)
            played = name;
        QCOMPARE(name, played); // the second start plays under the first's name
    }
    // Offered: the computer's name for its user (the full name, else the login).
    QVERIFY(lobby::printableName(offered));
    QCOMPARE(played, offeredKept ? offered : typed);

    TServer server;
    Tchat chat;
    Tlobby dialog;
    useHost(chat, &server);
    chat.setPort(0);
    chat.setArguments({});
    chat.setLobby(&dialog);
    chat.show();
    chat.showLobby();
    auto *name = dialog.findChild<QLineEdit *>("player_name");
    QCOMPARE(name->text(), played);
    name->setText("Quill");
    dialog.close();
    QCOMPARE(chat.preferences().values().lobbyname, QByteArray("Quill"));
}

void TestLobby::hostileNamesShownAsWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("bold") << "<b>BOLD</b>";
    QTest::newRow("a picture from the disk") << "<img src=/tmp/x.png>";
    // Read as rich text, this one grew the window to gigabytes and crashed it.
    QTest::newRow("endless picture") << "<img src=/dev/zero>";
}

// A name from another copy, in a lobby row (hovered for its tooltip) and in
// the game's window, shows as written: never as markup.
void TestLobby::hostileNamesShownAsWritten()
{
    QFETCH(QString, name);
    Tlobby dialog;
    dialog.setListenPort(0);
    dialog.show();
    QUdpSocket out;
    out.writeDatagram(*lobby::encode({name, 1, false, 7772}), QHostAddress::LocalHost, dialog.listener().port());
    QTRY_COMPARE(dialog.games().rowCount(), 1);
    QWidget *view = dialog.hostList()->viewport();
    const QPoint at = dialog.hostList()->visualRect(dialog.games().index(0)).topLeft() + QPoint(4, 4);
    QHelpEvent hover(QEvent::ToolTip, at, view->mapToGlobal(at));
    QApplication::sendEvent(view, &hover);
    QTRY_VERIFY(QToolTip::isVisible());
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    QVERIFY2(shown.toPlainText().contains(name), qPrintable(QToolTip::text()));
    QToolTip::hideText();

    // Every label of the window that shows the name shows it as written.
    ClientFiles files;
    Tchat chat;
    const QByteArray n = name.toLatin1();
    for (const QByteArray &message : {QByteArray("CMD_sendlogininfo+1"), QByteArray("CMD_newplayerinfo+1+Ann+0"),
                 "CMD_newplayerinfo+2+" + n + "+0", QByteArray("CMD_startgame+Ann+500+60+f+1+"),
                 QByteArray("CMD_nextplayer+2+1+"), "CMD_winner+" + n})
        chat.model().receive(message);
    QTRY_COMPARE(chat.model().seat(2).name, name);
    QTRY_VERIFY(!chat.model().gameRunning());
    int showing = 0;
    for (QLabel *l : chat.findChildren<QLabel *>()) {
        if (!l->text().contains(name))
            continue;
        ++showing;
        QVERIFY2(l->textFormat() == Qt::PlainText
                        || (l->textFormat() == Qt::AutoText && !Qt::mightBeRichText(l->text())),
                qPrintable(l->objectName() + ": " + l->text()));
    }
    QVERIFY(showing >= 1);
}

// This copy's own announcements come back from every address it has,
// IPv6 link-local ones with their interface's scope; none is another game.
void TestLobby::thisComputer()
{
    const struct {
        QHostAddress address;
        bool ours;
    } fixed[] = {{QHostAddress("127.0.0.1"), true}, {QHostAddress("::1"), true}, {QHostAddress("192.0.2.1"), false},
            {QHostAddress("fe80::dead:beef:1%lo"), false}};
    for (const auto &c : fixed)
        QCOMPARE(lobby::isThisComputer(c.address), c.ours);
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry &e : i.addressEntries()) {
            QHostAddress scoped = e.ip();
            if (scoped.isLinkLocal())
                scoped.setScopeId(i.name());
            QVERIFY2(lobby::isThisComputer(scoped), qPrintable(scoped.toString()));
        }
}

// "Host a Game Here" under a name other than the login's opens the game
// again under it, in the same window, unless a game runs: then the name
// waits for the next time.
void TestLobby::hostingUnderANewName_data()
{
    QTest::addColumn<bool>("game");
    QTest::newRow("no game: hosts again as Ann") << false;
    QTest::newRow("a game runs: stays") << true;
}

void TestLobby::hostingUnderANewName()
{
    QFETCH(bool, game);
    SoloCopy copy;
    Tchat &host = copy.chat;
    Tlobby &dialog = copy.dialog;
    QSignalSpy closed(&host, &Tchat::closed);
    host.show();
    QTRY_VERIFY(host.model().loggedin());
    if (game) {
        host.model().startGame({"You", 110, 70, "f", 1});
        QTRY_VERIFY(host.model().gameRunning());
    }
    dialog.setName("Ann");
    dialog.hostButton()->click();
    QCOMPARE(closed.count(), 0);
    QTRY_COMPARE(host.model().seat(1).name, game ? QString("You") : QString("Ann"));
    QVERIFY(host.model().ishost());
    QCOMPARE(host.preferences().values().lobbyname, QByteArray("Ann"));
    if (game)
        QVERIFY(host.form()->mainchat->toPlainText().contains("the name Ann takes effect when you host again"));
}

// Nothing goes to a router or a lobby server unless the user hosts, or opens
// the dialog with a server set.
void TestLobby::internetOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("action"); // solo, dialog, host
    QTest::addColumn<bool>("lobby"); // the lobby connection opened
    QTest::newRow("solo") << false << "solo" << false;
    QTest::newRow("solo, a server set") << true << "solo" << false;
    QTest::newRow("dialog, no server") << false << "dialog" << false;
    QTest::newRow("dialog, a server set") << true << "dialog" << true;
    QTest::newRow("hosting, no server") << false << "host" << false;
    QTest::newRow("hosting, a server set") << true << "host" << true;
}

void TestLobby::internetOnlyWhenAsked()
{
    QFETCH(bool, server);
    QFETCH(QString, action);
    QFETCH(bool, lobby);
    SoloCopy copy;
    Tchat &chat = copy.chat;
    Tlobby &dialog = copy.dialog;
    dialog.setListenPort(0);
    chat.preferences().setLobby("Ann", std::nullopt);
    chat.preferences().setOpenRouterPort(false);
    if (server)
        chat.preferences().setLobbyServer("127.0.0.1:1");
    chat.show();
    QTRY_VERIFY(chat.model().loggedin());
    InternetPlay &internet = chat.session().internetPlay();
    if (action != QLatin1String("solo"))
        chat.showLobby();
    if (action == QLatin1String("host"))
        dialog.hostButton()->click();
    QCOMPARE(internet.internet().state() != lobby::InternetLobby::State::Closed, lobby);
    QCOMPARE(internet.hosting(), action == QLatin1String("host"));
    // The router is asked only when hosting with the setting on.
    QCOMPARE(internet.mapper().state(), lobby::PortMapper::State::Off);
    if (action == QLatin1String("host")) {
        // With a lobby the game is listed anyway, whatever the router does.
        QVERIFY(dialog.routerLabel()->text().contains(
                server ? "Listing your game in the internet lobby" : "not asked to open the port"));
        // Closing the dialog keeps the lobby while hosting; ending hosting ends it.
        dialog.hide();
        QCOMPARE(internet.internet().state() != lobby::InternetLobby::State::Closed, lobby);
    }
    chat.close();
    QCOMPARE(internet.internet().state(), lobby::InternetLobby::State::Closed);
}

// A game in the internet lobby is listed beside the local ones and joined
// with one click; the lobby chat goes both ways; the server typed in the
// dialog is kept in the settings.
void TestLobby::internetGameJoinedWithOneClick()
{
    Broker broker(true);
    QVERIFY(broker.reachable());
    lobby::InternetLobby remote;
    remote.open(broker.address());
    lobby::InternetGame zed;
    zed.name = QStringLiteral("Zed");
    zed.seatsTaken = 2;
    zed.address = QStringLiteral("81.2.69.9");
    remote.publishGame(zed);

    ClientFiles files;
    Tchat other;
    Tlobby looking;
    other.setLobby(&looking);
    looking.setListenPort(0);
    other.showLobby();
    looking.setName("Bo");
    auto *server = looking.findChild<QLineEdit *>("lobby_server");
    server->setFocus();
    QTest::keyClicks(server, broker.address());
    QTest::keyClick(server, Qt::Key_Return);
    QCOMPARE(other.preferences().values().lobbyserver, broker.address().toLatin1());
    QTRY_COMPARE_WITH_TIMEOUT(looking.games().rowCount(), 1, 2000);
    QVERIFY(looking.games().index(0).data(GameList::InternetRole).toBool());

    QSignalSpy heard(&remote.model(), &lobby::LobbyModel::chatLine);
    QTRY_VERIFY(looking.lobbySay()->isEnabled());
    QTest::keyClicks(looking.lobbySay(), "hello Zed");
    QTest::keyClick(looking.lobbySay(), Qt::Key_Return);
    QTRY_COMPARE(heard.size(), 1);
    // Return said the line and did nothing else (no join with no address).
    QVERIFY2(!looking.statusLabel()->text().contains("address"), qPrintable(looking.statusLabel()->text()));
    QCOMPARE(heard.at(0).at(0).value<lobby::LobbyLine>().name, QString("Bo"));
    QVERIFY(remote.say("Zed", "hi Bo"));
    QTRY_VERIFY(looking.lobbyChat()->toPlainText().contains("Zed: hi Bo"));
    QVERIFY(looking.lobbyChat()->toPlainText().contains("Bo: hello Zed"));

    // The row says in a word how the game is reached.
    QVERIFY(looking.games().row(0).text().endsWith("81.2.69.9 (internet, router)"));
    ui::setQuestionSink([](const QString &) { return false; }); // the address leads nowhere here
    QVERIFY(clickJoin(looking, remote.clientId()));
    // The window connects to a port of this computer's own, which carries
    // the game to the address listed (or through the lobby, failing that).
    QCOMPARE(other.session().connectAddress(), QString("127.0.0.1"));
    QVERIFY(other.session().connectPort() != wire::GamePort);
    // A host that leaves drops off the list.
    remote.close();
    QTRY_COMPARE(looking.games().rowCount(), 0);
    ui::setQuestionSink(nullptr);
}

// Joining another game from a running one: the window leaves its game (its
// own host says goodbye and stops), and shows only what the new host says.
void TestLobby::joiningForgetsTheOldGame()
{
    SoloCopy copy;
    Tchat &chat = copy.chat;
    chat.show();
    QTRY_VERIFY(chat.model().loggedin());
    chat.model().startGame({"You", 110, 70, "f", 1});
    QTRY_VERIFY(chat.model().gameRunning());
    QTRY_VERIFY(chat.model().board().letters[3][3] != 0);
    QTRY_VERIFY(chat.form()->label_score2->isVisible());
    TServer *oldHost = copy.server.get();

    TServer other; // a host with nobody in it yet, and no game
    QVERIFY(other.listen(0));
    ui::setQuestionSink([](const QString &) { return true; }); // yes, leave the running game
    QSignalSpy closed(&chat, &Tchat::closed);
    chat.session().joinFromLobby("Bo", "127.0.0.1:" + QString::number(other.listeningPort()));
    ui::setQuestionSink(nullptr);
    QCOMPARE(copy.server.get() == oldHost, false); // the old host went, with its game
    QCOMPARE(copy.server->listeningPort(), quint16(0));
    QVERIFY(!chat.model().ishost());
    QTRY_VERIFY(chat.model().loggedin());
    QTRY_COMPARE(chat.model().seat(1).name, QString("Bo"));
    QCOMPARE(closed.count(), 0);
    QVERIFY(!chat.model().gameRunning());
    QCOMPARE(chat.model().seat(2).name, ClientModel::Waiting);
    QCOMPARE(chat.model().board().letters[3][3], 0);
    QVERIFY(!chat.form()->label_score2->isVisible());
    QCOMPARE(chat.form()->label_playername2->text(), ClientModel::Waiting);
    QVERIFY(!chat.form()->button_start->isVisible());
}

QTEST_MAIN(TestLobby)
#include "tst_lobby.moc"
