// The real program played as a person plays it: a hosting copy in a network
// namespace of the test's own (port 7772 is fixed), its window on a real X
// server with a window manager, driven by xdotool clicks and keys. A
// watcher logged in over TCP sees what the window sent through the host:
// picks, take-backs, words, slides, and whether the window is still there.

#include "broker.h"
#include "fieldreader.h"
#include "internetlobby.h"
#include "message.h"
#include "rawclient.h"
#include "solver.h"
#include "tallyfile.h"
#include "tempworkdir.h"
#include "tserver.h"
#include "tdictn.h"
#include "wiremessages.h"
#include "decodedas.h"
#include "xsession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <mosquitto.h>

#include <sched.h>
#include <unistd.h>

#include <cmath>
#include <memory>

namespace msg = wire::msg;

namespace {
bool g_ownNetwork = false;
const QByteArray FF(1, char(0xFF));

// The game's panel as designed, and where its parts lie in it; above it the
// menu bar (Arial's metrics, as fonts-liberation gives them). A click lands
// well inside its target even a few pixels off.
constexpr int PanelWidth = 777, PanelHeight = 530;
constexpr int MenuBar = 20;
// The launcher's window, as xdotool searches for it by title.
const QString LauncherTitle = QStringLiteral("^Download The Corvel Gatehouse$");
QPoint cellCentre(QPoint cell)
{
    return {25 + 56 * cell.x() + 28, 115 + 56 * cell.y() + 28};
}
QPoint stripCentre(int k)
{
    return {26 + 56 * (k - 1) + 28, 4 + 28};
}
// Polls a look at the screen until it holds or the time (on the clock, not
// counting the look itself, which runs X tools) has passed.
bool within(int ms, const std::function<bool()> &holds)
{
    QElapsedTimer t;
    t.start();
    while (!holds()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(100);
    }
    return true;
}

// Waits, within the time, until the process has used under a tenth of a
// processor over a second: whatever it was busy with (a lobby's list being
// built, say) is done, as a player would see by its stillness.
bool settles(qint64 pid, int ms)
{
    const auto cpuTicks = [pid] {
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            return qint64(-1);
        const QByteArray stat = f.readAll();
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        return fields.value(11).toLongLong() + fields.value(12).toLongLong(); // utime, stime
    };
    QElapsedTimer t;
    t.start();
    qint64 before = cpuTicks();
    while (t.elapsed() < ms) {
        QTest::qWait(1000);
        const qint64 now = cpuTicks();
        if (now >= 0 && now - before <= sysconf(_SC_CLK_TCK) / 10)
            return true;
        before = now;
    }
    return false;
}

QPoint arrowCentre(int d)
{
    static const QPoint centres[] = {{}, {223, 100}, {430, 288}, {223, 518}, {13, 288}};
    return centres[d];
}
} // namespace

class TestPlaythrough : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void clicksAtEverySize_data();
    void clicksAtEverySize();
    void heldKeysKeepThePlayer_data();
    void heldKeysKeepThePlayer();
    void deadLinkNoticedSeatKept();
    void damagedTallyToldOnTop();
    void firstStartAsksTheName();
    void joinsAnotherGameInTheSameWindow();
    void busyLobbyAtEverySize_data();
    void busyLobbyAtEverySize();

private:
    // Starts a copy of the program (behind a command such as nsenter).
    // A tally file to find beside it, when given; settings that name the
    // player unless told (a first start asks the name).
    void launch(const QStringList &before, const QStringList &arguments, const QByteArray &tallyFile = {},
            bool named = true, const QByteArray &settings = {});
    // Another start of the same copy, in its own folder.
    void relaunch();
    // Starts a hosting copy of its own, the watcher, and a game; returns once
    // it is the window's turn.
    void startGame();
    void waitForMyTurn();
    // Reads what the host relayed to the watcher so far.
    void drain();
    // The screen point of a point of the panel, as the window now lays it out.
    QPoint onScreen(QPoint panelPoint);
    void click(QPoint panelPoint, int button = 1);
    void key(const QStringList &keys);
    // The first relayed message of this command that satisfies `match`
    // (removed from the record), within the time.
    QByteArray await(const char *command, const std::function<bool(const QByteArray &)> &match, int ms = 10000);
    bool windowLeft() const;

    XSession x;
    std::unique_ptr<QTemporaryDir> own;
    std::unique_ptr<QProcess> game;
    std::unique_ptr<RawClient> watcher;
    QString window;
    QList<QPair<QByteArray, QByteArray>> heard; // command, data
    rules::Board board{};
    int current = 0;
};

