// The whole hosting copy as a relay: the game itself started to host (its
// window up, on whatever display the environment gives, offscreen without
// one), and N raw clients on loopback each sending a chat line every 50 ms
// that comes back to all of them. The baseline is bare_epoll_relay, a process
// that only passes messages on, given the same clients plus one silent one
// standing in for the hosting copy's own window. Runs alternate, fresh
// processes each time, 4 and 8 chatting clients. Reports per run the median
// relay latency (a line's send to its arrival at each other client), the
// process's CPU (every thread, from /proc) as a share of a core, and the
// host thread's CPU per relayed line (the relay's only thread for the bare
// one); then min / median / max of the ratios over the repeats. The relaying
// thread runs on a processor of its own, everything else on another.
//
// The game hosts on port 7772, which must be free: run it in a network
// namespace of its own beside anything else that holds it:
//   unshare -n bash -c 'ip link set lo up; build/bench/bench_hostcopy [seconds] [repeats]'

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr quint16 GamePort = 7772;
constexpr quint16 RelayPort = 7774;
constexpr int LineMs = 50; // each client's pace: 20 lines a second

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
}

// Nanoseconds on a CPU: of one thread, or summed over a process's threads.
qint64 threadCpu(const QString &task)
{
    std::ifstream in((task + QStringLiteral("/schedstat")).toStdString());
    qint64 ns = 0;
    in >> ns;
    return ns;
}

// The relaying thread gets a processor of its own, and everything else
// (the clients, the copy's window and its other threads) the other: on a
// small machine, where the scheduler puts threads from one run to the next
// would otherwise decide the figures more than the relaying does.
void pin(qint64 tid, int cpu)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    sched_setaffinity(pid_t(tid), sizeof set, &set);
}

// Calls back for each thread of a process: its /proc folder, its id, and
// whether it is the relaying thread (the host's own, named so by the game, or
// a bare relay's only one).
template <class Each> void eachThread(qint64 pid, const QString &relayThreadName, Each each)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    const QStringList ids = QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &id : ids) {
        const QString task = tasks + '/' + id;
        std::ifstream comm((task + QStringLiteral("/comm")).toStdString());
        std::string name;
        std::getline(comm, name);
        each(task, id.toLongLong(),
                relayThreadName.isEmpty() ? id.toLongLong() == pid : QString::fromStdString(name) == relayThreadName);
    }
}

void pinRelayApart(qint64 pid, const QString &relayThreadName)
{
    if (std::thread::hardware_concurrency() >= 2)
        eachThread(
                pid, relayThreadName, [](const QString &, qint64 tid, bool relaying) { pin(tid, relaying ? 1 : 0); });
}

struct Cpu {
    qint64 process = 0, relayThread = 0;
};

Cpu cpuOf(qint64 pid, const QString &relayThreadName)
{
    Cpu c;
    eachThread(pid, relayThreadName, [&c](const QString &task, qint64, bool relaying) {
        const qint64 ns = threadCpu(task);
        c.process += ns;
        if (relaying)
            c.relayThread = ns;
    });
    return c;
}

sockaddr_in addressOf(quint16 port, in_addr_t host)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(host);
    return a;
}

int connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = addressOf(port, INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

bool portFree(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = addressOf(port, INADDR_ANY);
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

struct Client {
    int fd = -1;
    int slot = 0;
    std::string in;
};

// Reads what waits; answers the greeting with a login; times every chat
// line of another client.
void readFrom(Client &c, std::vector<double> *latencies)
{
    char buffer[65536];
    const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n <= 0)
        return;
    c.in.append(buffer, size_t(n));
    size_t end;
    while ((end = c.in.find('\xFF')) != std::string::npos) {
        const std::string m = c.in.substr(0, end);
        c.in.erase(0, end + 1);
        if (m.rfind("CMD_sendlogininfo+", 0) == 0) {
            c.slot = std::atoi(m.c_str() + 18);
            const std::string login =
                    "CMD_logininfo+" + std::to_string(c.slot) + "+1.0.16+P" + std::to_string(c.slot) + '\xFF';
            ::send(c.fd, login.data(), login.size(), MSG_NOSIGNAL);
        }
        const size_t at = m.find("@t=");
        if (latencies && at != std::string::npos && m.rfind("CMD_chat+" + std::to_string(c.slot) + "+", 0) != 0)
            latencies->push_back(double(nowNs() - std::stoll(m.substr(at + 3))) / 1e6);
    }
}

// Serves every client's socket for a while.
void serve(std::vector<Client> &clients, int ms, std::vector<double> *latencies)
{
    const qint64 until = nowNs() + qint64(ms) * 1000000;
    std::vector<pollfd> fds;
    for (const Client &c : clients)
        fds.push_back({c.fd, POLLIN, 0});
    for (qint64 left; (left = until - nowNs()) > 0;) {
        if (::poll(fds.data(), fds.size(), int(left / 1000000) + 1) <= 0)
            continue;
        for (size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents)
                readFrom(clients[i], latencies);
    }
}

struct Run {
    double medianMs = 0;
    double processShare = 0; // of one core
    double relayUsPerLine = 0;
    long lines = 0;
    size_t samples = 0;
};

Run run(bool bare, int chatting, int seconds, const QString &game, const QString &relay)
{
    QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("TMPDIR"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    if (!env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const quint16 port = bare ? RelayPort : GamePort;
    if (bare)
        process.start(relay, {QString::number(RelayPort)});
    else {
        // A copy of the program in the run's own folder: its settings and
        // tally go beside it there, never into the build tree, and no run
        // starts from what an earlier one left.
        const QString copy = home.filePath(QStringLiteral("wordmire"));
        if (!QFile::copy(game, copy)) {
            std::fprintf(stderr, "bench_hostcopy: could not copy %s\n", qPrintable(game));
            std::exit(1);
        }
        process.start(copy, {QStringLiteral("Host"), QStringLiteral("anything"), QStringLiteral("true")});
    }
    if (!process.waitForStarted()) {
        std::fprintf(stderr, "bench_hostcopy: could not start %s\n", qPrintable(bare ? relay : game));
        std::exit(1);
    }
    std::vector<Client> clients;
    // The bare relay's stand-in for the hosting copy's own window: it is
    // sent every line, and says nothing.
    int first = -1;
    for (int tries = 0; tries < 200 && first < 0; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        first = connectTo(port);
    }
    if (first < 0) {
        std::fprintf(stderr, "bench_hostcopy: nothing listens on %u\n", port);
        std::exit(1);
    }
    if (bare) {
        clients.push_back(Client{first, 0, {}});
    } else {
        // A raw client of its own until the window has logged in as the
        // first slot, so the chatting clients take the same slots as at
        // the relay.
        ::close(first);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    }
    for (int i = 0; i < chatting; ++i)
        clients.push_back(Client{connectTo(port), 0, {}});
    serve(clients, 1500, nullptr);
    const int from = bare ? 1 : 0;
    for (size_t i = size_t(from); i < clients.size(); ++i)
        if (clients[i].slot == 0) {
            std::fprintf(stderr, "bench_hostcopy: a client was not greeted\n");
            std::exit(1);
        }

    std::vector<double> latencies;
    const QString threadName = bare ? QString() : QStringLiteral("wordmire host");
    // Measured once the copy has settled: its start (the word list, the
    // window's first drawing, the logins) is not the relay's work.
    for (Cpu was = cpuOf(process.processId(), {});;) {
        serve(clients, 500, nullptr);
        const Cpu is = cpuOf(process.processId(), {});
        if (is.process - was.process < 2000000)
            break;
        was = is;
    }
    pinRelayApart(process.processId(), threadName);
    const Cpu before = cpuOf(process.processId(), threadName);
    const qint64 start = nowNs();
    long lines = 0;
    for (int tick = 0; tick < seconds * 1000 / LineMs; ++tick) {
        // The clients' lines spread over each 50 ms, as people's would be.
        for (int i = 0; i < chatting; ++i) {
            Client &c = clients[size_t(from + i)];
            const std::string slot = std::to_string(c.slot);
            const std::string line =
                    "CMD_chat+" + slot + "+P" + slot + " chats: hi @t=" + std::to_string(nowNs()) + "|clBlack" + '\xFF';
            ::send(c.fd, line.data(), line.size(), MSG_NOSIGNAL);
            ++lines;
            serve(clients, LineMs / chatting, &latencies);
        }
    }
    serve(clients, 200, &latencies);
    const Cpu after = cpuOf(process.processId(), threadName);
    const double wallNs = double(nowNs() - start);
    for (const Client &c : clients)
        ::close(c.fd);
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();

    Run r;
    r.lines = lines;
    r.samples = latencies.size();
    if (!latencies.empty()) {
        std::nth_element(latencies.begin(), latencies.begin() + long(latencies.size() / 2), latencies.end());
        r.medianMs = latencies[latencies.size() / 2];
    }
    r.processShare = double(after.process - before.process) / wallNs;
    r.relayUsPerLine = double(after.relayThread - before.relayThread) / 1000.0 / double(lines);
    return r;
}

struct Spread {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    QString text() const
    {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        return QStringLiteral("%1 / %2 / %3")
                .arg(v.front(), 0, 'f', 2)
                .arg(v[v.size() / 2], 0, 'f', 2)
                .arg(v.back(), 0, 'f', 2);
    }
    double median() const
    {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

} // namespace

int main(int argc, char *argv[])
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (!portFree(GamePort) || !portFree(RelayPort)) {
        std::fprintf(stderr,
                "bench_hostcopy: port %u or %u is taken; run it in a network namespace of its own:\n"
                "  unshare -n bash -c 'ip link set lo up; %s'\n",
                GamePort, RelayPort, argv[0]);
        return 1;
    }
    if (std::thread::hardware_concurrency() >= 2)
        pin(0, 0);
    const QString game = QStringLiteral(WM_GAME_EXE);
    const QString relay = QStringLiteral(WM_RELAY_EXE);
    Spread latency, perLine, share, growth;
    std::printf("%d s a run, chat lines at 20 a second from each client; "
                "median latency ms, process %% of a core, relay thread us a line\n",
            seconds);
    for (int r = 0; r < repeats; ++r) {
        Run runs[2][2]; // [bare?][8 clients?]
        for (int eight = 1; eight >= 0; --eight)
            for (int bare = 1; bare >= 0; --bare) {
                const int n = eight ? 8 : 4;
                Run &x = runs[bare][eight];
                x = run(bare, n, seconds, game, relay);
                std::printf("  %-13s %d clients: %.3f ms, %5.2f %%, %6.1f us (%ld lines, %zu arrivals)\n",
                        bare ? "bare relay" : "hosting copy", n, x.medianMs, 100 * x.processShare, x.relayUsPerLine,
                        x.lines, x.samples);
                std::fflush(stdout);
            }
        latency.add(runs[0][1].medianMs / runs[1][1].medianMs);
        perLine.add(runs[0][1].relayUsPerLine / runs[1][1].relayUsPerLine);
        share.add(runs[0][1].processShare / runs[1][1].processShare);
        growth.add((runs[0][1].processShare - runs[0][0].processShare)
                / std::max(1e-9, runs[1][1].processShare - runs[1][0].processShare));
    }
    std::printf("ratios to the bare relay, min / median / max over %d repeats (8 clients):\n", repeats);
    std::printf("  median latency                 %s  (goal at most 2)\n", qPrintable(latency.text()));
    std::printf("  relay thread's CPU a line      %s  (goal at most 1.5)\n", qPrintable(perLine.text()));
    std::printf("  whole process's CPU            %s  (goal at most 8)\n", qPrintable(share.text()));
    std::printf("  CPU added by clients 5 to 8    %s  (goal at most 4)\n", qPrintable(growth.text()));
    return 0;
}
