// The launcher beside a solo game: its download against a local web server,
// what it runs (only on the user's yes), and when it is shown at all.

#include "appfiles.h"
#include "clientfiles.h"
#include "messages.h"
#include "tchat.h"
#include "tdownload.h"
#include "ui_tdownload.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {
// A web server of one canned answer: the head, then the body in chunks, and
// optionally a stall before the end (the connection stays open).
class WebServer : public QTcpServer {
public:
    QByteArray head;
    QByteArray body;
    bool stall = false;
    QByteArray request;

    WebServer() { listen(QHostAddress::LocalHost); }
    QUrl url(const QString &name) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/files/%2").arg(serverPort()).arg(name));
    }

protected:
    void incomingConnection(qintptr fd) override
    {
        auto *s = new QTcpSocket(this);
        s->setSocketDescriptor(fd);
        connect(s, &QTcpSocket::readyRead, s, [this, s] {
            request += s->readAll();
            if (!request.contains("\r\n\r\n"))
                return;
            s->write(head);
            const qsizetype sent = stall ? body.size() / 2 : body.size();
            for (qsizetype at = 0; at < sent; at += 1000) {
                s->write(body.mid(at, std::min<qsizetype>(1000, sent - at)));
                s->flush();
            }
            if (!stall)
                s->disconnectFromHost();
        });
    }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint64 residentKb()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

QByteArray okHead(qsizetype length)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " + QByteArray::number(length)
            + "\r\n\r\n";
}

struct Launcher {
    ClientFiles files;
    Tdownload form;
    QStringList shown; // "infolabel: text"
    QStringList asked;
    bool answer = false;
    QList<QStringList> ran; // program, then arguments
    bool runWorks = true;

    Launcher()
    {
        form.setTargetDir(files.dir.path());
        QObject::connect(&form, &Tdownload::progressShown,
                [this](const QString &label, const QString &text) { shown << label + ": " + text; });
        ui::setQuestionSink([this](const QString &q) {
            asked << q;
            return answer;
        });
        form.setRunner([this](const QString &program, const QStringList &args) {
            ran << (QStringList{program} + args);
            return runWorks;
        });
    }
    ~Launcher() { ui::setQuestionSink(nullptr); }
    QString path(const QString &name) const { return files.dir.filePath(name); }
    bool idle() const { return form.form()->getbutton->isEnabled() && !form.form()->abortbutton->isEnabled(); }
};
} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
private slots:
    void completeDownload_data();
    void completeDownload();
    void stoppedOrFailed_data();
    void stoppedOrFailed();
    void ownFolderOnly_data();
    void ownFolderOnly();
    void endlessBody();
    void playWithOthers();
    void shownOnlyWithoutArguments();
};

void TestLauncher::completeDownload_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("runWorks");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("finalLine");
    const QStringList windows{"/SP-", "/silent", "/noicons"};
    QTest::newRow("no: nothing runs") << "Setup.exe" << false << true << QStringList() << "";
    QTest::newRow("yes: the Windows installer, silently") << "Setup.exe" << true << true << windows << "Installing";
    QTest::newRow("yes: a script, no Windows switches") << "setup.sh" << true << true << QStringList() << "Installing";
    QTest::newRow("yes, but it cannot start")
            << "setup.sh" << true << false << QStringList() << "An Error has Occurred.";
}