void TestPlaythrough::initTestCase()
{
    if (!g_ownNetwork)
        QSKIP("needs root, to give the game's fixed port a network namespace of its own");
    const QString failed = x.start();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

void TestPlaythrough::init()
{
    heard.clear();
    current = 0;
}

void TestPlaythrough::cleanup()
{
    watcher.reset();
    if (game && game->state() != QProcess::NotRunning) {
        game->kill();
        game->waitForFinished(5000);
    }
    game.reset();
    own.reset();
}

void TestPlaythrough::drain()
{
    for (const QByteArray &m : std::as_const(watcher->messages)) {
        const wire::SplitMessage s = wire::splitMessage(m);
        if (s.command == wire::cmd::theboard)
            for (const auto &[bx, by, letter] : decodedAs<wire::down::TheBoard>(m).squares)
                if (rules::onBoard(bx, by))
                    board[size_t(bx)][size_t(by)] = letter;
        if (s.command == wire::cmd::nextplayer)
            current = decodedAs<wire::down::NextPlayer>(m).seat;
        if (s.command == wire::cmd::madeword)
            current = 0;
        heard.append({s.command, s.data});
    }
    watcher->messages.clear();
}

bool TestPlaythrough::windowLeft() const
{
    for (const auto &[command, data] : heard)
        if (command == wire::cmd::playerdisconnected && data.startsWith("1+"))
            return true;
    return game->state() == QProcess::NotRunning || watcher->sock.state() != QAbstractSocket::ConnectedState;
}

QByteArray TestPlaythrough::await(const char *command, const std::function<bool(const QByteArray &)> &match, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        drain();
        for (qsizetype i = 0; i < heard.size(); ++i)
            if (heard[i].first == command && match(heard[i].second))
                return heard.takeAt(i).second;
        QTest::qWait(20);
    }
    return {};
}

