// A chat line's round trip to a hosting copy on the internet, through the
// lobby's TURN relay against straight over TCP, in the same run and the
// same namespaces (bench/relay.sh builds them: host and joiner behind
// symmetric NATs, the host's port also forwarded by hand). Two players
// join: one through the lobby (ICE settles on the relay), one at the
// forwarded port; each says a line in turn and times its own line's echo
// from the host.
//
//   bench_relay BROKER DIRECT_ADDRESS SAMPLES

#include "internetlobby.h"
#include "internetpath.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

struct Player {
    QTcpSocket sock;
    QByteArray pending;
    QByteArray slot;
    QElapsedTimer sent;
    QByteArray token;
    QList<double> times; // ms
    void start(const QString &host, quint16 port)
    {
        QObject::connect(&sock, &QTcpSocket::readyRead, [this] {
            pending += sock.readAll();
            qsizetype end;
            while ((end = pending.indexOf(char(0xFF))) >= 0) {
                const QByteArray m = pending.left(end);
                pending.remove(0, end + 1);
                if (m.startsWith("CMD_sendlogininfo+")) {
                    slot = m.mid(18);
                    sock.write("CMD_logininfo+" + slot + "+1.0.16+P" + slot + char(0xFF));
                } else if (!token.isEmpty() && m.contains(token)) {
                    times << sent.nsecsElapsed() / 1e6;
                    token.clear();
                }
            }
        });
        sock.connectToHost(host, port);
    }
    void say(int n)
    {
        token = "line" + QByteArray::number(n) + "x" + slot;
        sent.start();
        sock.write("CMD_chat+" + slot + "+P" + slot + " chats: " + token + "|clBlack" + char(0xFF));
    }
};

void report(const char *what, QList<double> t)
{
    std::sort(t.begin(), t.end());
    if (t.isEmpty()) {
        std::printf("%-8s no samples\n", what);
        return;
    }
    std::printf("%-8s n=%lld min %.3f ms  median %.3f ms  max %.3f ms\n", what, (long long)t.size(), t.first(),
            t[t.size() / 2], t.last());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QString broker = QString::fromLatin1(argv[1]);
    const QString direct = QString::fromLatin1(argv[2]);
    const int samples = atoi(argv[3]);
    lobby::InternetLobby lobby;
    lobby.open(broker);
    std::unique_ptr<lobby::JoinPath> path;
    Player relayed, straight;
    QString through;
    int n = 0;
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (!path && !lobby.model().games().isEmpty()) {
            path = std::make_unique<lobby::JoinPath>(lobby, lobby.model().games().constFirst());
            QObject::connect(path.get(), &lobby::JoinPath::through, [&](const QString &w) { through = w; });
            relayed.start(QStringLiteral("127.0.0.1"), path->address().section(QLatin1Char(':'), 1).toUShort());
            straight.start(direct, 7772);
            return;
        }
        if (relayed.slot.isEmpty() || straight.slot.isEmpty() || through.isEmpty())
            return;
        // Interleaved, one line in flight at a time, well apart: the host
        // paces one connection's lines 10 ms apart.
        Player &p = n % 2 ? straight : relayed;
        if (!p.token.isEmpty())
            return;
        if (n >= 2 * samples)
            return app.quit();
        p.say(n++);
    });
    step.start(25);
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("relayed path: %s\n", qPrintable(through));
    report("relayed", relayed.times);
    report("direct", straight.times);
    if (!relayed.times.isEmpty() && !straight.times.isEmpty()) {
        std::sort(relayed.times.begin(), relayed.times.end());
        std::sort(straight.times.begin(), straight.times.end());
        std::printf("median ratio relayed/direct: %.2f\n",
                relayed.times[relayed.times.size() / 2] / straight.times[straight.times.size() / 2]);
    }
    return 0;
}
