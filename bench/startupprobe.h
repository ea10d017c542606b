#pragma once
// Built into the benchmark copies of the programs only. Prints the wall
// clock at the event loop's first pass (ready_ns) and once the first window
// has been drawn (drawn_ns: the pass after its first exposure, which paints
// a widget window there and then), with the resident memory then; then asks the
// program to end as its user would, by closing its windows, and prints when
// it asked (quit_ns), so the script can time the whole launch and the exit.

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>

#ifdef STARTUP_PROBE
namespace startup_probe {

inline long long nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

inline long rssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

// The first exposure of a shown window: once it is handled, the window is
// drawn.
class FirstPaint : public QObject {
public:
    long long ready = 0;
    bool seen = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *w = qobject_cast<QWindow *>(watched);
        if (!seen && event->type() == QEvent::Expose && w && w->isExposed()) {
            seen = true;
            QTimer::singleShot(0, [this] {
                const long long drawn = nowNs();
                std::printf("ready_ns %lld drawn_ns %lld rss_kb %ld\n", ready, drawn, rssKb());
                std::printf("quit_ns %lld\n", nowNs());
                std::fflush(stdout);
                QApplication::closeAllWindows();
            });
        }
        return false;
    }
};

} // namespace startup_probe
#endif

inline void startupProbe()
{
#ifdef STARTUP_PROBE
    static startup_probe::FirstPaint probe;
    qApp->installEventFilter(&probe);
    QTimer::singleShot(0, [] { probe.ready = startup_probe::nowNs(); });
#endif
}