void TestPlaythrough::launch(const QStringList &before, const QStringList &arguments, const QByteArray &tallyFile,
        bool named, const QByteArray &settings)
{
    // A copy of its own in a folder of its own: settings, guard and tally
    // stay there.
    own = std::make_unique<QTemporaryDir>();
    const QString exe = own->filePath("wordmire");
    QVERIFY(QFile::copy(QStringLiteral(WORDMIRE_EXE), exe));
    if (!tallyFile.isEmpty()) {
        QFile f(own->filePath(tally::FileName));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(tallyFile);
    }
    if (named) {
        QFile f(own->filePath("corvelgatehouse.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Wordmire]\r\nLobbyname=Solo\r\n" + settings);
    }
    game = std::make_unique<QProcess>();
    QProcessEnvironment env = x.environment();
    env.insert("HOME", own->path());
    env.insert("TMPDIR", own->path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    // Under the sanitizers: memory errors are reported as ever, but not the
    // caches the X, font and GL libraries of a real display keep to the end
    // (the offscreen tests check the program's own leaks).
    if (env.contains("ASAN_OPTIONS"))
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    game->setProcessEnvironment(env);
    game->setWorkingDirectory(own->path());
    game->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QStringList command = before + QStringList{exe} + arguments;
    game->start(command.first(), command.mid(1));
}

void TestPlaythrough::relaunch()
{
    game->terminate();
    QVERIFY(game->waitForFinished(10000));
    game->start();
}

void TestPlaythrough::startGame()
{
    launch({}, {"Ann", "x", "true"});
    QVERIFY(game->waitForStarted());
    QVERIFY(within(30000, [&] { return !(window = x.windows("^Word Mire$").value(0)).isEmpty(); }));
    // The window connects as it shows; the watcher comes after it.
    QTest::qWait(1500);
    watcher = std::make_unique<RawClient>(wire::GamePort);
    QVERIFY(watcher->connected());
    QVERIFY(watcher->waitForMessages(1, 5000));
    const int slot = decodedAs<wire::down::SendLogin>(watcher->take()).slot;
    QVERIFY2(slot >= 2, "the window must hold slot 1");
    watcher->write("CMD_logininfo+" + QByteArray::number(slot) + "+" + wire::ProtocolVersion + "+Spy" + FF + FF);
    // Ctrl+N opens the game's options, and its Start Game button starts it.
    x.run("xdotool", {"windowactivate", "--sync", window});
    key({"ctrl+n"});
    QString options;
    QVERIFY(within(15000, [&] { return !(options = x.windows("Game Start").value(0)).isEmpty(); }));
    x.run("xdotool", {"windowactivate", "--sync", options});
    QTest::qWait(300);
    x.run("xdotool", {"mousemove", "--window", options, "130", "201", "click", "1"});
    QVERIFY2(!await(wire::cmd::startgame, [](const QByteArray &) { return true; }).isNull(), "the game did not start");
    // Klot plays the watcher's seat.
    watcher->write(msg::justwatch(slot, true));
    QVERIFY(!await(wire::cmd::justwatching, [](const QByteArray &) { return true; }).isNull());
    waitForMyTurn();
}

void TestPlaythrough::waitForMyTurn()
{
    // Klot may have the first turn; it plays within seconds.
    QElapsedTimer t;
    t.start();
    while (current != 1 && t.elapsed() < 60000) {
        drain();
        QTest::qWait(50);
    }
    QCOMPARE(current, 1);
    x.run("xdotool", {"windowactivate", "--sync", window});
    QTest::qWait(300);
}

QPoint TestPlaythrough::onScreen(QPoint panelPoint)
{
    const QRect client = x.geometry(window);
    // The menu bar sits above the scaled panel's view.
    const QRect view(client.x(), client.y() + MenuBar, client.width(), client.height() - MenuBar);
    double scale = std::min(double(view.width()) / PanelWidth, double(view.height()) / PanelHeight);
    if (scale < 1.06)
        scale = 1.0;
    const QPointF origin(view.x() + std::max(0.0, (view.width() - PanelWidth * scale) / 2),
            view.y() + std::max(0.0, (view.height() - PanelHeight * scale) / 2));
    return (origin + QPointF(panelPoint) * scale).toPoint();
}

void TestPlaythrough::click(QPoint panelPoint, int button)
{
    const QPoint at = onScreen(panelPoint);
    x.run("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", QString::number(button)});
}

void TestPlaythrough::key(const QStringList &keys)
{
    x.run("xdotool", QStringList{"key", "--clearmodifiers"} + keys);
}

void TestPlaythrough::clicksAtEverySize_data()
{
    QTest::addColumn<QString>("size"); // "", a WIDTHxHEIGHT, or "full"
    QTest::newRow("designed size") << "";
    QTest::newRow("enlarged") << "1000x720";
    QTest::newRow("full screen") << "full";
}

// Left clicks pick and take back, a right click submits, an arrow slides; and
// the word made in the run's first game is in the tally it leaves.
void TestPlaythrough::clicksAtEverySize()
{
    QFETCH(QString, size);
    startGame();
    if (QTest::currentTestFailed())
        return;
    if (size == "full") {
        key({"F11"});
    } else if (!size.isEmpty()) {
        x.run("xdotool", {"windowsize", "--sync", window, size.section('x', 0, 0), size.section('x', 1, 1)});
    }
    QTest::qWait(800); // the window manager and the layout settle
    if (!size.isEmpty())
        QVERIFY2(x.geometry(window).width() >= 1000, qPrintable(size));

    // A pick, then its take-back by the strip.
    click(cellCentre({3, 3}));
    const QByteArray pick = await(wire::cmd::selectletter, [](const QByteArray &) { return true; });
    QVERIFY2(!pick.isNull(), "a left click on a tile picked nothing");
    QCOMPARE(decodedAs<wire::down::Pick>(wire::cmd::selectletter, pick).cell, QPoint(3, 3));
    click(stripCentre(1));
    QVERIFY2(!await(wire::cmd::clearletter, [](const QByteArray &) { return true; }).isNull(),
            "a click on the strip took nothing back");

    // The board's best word, clicked tile by tile and submitted by a right
    // click.
    const auto words = game::solveBoard(board, TDictn::builtInTree());
    QVERIFY(!words.empty());
    const game::FoundWord &word = words.front();
    for (const QPoint &cell : word.path)
        click(cellCentre(cell));
    click(cellCentre(word.path.back()), 3);
    const QByteArray made = await(wire::cmd::madeword, [](const QByteArray &d) { return d.startsWith("1+"); });
    QVERIFY2(!made.isNull(), "a right click submitted no word");
    QCOMPARE(decodedAs<wire::down::MadeWord>(wire::cmd::madeword, made).word, word.word);

    click(arrowCentre(3));
    const QByteArray moving = await(
            wire::cmd::moving, [](const QByteArray &) { return true; }, 15000);
    QVERIFY2(!moving.isNull(), "no slide");
    QCOMPARE(decodedAs<wire::down::Moving>(wire::cmd::moving, moving).direction, 3);
    QVERIFY(!windowLeft());

    // Ended as a desktop ends it: the first game's own word is counted.
    game->terminate();
    QVERIFY(game->waitForFinished(15000));
    const tally::Loaded kept = tally::load(own->filePath(tally::FileName));
    QVERIFY2(kept.error.isEmpty(), qPrintable(kept.error));
    QCOMPARE(kept.model.cell(0, 3), QString("1"));
    QCOMPARE(kept.model.cell(0, 5),
            QString::fromLatin1(decodedAs<wire::down::MadeWord>(wire::cmd::madeword, made).score));
}

void TestPlaythrough::heldKeysKeepThePlayer_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Tab held on a typed letter") << "tab";
    QTest::newRow("picks and take-backs as fast as they go") << "clicks";
}

