// Runs the real program: a second copy in the same temporary folder ends at
// once, and a guard left behind by a killed copy does not stop the next one;
// --help and --version answer on a terminal with no display at all.

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
    void secondCopyEnds();
    void signalEndsLikeExit_data();
    void signalEndsLikeExit();

private:
    void start(QProcess &p)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", dir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        // Two arguments: the copy connects nowhere, so tests never meet on
        // the game's port.
        p.start(QStringLiteral(WORDMIRE_EXE), {"Ann", "127.0.0.1"});
        QVERIFY(p.waitForStarted());
    }
    QTemporaryDir dir;
};

void TestSingleInstance::answersWithoutADisplay_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("language"); // LANGUAGE, the desktop's list
    QTest::addColumn<QString>("lang"); // LANG
    QTest::addColumn<QString>("answer");
    QTest::newRow("--help") << "--help"
                            << ""
                            << "C"
                            << "Usage: ";
    QTest::newRow("-h") << "-h"
                        << ""
                        << "C"
                        << "Exactly \"true\" to host";
    QTest::newRow("--version") << "--version"
                               << ""
                               << "C"
                               << "wordmire " WORDMIRE_VERSION_TEXT "\n";
    // The help in the desktop's language, when the game has it.
    QTest::newRow("German") << "--help"
                            << "de_DE:de"
                            << "de_DE.UTF-8"
                            << "Genau \"true\", um hier";
    QTest::newRow("German by LANG alone") << "--help"
                                          << ""
                                          << "de_DE.UTF-8"
                                          << "Genau \"true\", um hier";
    QTest::newRow("no French: German next") << "--help"
                                            << "fr:de"
                                            << "fr_FR.UTF-8"
                                            << "Genau \"true\", um hier";
    QTest::newRow("English first") << "--help"
                                   << "en:de"
                                   << "de_DE.UTF-8"
                                   << "Exactly \"true\" to host";
}

void TestSingleInstance::answersWithoutADisplay()
{
    QFETCH(QString, asked);
    QFETCH(QString, language);
    QFETCH(QString, lang);
    QFETCH(QString, answer);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.remove("LC_ALL");
    env.remove("LC_MESSAGES");
    env.remove("LANGUAGE");
    if (!language.isEmpty())
        env.insert("LANGUAGE", language);
    env.insert("LANG", lang);
    env.insert("TMPDIR", dir.path());
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(WORDMIRE_EXE), {asked});
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(out.contains(answer), qPrintable(out));
    // Nothing of a game was begun: no guard, no settings, no word list.
    QVERIFY2(QDir(dir.path()).isEmpty(), qPrintable(QDir(dir.path()).entryList().join(' ')));
}

void TestSingleInstance::secondCopyEnds()
{
    const QString guard = dir.filePath("wordmire-levroc");
    QProcess first;
    start(first);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(guard), 10000);
    // Only this user may reach it.
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(guard).permissions() & others, QFile::Permissions());

    QProcess second;
    start(second);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // A copy that dies without cleaning up leaves its guard behind.
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFileInfo::exists(guard));
    QProcess third;
    start(third);
    QVERIFY(!third.waitForFinished(2000));
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(5000);
}

// SIGTERM and SIGINT end a copy as File → Exit does: it exits normally and
// its tally is written beside it (a copy of the program in its own folder,
// where it keeps its files).
void TestSingleInstance::signalEndsLikeExit_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("settleMs"); // from the copy's claim to the signal
    // Joining where nobody listens leaves a message box open.
    QTest::newRow("SIGTERM") << int(SIGTERM) << QStringList{"Ann", "127.0.0.1"} << 1000;
    QTest::newRow("SIGINT") << int(SIGINT) << QStringList{"Ann", "127.0.0.1"} << 1000;
    QTest::newRow("SIGTERM, a box open") << int(SIGTERM) << QStringList{"Ann", "127.0.0.1", "join"} << 1000;
    QTest::newRow("SIGTERM while the window is built") << int(SIGTERM) << QStringList{"Ann", "127.0.0.1"} << 0;
}

void TestSingleInstance::signalEndsLikeExit()
{
    QFETCH(int, signal);
    QFETCH(QStringList, args);
    QFETCH(int, settleMs);
    QTemporaryDir own;
    const QString exe = own.filePath("wordmire");
    QVERIFY(QFile::copy(QStringLiteral(WORDMIRE_EXE), exe));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", own.path());
    env.insert("HOME", own.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(own.path());
    p.start(exe, args);
    QVERIFY(p.waitForStarted());
    // Looked for closely, so the signal can come before the window is built.
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(own.filePath("wordmire-levroc")) && p.state() == QProcess::Running
            && !deadline.hasExpired())
        QThread::usleep(200);
    QVERIFY(p.state() == QProcess::Running && QFileInfo::exists(own.filePath("wordmire-levroc")));
    QTest::qWait(settleMs);
    QVERIFY(!QFileInfo::exists(own.filePath("Wordmiretally.tld")));
    ::kill(pid_t(p.processId()), signal);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QFileInfo(own.filePath("Wordmiretally.tld")).size() > 0);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
