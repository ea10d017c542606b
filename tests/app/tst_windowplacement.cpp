// Runs the real program on a real X server with a window manager: a main
// window that opens after a message box (the game's port taken) must have its
// whole frame, title bar included, on the screen.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "xsession.h"

class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void frameOnScreenAfterAMessageBox_data();
    void frameOnScreenAfterAMessageBox();

private:
    // Runs an X tool against the test's display; its output, trimmed.
    QString x(const QString &tool, const QStringList &args, int timeoutMs = 10000)
    {
        return xs.run(tool, args, timeoutMs);
    }
    XSession xs;
    QString display;
};

void TestWindowPlacement::initTestCase()
{
    const QString failed = xs.start();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    display = xs.display();
}

void TestWindowPlacement::frameOnScreenAfterAMessageBox_data()
{
    QTest::addColumn<bool>("holdPort");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("answer"); // the key that answers the box
    // The game's port held here (or by anything else on this machine):
    // either way the program says so before its window opens.
    QTest::newRow("port taken") << true << QStringList() << "Return";
    // Nothing listens on the port: "could not reach the host", try again? No.
    QTest::newRow("host unreachable") << false << QStringList{"Bob", "127.0.0.1", "false"} << "n";
}

void TestWindowPlacement::frameOnScreenAfterAMessageBox()
{
    QFETCH(bool, holdPort);
    QFETCH(QStringList, arguments);
    QFETCH(QString, answer);
    QTcpServer holder;
    if (holdPort) {
        holder.listen(QHostAddress::Any, 7772);
    } else {
        // Unreachable only while nothing here listens on the game's port.
        QTcpServer probe;
        if (!probe.listen(QHostAddress::Any, 7772))
            QSKIP("something on this machine listens on the game's port");
    }
    // A copy of its own in a folder of its own: settings, guard and tally
    // stay there.
    QTemporaryDir own;
    const QString exe = own.filePath("wordmire");
    QVERIFY(QFile::copy(QStringLiteral(WORDMIRE_EXE), exe));
    {
        // Named before: the first start's name prompt, a box of its own,
        // would otherwise follow the one this test is about.
        QFile f(own.filePath("corvelgatehouse.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Wordmire]\r\nLobbyname=Bob\r\n");
    }
    QProcess game;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("HOME", own.path());
    env.insert("TMPDIR", own.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    game.setProcessEnvironment(env);
    game.setWorkingDirectory(own.path());
    game.start(exe, arguments);
    QVERIFY(game.waitForStarted());
    // The main window is as wide as the game's panel; the box is the other
    // one. Answer the box (again now and then: a key sent before it can take
    // it is lost) until it is gone, then look at the main window.
    QString geometry;
    QString window;
    bool boxSeen = false;
    QElapsedTimer lastAnswer;
    const auto look = [&] {
        bool boxUp = false;
        for (const QString &id :
                x("xdotool", {"search", "--onlyvisible", "--name", "^Word Mire$"}).split('\n', Qt::SkipEmptyParts)) {
            const QString g = x("xdotool", {"getwindowgeometry", "--shell", id});
            if (g.contains("WIDTH=79")) {
                window = id;
                geometry = g;
                continue;
            }
            boxUp = boxSeen = true;
            if (!lastAnswer.isValid() || lastAnswer.elapsed() > 1500) {
                x("xdotool", {"windowactivate", "--sync", id});
                x("xdotool", {"key", answer});
                lastAnswer.start();
            }
        }
        return boxSeen && !boxUp && !window.isEmpty();
    };
    // The look answers boxes, so it runs once a poll and its verdict stays.
    bool settled = false;
    QTRY_VERIFY_WITH_TIMEOUT(settled = settled || look(), 40000);
    // Let the window manager finish framing, then read where the frame is.
    QTest::qWait(1500);
    geometry = x("xdotool", {"getwindowgeometry", "--shell", window});
    const QString extents = x("xprop", {"-id", window, "_NET_FRAME_EXTENTS"});
    int clientX = 0, clientY = 0;
    for (const QString &line : geometry.split('\n')) {
        if (line.startsWith("X="))
            clientX = line.mid(2).toInt();
        if (line.startsWith("Y="))
            clientY = line.mid(2).toInt();
    }
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    const QStringList sides = extents.section('=', 1).split(',');
    QCOMPARE(sides.size(), 4);
    const int left = sides[0].trimmed().toInt(), top = sides[2].trimmed().toInt();
    QVERIFY2(top > 0, qPrintable(extents)); // framed, with a title bar
    QVERIFY2(clientY - top >= 0 && clientX - left >= 0, qPrintable(geometry + "\n" + extents));
    game.kill();
    game.waitForFinished(3000);
}

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