// Nothing a person does at the keyboard or mouse gets their window cut off
// by the host as a flooder.
void TestPlaythrough::heldKeysKeepThePlayer()
{
    QFETCH(QString, how);
    startGame();
    if (QTest::currentTestFailed())
        return;
    if (how == "tab") {
        // A letter the board holds more than once, so Tab has paths to step
        // through.
        int count[27] = {};
        int letter = 0;
        for (const auto &column : board)
            for (int code : column)
                if (code >= 1 && code <= 26 && ++count[code] >= 2 && letter == 0)
                    letter = code;
        QVERIFY(letter != 0);
        key({QString(QChar('a' + letter - 1))});
        QVERIFY(!await(wire::cmd::selectletter, [](const QByteArray &) { return true; }).isNull());
        // Key repeat's pace: 150 Tabs 33 ms apart.
        x.run("xdotool", {"key", "--delay", "33", "--repeat", "150", "Tab"}, 30000);
    } else {
        QStringList steps;
        for (int i = 0; i < 150; ++i) {
            for (const QPoint at : {onScreen(cellCentre({i % 7, (i / 7) % 7})), onScreen(stripCentre(1))})
                steps << "mousemove" << QString::number(at.x()) << QString::number(at.y()) << "click"
                      << "1";
        }
        x.run("xdotool", steps, 60000);
    }
    // Everything the window sent has been handled, and it is still in the
    // game: a pick after the burst still reaches the others.
    QTest::qWait(3000);
    drain();
    QVERIFY2(!windowLeft(), "the host cut the window off");
    heard.clear();
    key({"Escape"});
    click(cellCentre({6, 6}));
    const QByteArray pick = await(wire::cmd::selectletter, [](const QByteArray &d) { return d.endsWith("+6+6+"); });
    QVERIFY2(!pick.isNull(), "the window's picks no longer reach the host");
    QVERIFY(!windowLeft());
}

