#pragma once
// A real X server with a window manager for tests that drive the program as
// a player does: Xvfb on a free display, openbox framing the windows, and
// xdotool and friends run against it.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class XSession {
public:
    ~XSession() { stop(); }

    // Starts the server (a screen of this size) and the manager; an empty
    // text when both are up, else what went wrong.
    QString start(const QString &screen = QStringLiteral("1024x768x24"))
    {
        for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return QStringLiteral("%1 is missing: scripts/setup installs it").arg(QLatin1String(tool));
        // A display number of its own across the machine: a server in a
        // network namespace of its own does not see another's (abstract)
        // socket, and two servers on one number would share, then remove,
        // the socket file a program in another namespace connects through.
        const int first = 100 + int(QCoreApplication::applicationPid() % 400);
        for (int n = first; n < first + 50 && m_display.isEmpty(); ++n) {
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
            if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_server.start("Xvfb", {QStringLiteral(":%1").arg(n), "-screen", "0", screen, "-nolisten", "tcp"});
            if (!m_server.waitForStarted())
                return QStringLiteral("Xvfb did not start");
            // Under a loaded machine (the sanitizers' run) it may take a while.
            for (int waited = 0; !QFile::exists(socket) && m_server.state() == QProcess::Running && waited < 600;
                    ++waited)
                QTest::qWait(50);
            if (QFile::exists(socket) && m_server.state() == QProcess::Running)
                m_display = QStringLiteral(":%1").arg(n);
            else
                stop();
        }
        if (m_display.isEmpty())
            return QStringLiteral("no display number could be had: ")
                    + QString::fromLocal8Bit(m_server.readAllStandardError());
        QProcessEnvironment env = environment();
        env.insert("HOME", m_home.path());
        m_manager.setProcessEnvironment(env);
        m_manager.start("openbox", {});
        if (!m_manager.waitForStarted())
            return QStringLiteral("openbox did not start");
        // Ready once the manager has announced itself on the root window.
        QString announced;
        for (int tries = 0; tries < 120 && !announced.contains("window id"); ++tries) {
            QTest::qWait(250);
            announced = run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, 5000);
        }
        if (!announced.contains("window id"))
            return m_display + ": " + announced + " / " + QString::fromLocal8Bit(m_manager.readAllStandardError());
        return {};
    }

    void stop()
    {
        for (QProcess *p : {&m_manager, &m_server}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
    }

    QString display() const { return m_display; }

    // The machine's environment pointed at this display.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        return env;
    }

    // Runs an X tool against the display; its output, trimmed.
    QString run(const QString &tool, const QStringList &args, int timeoutMs = 10000) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(tool, args);
        if (!p.waitForFinished(timeoutMs))
            p.kill();
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

    // Visible windows whose title matches the pattern.
    QStringList windows(const QString &title) const
    {
        return run("xdotool", {"search", "--onlyvisible", "--name", title}).split('\n', Qt::SkipEmptyParts);
    }

    // A window's client area on the screen: x, y, width, height. (xwininfo,
    // not xdotool, whose position counts the frame in twice.)
    QRect geometry(const QString &window) const
    {
        QRect r;
        for (const QString &line : run("xwininfo", {"-id", window}).split('\n')) {
            const int value = line.section(':', 1).trimmed().toInt();
            if (line.contains("Absolute upper-left X:"))
                r.moveLeft(value);
            else if (line.contains("Absolute upper-left Y:"))
                r.moveTop(value);
            else if (line.contains("Width:"))
                r.setWidth(value);
            else if (line.contains("Height:"))
                r.setHeight(value);
        }
        return r;
    }

private:
    QTemporaryDir m_home;
    QProcess m_server, m_manager;
    QString m_display;
};