void TestLauncher::completeDownload()
{
    QFETCH(QString, name);
    QFETCH(bool, yes);
    QFETCH(bool, runWorks);
    QFETCH(QStringList, args);
    QFETCH(QString, finalLine);
    WebServer web;
    web.body = QByteArray(4500, 'x');
    web.head = okHead(web.body.size());
    Launcher l;
    l.answer = yes;
    l.runWorks = runWorks;
    QFile::remove(l.path(name));
    {
        QFile old(l.path(name)); // an older installer is replaced, not appended to
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QSignalSpy exits(&l.form, &Tdownload::exitRequested);
    l.form.setInstallerUrl(web.url(name));
    l.form.form()->getbutton->click();
    QCOMPARE(l.form.form()->infolabel2->text(), name);
    QCOMPARE(l.form.state(), int(Tdownload::Running));
    QTRY_VERIFY(l.idle());

    QVERIFY(web.request.contains("User-Agent: Mozilla/3.0 (compatible)"));
    QVERIFY(web.request.contains("Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*"));
    // Loading, a dot per header line, the body's progress, the total.
    QCOMPARE(l.shown.first(), QString("infolabel: Loading"));
    QVERIFY(l.shown[1].startsWith("infolabel: Loading..."));
    QCOMPARE(l.shown[2], "infolabel3: Downloading: " + name);
    QVERIFY(l.shown[3].endsWith(" bytes"));
    const int total = int(l.shown.indexOf("infolabel: Received 4500 bytes"));
    QVERIFY(total > 3);
    QCOMPARE(l.shown[total - 1], QString("infolabel: 4500 bytes"));
    QCOMPARE(l.asked, QStringList{"Run the downloaded installer " + name + "?"});
    QCOMPARE(l.form.state(), int(Tdownload::Running));

    QFile got(l.path(name));
    QVERIFY(got.open(QIODevice::ReadOnly));
    QVERIFY(!QFile::exists(l.path(name + ".part")));
    if (!yes) {
        // Asked before anything took the installer's name: on no the earlier
        // one stays as it was and the download is gone.
        QCOMPARE(got.readAll(), QByteArray("old"));
        QVERIFY(l.ran.isEmpty());
        QCOMPARE(l.shown.last(), QString("infolabel: Received 4500 bytes"));
        return;
    }
    QCOMPARE(got.readAll(), web.body);
    QCOMPARE(l.ran, QList<QStringList>{QStringList{l.path(name)} + args});
    QVERIFY(QFileInfo(l.path(name)).isExecutable());
    QCOMPARE(l.shown.last(), "infolabel3: " + finalLine);
    QCOMPARE(exits.count(), runWorks ? 1 : 0);
}

void TestLauncher::stoppedOrFailed_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("bodySize");
    QTest::addColumn<bool>("stall");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("info3");
    QTest::newRow("stopped") << okHead(50000) << 50000 << true << qint64(Tdownload::DefaultLimit)
                             << "Download has been aborted."
                             << "Download Aborted";
    QTest::newRow("not found") << QByteArray("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\n") << 9 << false
                               << qint64(Tdownload::DefaultLimit) << "Download Aborted"
                               << "";
    QTest::newRow("cut short") << okHead(90000) << 50000 << false << qint64(Tdownload::DefaultLimit)
                               << "Download Aborted"
                               << "";
    QTest::newRow("too large") << okHead(50000) << 50000 << false << qint64(20000) << "Download Aborted"
                               << "The download is larger than 19.53 KiB.";
    QTest::newRow("empty") << okHead(0) << 0 << false << qint64(Tdownload::DefaultLimit) << "Download Aborted"
                           << "The download is empty.";
}

void TestLauncher::stoppedOrFailed()
{
    QFETCH(QByteArray, head);
    QFETCH(int, bodySize);
    QFETCH(bool, stall);
    QFETCH(qint64, limit);
    QFETCH(QString, info);
    QFETCH(QString, info3);
    WebServer web;
    web.head = head;
    web.body = QByteArray(bodySize, 'y');
    web.stall = stall;
    Launcher l;
    l.answer = true;
    l.form.setSizeLimit(limit);
    l.form.setInstallerUrl(web.url("Setup.exe"));
    l.form.form()->getbutton->click();
    if (stall) {
        QTRY_VERIFY(l.shown.last().endsWith(" bytes"));
        QVERIFY(l.form.form()->abortbutton->isEnabled());
        l.form.form()->abortbutton->click();
    }
    QTRY_VERIFY(l.idle());
    QCOMPARE(l.form.state(), int(Tdownload::Aborted));
    QCOMPARE(l.form.form()->infolabel->text(), info);
    if (!info3.isEmpty())
        QCOMPARE(l.form.form()->infolabel3->text(), info3);
    // Nothing asked, nothing run, no finished installer: only the partial file.
    QVERIFY(l.asked.isEmpty());
    QVERIFY(l.ran.isEmpty());
    QVERIFY(!QFile::exists(l.path("Setup.exe")));
    QCOMPARE(QFile::exists(l.path("Setup.exe.part")), bodySize > 0);
    QVERIFY(!l.form.form()->infolabel3->text().startsWith("Installing"));
}

// Whatever the address ends in, the download lands in the launcher's own
// folder: the program and its settings beside it are never written, and a
// link or folder of the installer's name there is not written through.
void TestLauncher::ownFolderOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("inTheWay"); // "", "link" or "folder" at downloads/<name>
    QTest::newRow("the program's name") << "wordmire"
                                        << "";
    QTest::newRow("the settings' name") << "corvelgatehouse.ini"
                                        << "";
    QTest::newRow("a link in the way") << "Setup.exe"
                                       << "link";
    QTest::newRow("a folder in the way") << "Setup.exe"
                                         << "folder";
}

void TestLauncher::ownFolderOnly()
{
    QFETCH(QString, name);
    QFETCH(QString, inTheWay);
    WebServer web;
    web.body = QByteArray(3000, 'z');
    web.head = okHead(web.body.size());
    Launcher l;
    l.answer = true;
    l.form.setTargetDir(QString()); // the default folder
    const QString beside = settings::besideExecutable(name);
    const QString own = settings::besideExecutable("downloads/" + name);
    QFile keep(beside);
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.write("precious");
    keep.close();
    QDir().mkpath(QFileInfo(own).absolutePath());
    if (inTheWay == "link")
        QVERIFY(QFile::link(beside, own));
    else if (inTheWay == "folder")
        QVERIFY(QDir().mkpath(own));
    l.form.setInstallerUrl(web.url(name));
    l.form.form()->getbutton->click();
    QTRY_VERIFY(l.idle());
    QCOMPARE(readAll(beside), QByteArray("precious"));
    if (inTheWay.isEmpty()) {
        QCOMPARE(l.ran, QList<QStringList>{QStringList{own}});
        QCOMPARE(readAll(own), web.body);
    } else {
        QVERIFY(l.ran.isEmpty());
        QCOMPARE(l.form.state(), int(Tdownload::Aborted));
    }
    QFile::remove(beside);
    QFile::remove(own);
    QDir(own).removeRecursively();
}