// A joined player's network goes away without a word (the link goes down:
// no reset, nothing more arrives) while they type a chat line. Their window
// notices within about a minute and offers Reconnect; once the link is back
// the host gives the seat back to that window alone, and the line they
// typed meanwhile is said after all.
void TestPlaythrough::deadLinkNoticedSeatKept()
{
    // The player's own network namespace, joined to the host's by a veth pair.
    QProcess holder;
    holder.start("unshare", {"-n", "sleep", "600"});
    QVERIFY(holder.waitForStarted());
    const QString pid = QString::number(holder.processId());
    // Ready once it is in a namespace of its own ("net:[inode]" differs).
    const auto netOf = [](const QByteArray &process) {
        char link[64] = {};
        const ssize_t n = readlink("/proc/" + process + "/ns/net", link, sizeof link - 1);
        return n > 0 ? QByteArray(link, n) : QByteArray();
    };
    const QByteArray ownNet = netOf("self");
    QVERIFY(!ownNet.isEmpty());
    QTRY_VERIFY(!netOf(pid.toLatin1()).isEmpty() && netOf(pid.toLatin1()) != ownNet);
    const auto ip = [](const QStringList &args) { return QProcess::execute("ip", args); };
    const auto playerIp = [&pid](const QStringList &args) {
        return QProcess::execute("nsenter", QStringList{"-t", pid, "-n", "ip"} + args);
    };
    QCOMPARE(ip({"link", "add", "wmhost", "type", "veth", "peer", "name", "wmplayer", "netns", pid}), 0);
    QCOMPARE(ip({"addr", "add", "10.77.0.1/24", "dev", "wmhost"}), 0);
    QCOMPARE(ip({"link", "set", "wmhost", "up"}), 0);
    QCOMPARE(playerIp({"link", "set", "lo", "up"}), 0);
    QCOMPARE(playerIp({"addr", "add", "10.77.0.2/24", "dev", "wmplayer"}), 0);
    QCOMPARE(playerIp({"link", "set", "wmplayer", "up"}), 0);

    // The host here, Ann its hosting user, Bo the real program over there.
    TempWorkDir work;
    TServer host;
    host.setManualTimers(true);
    QVERIFY(host.listen(wire::GamePort));
    RawClient ann(wire::GamePort);
    QVERIFY(ann.waitForMessages(1));
    ann.messages.clear();
    ann.write("CMD_logininfo+1+" + QByteArray(wire::ProtocolVersion) + "+Ann" + FF + FF);
    launch({"nsenter", "-t", pid, "-n"}, {"Bo", "10.77.0.1", "false"});
    QTRY_VERIFY_WITH_TIMEOUT(host.tplayers[2].loggedin && host.tplayers[2].name == "Bo", 30000);
    QVERIFY(within(30000, [&] { return !(window = x.windows("^Word Mire$").value(0)).isEmpty(); }));
    ann.write("CMD_startgame+Ann+500+60+f+1+" + FF);
    QTRY_VERIFY(host.game().state().gameon);
    QTest::qWait(1000);

    QCOMPARE(playerIp({"link", "set", "wmplayer", "down"}), 0);
    x.run("xdotool", {"windowactivate", "--sync", window});
    click({592, 514}); // the chat entry line
    x.run("xdotool", {"type", "--delay", "20", "still here"});
    key({"Return"});
    // The Reconnect question is a window of its own.
    QString question;
    const auto asked = [&] {
        for (const QString &w : x.windows("^Word Mire$"))
            if (w != window)
                question = w;
        return !question.isEmpty();
    };
    QVERIFY2(within(100000, asked), "the window never noticed the link die");
    QCOMPARE(playerIp({"link", "set", "wmplayer", "up"}), 0);
    x.run("xdotool", {"windowactivate", "--sync", question});
    key({"Return"}); // "Reconnect"
    ann.messages.clear();
    QTRY_VERIFY_WITH_TIMEOUT(ann.messages.contains("CMD_chat+0+Bo is back in the game.|clNavy"), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(ann.messages.cbegin(), ann.messages.cend(),
                    [](const QByteArray &m) { return m.startsWith("CMD_chat+2+Bo chats: still here|"); }),
            10000);
    for (int slot = 3; slot <= TServer::MaxUsers; ++slot)
        QVERIFY(!host.tplayers[slot].active);
    game->kill();
    game->waitForFinished(5000);
    holder.kill();
    holder.waitForFinished(3000);
}

