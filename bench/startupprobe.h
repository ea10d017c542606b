#pragma once
// Built into the benchmark copies of the programs only: on the first pass of
// the event loop, prints the wall clock and the resident memory, then ends the
// program (when the probe is enabled) so the script can compare start-ups.

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <ctime>

inline void startupProbe()
{
#ifdef STARTUP_PROBE
    QTimer::singleShot(0, [] {
        timespec ts;
        clock_gettime(CLOCK_REALTIME, &ts);
        long rssKb = 0;
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:"))
                    rssKb = line.mid(6).trimmed().split(' ').first().toLong();
            }
        }
        std::printf("ready_ns %lld rss_kb %ld\n", (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec, rssKb);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
#endif
}