// A body without end is written as it arrives and stopped at the cap; the
// memory it takes stays bounded meanwhile.
void TestLauncher::endlessBody()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QTcpSocket *peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer] {
            if (peer->readAll().contains("\r\n\r\n"))
                peer->write("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n");
        });
    });
    Launcher l;
    l.answer = true;
    const qint64 cap = 48 << 20;
    l.form.setSizeLimit(cap);
    const qint64 before = residentKb();
    l.form.setInstallerUrl(QUrl(QStringLiteral("http://127.0.0.1:%1/Setup.exe").arg(server.serverPort())));
    l.form.form()->getbutton->click();
    const QByteArray chunk(256 * 1024, 'e');
    qint64 peak = before;
    QElapsedTimer t;
    t.start();
    while (!l.idle() && t.elapsed() < 60000) {
        if (peer && peer->bytesToWrite() < 4 * chunk.size())
            peer->write(chunk);
        QTest::qWait(1);
        peak = qMax(peak, residentKb());
    }
    QVERIFY(l.idle());
    QCOMPARE(l.form.form()->infolabel3->text(), QString("The download is larger than 48.00 MiB."));
    QVERIFY(QFileInfo(l.path("Setup.exe.part")).size() <= cap);
    qInfo("an endless body stopped at %lld bytes; resident memory grew by %lld kB at most",
            QFileInfo(l.path("Setup.exe.part")).size(), peak - before);
#ifndef __SANITIZE_ADDRESS__
    QVERIFY(peak - before < 64 * 1024);
#endif
    QVERIFY(l.asked.isEmpty());
}

void TestLauncher::playWithOthers()
{
    Launcher l;
    QSignalSpy exits(&l.form, &Tdownload::exitRequested);
    QSignalSpy lobby(&l.form, &Tdownload::playWithOthersRequested);
    l.form.show();

    // Not installed: the message, with the game's own way offered.
    l.form.setGatehousePath(l.path("missing"));
    l.answer = true;
    if (l.form.findGatehouse().isEmpty()) {
        l.form.form()->Button2->click();
        QCOMPARE(l.asked.size(), 1);
        QVERIFY(l.asked[0].startsWith("Please close the game and open the Corvel Gatehouse using the icon on your "
                                      "desktop or using the your Window's start-up menu."));
        QCOMPARE(lobby.count(), 1);
        QVERIFY(!l.form.isVisible());
        QCOMPARE(exits.count(), 0);
    }

    // Installed where the settings file says: started, and the game ends.
    const QString client = l.path("gatehouse");
    QFile f(client);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    l.form.setGatehousePath(client);
    QCOMPARE(l.form.findGatehouse(), QString()); // not executable: not a program
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    QCOMPARE(l.form.findGatehouse(), client);
    l.form.form()->Button2->click();
    QCOMPARE(l.ran, QList<QStringList>{QStringList{client}});
    QCOMPARE(exits.count(), 1);
}

void TestLauncher::shownOnlyWithoutArguments()
{
    ClientFiles files;
    QFile ini(settings::besideExecutable("corvelgatehouse.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Wordmire]\r\nGatehouseurl= http://127.0.0.1:1/x/Other.exe\r\n");
    ini.close();
    // Nobody is at the port: the window's question about it is answered No.
    ui::setQuestionSink([](const QString &) { return false; });
    ui::setMessageSink([](const QString &) {});
    for (const QStringList &args : {QStringList{"Bo", "127.0.0.1", "false"}, QStringList{}}) {
        Tchat chat;
        Tdownload form;
        chat.setLauncher(&form);
        chat.setPort(1); // nobody there; the window only tries
        chat.setArguments(args);
        chat.show();
        // It waits for the game's window to be on the screen.
        QVERIFY(!form.isVisible());
        QTRY_VERIFY(chat.isDrawn());
        QCOMPARE(form.isVisible(), args.isEmpty());
        QCOMPARE(form.installerUrl(), QUrl("http://127.0.0.1:1/x/Other.exe"));
        QCOMPARE(form.form()->Button1->isDefault(), true);
        if (form.isVisible()) {
            form.form()->Button1->click();
            QVERIFY(!form.isVisible());
        }
    }
    ui::setQuestionSink(nullptr);
    ui::setMessageSink(nullptr);
}

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