// A solo start with a tally file that cannot be read: the box that says so
// comes up, and the launcher (which keeps itself on top) waits until it is
// answered, so the start never looks frozen behind a hidden box.
void TestPlaythrough::damagedTallyToldOnTop()
{
    launch({}, {}, QByteArray("not a tally at all"));
    const auto launcher = [&] { return x.windows(LauncherTitle).value(0); };
    QString box;
    const auto boxShown = [&] {
        for (const QString &w : x.windows("^Word Mire$"))
            if (x.geometry(w).width() < 700)
                box = w;
        return !box.isEmpty();
    };
    QVERIFY2(within(30000, boxShown), "no box");
    QTest::qWait(1500); // the launcher would be up by now
    QVERIFY2(launcher().isEmpty(), "the launcher came up over the box");
    x.run("xdotool", {"windowactivate", "--sync", box});
    key({"Return"});
    QVERIFY2(within(10000, [&] { return !launcher().isEmpty(); }), "no launcher once the box was answered");
}

// The very first start asks the player's name (offered from the computer's
// own), plays under it, and never asks again.
void TestPlaythrough::firstStartAsksTheName()
{
    launch({}, {}, {}, false);
    QString question;
    const auto asked = [&] {
        question.clear();
        for (const QString &w : x.windows("^Word Mire$"))
            if (x.geometry(w).width() < 700)
                question = w;
        return !question.isEmpty();
    };
    QVERIFY2(within(30000, asked), "no question for the name");
    // Nothing else is up meanwhile: the launcher waits for the name.
    QVERIFY(x.windows(LauncherTitle).isEmpty());
    x.run("xdotool", {"windowactivate", "--sync", question});
    QTest::qWait(300);
    key({"ctrl+a"});
    x.run("xdotool", {"type", "--delay", "40", "Zed+"});
    key({"Return"});
    QVERIFY(within(30000, [&] { return !x.windows(LauncherTitle).isEmpty(); }));
    const auto playsAs = [&](const QByteArray &name) {
        RawClient spy(wire::GamePort);
        if (!spy.connected() || !spy.waitForMessages(1, 5000))
            return false;
        const int slot = decodedAs<wire::down::SendLogin>(spy.take()).slot;
        spy.write("CMD_logininfo+" + QByteArray::number(slot) + "+" + wire::ProtocolVersion + "+Spy" + FF + FF);
        // The window is there before the spy, or comes after it (a slow start).
        return within(15000, [&] {
            spy.waitForMessages(1, 100);
            for (const QByteArray &m : spy.messages)
                if ((m.startsWith("CMD_existingplayers+") || m.startsWith("CMD_newplayerinfo+"))
                        && m.contains("+" + name + "+"))
                    return true;
            return false;
        });
    };
    QVERIFY2(playsAs("Zed"), "the solo game does not play under the typed name");
    relaunch();
    QVERIFY(within(30000, [&] { return !x.windows(LauncherTitle).isEmpty(); }));
    QVERIFY2(!asked(), "asked again");
    QVERIFY2(playsAs("Zed"), "the next start forgot the name");
}

