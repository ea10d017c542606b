// The least a relay process can do, the baseline a hosting copy is measured
// against: one thread, one epoll set, every connection greeted with its slot
// as the host greets it, and every whole message (ended by 0xFF) written at
// once to every connection, its sender included, as the host relays chat.
// No game, no pacing, no window.
//
//   bare_epoll_relay PORT

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

struct Peer {
    std::string in;
    std::string out; // what the socket would not take yet
    bool watchingOut = false;
};

void sendTo(int fd, Peer &p, const char *data, size_t size)
{
    if (p.out.empty()) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n == ssize_t(size))
            return;
        if (n > 0) {
            data += n;
            size -= size_t(n);
        }
    }
    p.out.append(data, size);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bare_epoll_relay PORT\n");
        return 2;
    }
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    const int one = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(std::atoi(argv[1])));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(listener, 16) != 0) {
        std::perror("bare_epoll_relay");
        return 1;
    }
    const int poller = ::epoll_create1(0);
    epoll_event event{EPOLLIN, {.fd = listener}};
    ::epoll_ctl(poller, EPOLL_CTL_ADD, listener, &event);
    std::map<int, Peer> peers;
    int slots = 0;
    epoll_event ready[64];
    char buffer[65536];
    for (;;) {
        const int count = ::epoll_wait(poller, ready, 64, -1);
        for (int i = 0; i < count; ++i) {
            const int fd = ready[i].data.fd;
            if (fd == listener) {
                const int peer = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK);
                if (peer < 0)
                    continue;
                ::setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                epoll_event e{EPOLLIN, {.fd = peer}};
                ::epoll_ctl(poller, EPOLL_CTL_ADD, peer, &e);
                const std::string greeting = "CMD_sendlogininfo+" + std::to_string(++slots) + '\xFF';
                sendTo(peer, peers[peer], greeting.data(), greeting.size());
                continue;
            }
            Peer &p = peers[fd];
            if (ready[i].events & EPOLLOUT) {
                const ssize_t n = ::send(fd, p.out.data(), p.out.size(), MSG_NOSIGNAL);
                if (n > 0)
                    p.out.erase(0, size_t(n));
            }
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n == 0 || (n < 0 && errno != EAGAIN)) {
                ::close(fd);
                peers.erase(fd);
                continue;
            }
            if (n > 0)
                p.in.append(buffer, size_t(n));
            size_t end;
            while ((end = p.in.find('\xFF')) != std::string::npos) {
                const std::string message = p.in.substr(0, end + 1);
                p.in.erase(0, end + 1);
                for (auto &[other, q] : peers)
                    sendTo(other, q, message.data(), message.size());
            }
            // Waiting to write is asked for only while something waits.
            for (auto &[other, q] : peers) {
                if (q.watchingOut == !q.out.empty())
                    continue;
                q.watchingOut = !q.out.empty();
                epoll_event e{EPOLLIN | (q.watchingOut ? unsigned(EPOLLOUT) : 0u), {.fd = other}};
                ::epoll_ctl(poller, EPOLL_CTL_MOD, other, &e);
            }
        }
    }
}
