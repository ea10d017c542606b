#pragma once
// A hostile home router, answering in the router's own network namespace
// (made by router.sh with "fake"): the UPnP search, its description and
// SOAP control on 192.168.77.1:5000, and NAT-PMP. Each way it misbehaves is
// one that a machine on a LAN could choose.

#include "routerwire.h"

#include <QByteArray>
#include <QString>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

class FakeRouter {
public:
    enum class Mode {
        EndlessDescription, // a description that never ends
        TrickledDescription, // a byte a second
        EndlessSoap, // GetExternalIPAddress answered without end
        SilentAdd, // AddPortMapping read and never answered
        LateNatpmp, // no UPnP; NAT-PMP answers after 2.5 s
    };

    FakeRouter(Mode mode, int holderPid) : m_mode(mode)
    {
        m_main = std::thread([this, holderPid] { run(holderPid); });
        for (int i = 0; i < 200 && !m_ready; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~FakeRouter()
    {
        m_stop = true;
        m_main.join();
        std::lock_guard lock(m_mutex);
        for (std::thread &t : m_connections)
            t.join();
    }

    bool ready() const { return m_ready; }
    std::atomic_int adds{0}, deletes{0}; // UPnP requests read in full
    std::atomic_int natpmpMaps{0}, natpmpRemovals{0};

private:
    static constexpr const char *Lan = "192.168.77.1";

    static int bound(int type, quint16 port, const char *address = "0.0.0.0")
    {
        const int s = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
        const int one = 1;
        ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        inet_pton(AF_INET, address, &a.sin_addr);
        if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
            ::close(s);
            return -1;
        }
        return s;
    }

    void run(int holderPid)
    {
        const int ns = ::open(QByteArray("/proc/" + QByteArray::number(holderPid) + "/ns/net").constData(), O_RDONLY);
        if (ns < 0 || ::setns(ns, CLONE_NEWNET) != 0)
            return;
        ::close(ns);
        const int ssdp = bound(SOCK_DGRAM, lobby::routerwire::SsdpPort);
        ip_mreq group{};
        inet_pton(AF_INET, lobby::routerwire::SsdpGroup, &group.imr_multiaddr);
        inet_pton(AF_INET, Lan, &group.imr_interface);
        ::setsockopt(ssdp, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group);
        const int http = bound(SOCK_STREAM, 5000, Lan);
        ::listen(http, 8);
        const int natpmp = bound(SOCK_DGRAM, lobby::routerwire::NatpmpPort, Lan);
        m_ready = ssdp >= 0 && http >= 0 && natpmp >= 0;
        struct Late {
            std::chrono::steady_clock::time_point due;
            sockaddr_in to;
            QByteArray answer;
        };
        std::vector<Late> late;
        while (!m_stop) {
            pollfd fds[3] = {{ssdp, POLLIN, 0}, {http, POLLIN, 0}, {natpmp, POLLIN, 0}};
            ::poll(fds, 3, 20);
            char d[2048];
            sockaddr_in from{};
            socklen_t size = sizeof from;
            if (fds[0].revents && ::recvfrom(ssdp, d, sizeof d, 0, reinterpret_cast<sockaddr *>(&from), &size) > 0
                    && m_mode != Mode::LateNatpmp) {
                const QByteArray answer =
                        "HTTP/1.1 200 OK\r\nST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                        "LOCATION: http://192.168.77.1:5000/desc.xml\r\n\r\n";
                ::sendto(ssdp, answer.constData(), answer.size(), 0, reinterpret_cast<sockaddr *>(&from), size);
            }
            if (fds[1].revents) {
                const int c = ::accept4(http, nullptr, nullptr, SOCK_CLOEXEC);
                std::lock_guard lock(m_mutex);
                m_connections.emplace_back([this, c] { serve(c); });
            }
            size = sizeof from;
            const ssize_t n =
                    fds[2].revents ? ::recvfrom(natpmp, d, sizeof d, 0, reinterpret_cast<sockaddr *>(&from), &size) : 0;
            if (n == 12 && d[1] == 2 && m_mode == Mode::LateNatpmp) {
                const quint32 lease = ntohl(*reinterpret_cast<quint32 *>(d + 8));
                (lease ? natpmpMaps : natpmpRemovals)++;
                QByteArray answer(16, '\0');
                answer[1] = char(130);
                memcpy(answer.data() + 8, d + 4, 4); // the ports as asked
                memcpy(answer.data() + 12, d + 8, 4);
                late.push_back(
                        {std::chrono::steady_clock::now() + std::chrono::milliseconds(lease ? 2500 : 0), from, answer});
            }
            for (auto it = late.begin(); it != late.end();)
                if (it->due <= std::chrono::steady_clock::now()) {
                    ::sendto(natpmp, it->answer.constData(), it->answer.size(), 0,
                            reinterpret_cast<const sockaddr *>(&it->to), sizeof it->to);
                    it = late.erase(it);
                } else {
                    ++it;
                }
        }
        for (int s : {ssdp, http, natpmp})
            ::close(s);
    }

    // One HTTP exchange on the control or description address.
    void serve(int c)
    {
        QByteArray request;
        char buffer[4096];
        for (;;) {
            const qsizetype end = request.indexOf("\r\n\r\n");
            if (end >= 0) {
                const qsizetype at = request.toLower().indexOf("content-length:");
                const int length = at < 0 ? 0 : request.mid(at + 15, 10).split('\r').first().trimmed().toInt();
                if (request.size() >= end + 4 + length)
                    break;
            }
            pollfd p{c, POLLIN, 0};
            if (m_stop || ::poll(&p, 1, 50) < 0)
                return finish(c);
            if (!p.revents)
                continue;
            const ssize_t n = ::recv(c, buffer, sizeof buffer, 0);
            if (n <= 0)
                return finish(c);
            request.append(buffer, n);
        }
        const auto say = [&](const QByteArray &bytes) {
            return ::send(c, bytes.constData(), bytes.size(), MSG_NOSIGNAL);
        };
        const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n";
        // Sends without end until the asker goes.
        const auto endless = [&] {
            say(ok + "\r\n");
            const QByteArray fill(64 * 1024, ' ');
            while (!m_stop && say(fill) > 0) { }
        };
        if (request.startsWith("GET ")) {
            if (m_mode == Mode::EndlessDescription)
                endless();
            else if (m_mode == Mode::TrickledDescription)
                for (const char *at = "HTTP/1.1 200 OK\r\n"; *at && !m_stop && say(QByteArray(1, *at)) > 0; ++at)
                    for (int i = 0; i < 20 && !m_stop; ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
            else {
                const QByteArray body = "<?xml version=\"1.0\"?><root><device><serviceList><service>"
                                        "<serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>"
                                        "<controlURL>/ctl</controlURL></service></serviceList></device></root>";
                say(ok + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            }
        } else if (request.contains("#GetExternalIPAddress")) {
            if (m_mode == Mode::EndlessSoap)
                endless();
            else {
                const QByteArray body = "<s:Envelope><s:Body><u:GetExternalIPAddressResponse><NewExternalIPAddress>"
                                        "11.22.33.44</NewExternalIPAddress></u:GetExternalIPAddressResponse>"
                                        "</s:Body></s:Envelope>";
                say(ok + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            }
        } else if (request.contains("#AddPortMapping")) {
            ++adds;
            // Read, and never answered: the router may still have mapped.
            while (!m_stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } else if (request.contains("#DeletePortMapping")) {
            ++deletes;
            say(ok + "Content-Length: 0\r\n\r\n");
        }
        finish(c);
    }
    static void finish(int c) { ::close(c); }

    Mode m_mode;
    std::atomic_bool m_ready{false}, m_stop{false};
    std::thread m_main;
    std::mutex m_mutex;
    std::vector<std::thread> m_connections;
};