// Joining another game from the Host or Join dialog, typed and entered as a
// player does: the same program and window play on at the other host, and
// its own host has said goodbye and freed the port.
void TestPlaythrough::joinsAnotherGameInTheSameWindow()
{
    TempWorkDir work; // the other host's word list goes here
    TServer other;
    QVERIFY(other.listen(0));
    launch({}, {"Ann", "x", "true"});
    QVERIFY(game->waitForStarted());
    QVERIFY(within(30000, [&] { return !(window = x.windows("^Word Mire$").value(0)).isEmpty(); }));
    QTest::qWait(1500);
    watcher = std::make_unique<RawClient>(wire::GamePort);
    QVERIFY(watcher->connected() && watcher->waitForMessages(1, 5000));
    const int slot = decodedAs<wire::down::SendLogin>(watcher->take()).slot;
    watcher->write("CMD_logininfo+" + QByteArray::number(slot) + "+" + wire::ProtocolVersion + "+Spy" + FF + FF);

    x.run("xdotool", {"windowactivate", "--sync", window});
    key({"alt+f"});
    QTest::qWait(500);
    key({"h"});
    QString dialog;
    QVERIFY(within(15000, [&] { return !(dialog = x.windows("Host or Join a Game").value(0)).isEmpty(); }));
    x.run("xdotool", {"windowactivate", "--sync", dialog});
    QTest::qWait(300);
    // Alt+A to the address, typed over, then Return.
    key({"alt+a"});
    key({"ctrl+a"});
    x.run("xdotool", {"type", "--delay", "20", "127.0.0.1:" + QString::number(other.listeningPort())});
    key({"Return"});

    QVERIFY2(within(15000, [&] { return other.tplayers[1].loggedin && other.tplayers[1].name == "Ann"; }),
            "the window did not join the other game");
    QCOMPARE(game->state(), QProcess::Running); // the same program, not a new one
    QCOMPARE(x.windows("^Word Mire$").value(0), window);
    QVERIFY(within(10000, [&] {
        watcher->waitForMessages(1, 100);
        return watcher->messages.contains("CMD_playerdisconnected+1+Ann");
    }));
    QVERIFY(watcher->waitForClosed());
    QTcpServer port;
    QVERIFY2(port.listen(QHostAddress::Any, wire::GamePort), "the old host still holds the game's port");
    // The dialog has done its part.
    QVERIFY(x.windows("Host or Join a Game").isEmpty());
}

void TestPlaythrough::busyLobbyAtEverySize_data()
{
    QTest::addColumn<QString>("size"); // "", a WIDTHxHEIGHT, or "full"
    QTest::newRow("designed size") << "";
    QTest::newRow("enlarged") << "900x740";
    QTest::newRow("maximised") << "full";
}

// A lobby of a thousand games: the player opens Host or Join a Game, types
// part of a name into the search, steps down the list at key repeat's pace
// and presses Return. Every step is taken, and the game joined is the one
// the steps came to: the window's program connects to that game's address.
void TestPlaythrough::busyLobbyAtEverySize()
{
    QFETCH(QString, size);
    Broker broker(false);
    QVERIFY2(broker.reachable(), qPrintable(broker.process.readAll()));
    // Every listed game's address is this namespace's own (any address of
    // 11.0.0.0/16 is local here), and whoever connects to one is seen at it.
    QProcess::execute("ip", {"route", "replace", "local", "11.0.0.0/16", "dev", "lo"});
    QTcpServer games;
    QVERIFY(games.listen(QHostAddress::AnyIPv4, 7800));
    QList<QHostAddress> dialled;
    connect(&games, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket *s = games.nextPendingConnection())
            dialled << s->localAddress();
    });
    constexpr int Games = 1000;
    const auto addressOf = [](int k) { return QStringLiteral("11.0.%1.%2").arg(k / 200).arg(k % 200 + 1); };
    mosquitto_lib_init();
    mosquitto *raw = mosquitto_new("busylobby", true, nullptr);
    QVERIFY(mosquitto_connect(raw, "127.0.0.1", broker.port, 30) == MOSQ_ERR_SUCCESS);
    QVERIFY(mosquitto_loop_start(raw) == MOSQ_ERR_SUCCESS);
    for (int k = 0; k < Games; ++k) {
        const lobby::Identity host = *lobby::Identity::fresh();
        lobby::InternetGame g;
        g.name = QStringLiteral("G%1").arg(k, 4, 10, QLatin1Char('0'));
        g.seatsTaken = 1 + k % 4;
        g.address = addressOf(k);
        g.port = 7800;
        const QByteArray topic = lobby::TopicRoot + "games/" + host.id().toLatin1();
        const QByteArray sealed = host.seal(topic, *lobby::encodeGame(g), QDateTime::currentMSecsSinceEpoch());
        mosquitto_publish(raw, nullptr, topic.constData(), int(sealed.size()), sealed.constData(), 1, true);
    }

    launch({}, {}, {}, true, "Lobbyserver=" + broker.address().toLatin1() + "\r\n");
    QVERIFY(game->waitForStarted());
    QVERIFY(within(30000, [&] { return !(window = x.windows("^Word Mire$").value(0)).isEmpty(); }));
    // The launcher comes up beside the solo game; the lobby, opened from the
    // menu, is the player's choice over it, and the launcher goes.
    QVERIFY(within(15000, [&] { return !x.windows(LauncherTitle).isEmpty(); }));
    x.run("xdotool", {"windowactivate", "--sync", window});
    QTest::qWait(300);
    key({"alt+f"});
    QTest::qWait(300);
    key({"h"});
    QString dialog;
    QVERIFY(within(15000, [&] { return !(dialog = x.windows("Host or Join a Game").value(0)).isEmpty(); }));
    QVERIFY2(within(5000, [&] { return x.windows(LauncherTitle).isEmpty(); }), "the launcher stayed up over the lobby");
    if (size == "full") {
        // A double click on the title bar maximises, as the window manager has it.
        const QRect before = x.geometry(dialog);
        x.run("xdotool",
                {"mousemove", QString::number(before.x() + 40), QString::number(before.y() - 8), "click", "--repeat",
                        "2", "--delay", "80", "1"});
    } else if (!size.isEmpty())
        x.run("xdotool", {"windowsize", "--sync", dialog, size.section('x', 0, 0), size.section('x', 1, 1)});
    QTest::qWait(800);
    const QRect at = x.geometry(dialog);
    if (!size.isEmpty())
        QVERIFY2(at.width() >= 900, qPrintable(size));
    // The player waits for the list to fill (slow under the sanitizers).
    QVERIFY2(settles(game->processId(), 120000), "the program never settled with the lobby open");

    // The search field sits under the Join heading, whatever the size.
    x.run("xdotool", {"mousemove", QString::number(at.x() + 60), QString::number(at.y() + 164), "click", "1"});
    x.run("xdotool", {"type", "--delay", "33", "g05"});
    key({"Tab"});
    // Key repeat's pace: the first row is current as the list takes the
    // keyboard, then 40 steps down.
    x.run("xdotool", {"key", "--delay", "33", "--repeat", "40", "Down"}, 30000);
    key({"Return"});
    QVERIFY2(within(15000, [&] { return !dialled.isEmpty(); }), "Return on the chosen game joined nothing");
    QCOMPARE(dialled.first().toString(), addressOf(540));
    mosquitto_disconnect(raw);
    mosquitto_loop_stop(raw, false);
    mosquitto_destroy(raw);
}

int main(int argc, char **argv)
{
    // Before any thread starts: the namespace is the whole process's, and the
    // program started from here inherits it.
    g_ownNetwork = geteuid() == 0 && unshare(CLONE_NEWNET) == 0;
    QCoreApplication app(argc, argv);
    if (g_ownNetwork)
        QProcess::execute(QStringLiteral("ip"),
                {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")});
    TestPlaythrough t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_playthrough.moc"
