#include "homerouter.h"
#include "routerwire.h"

#include <QDeadlineTimer>
#include <QHostAddress>

#define ENABLE_STRNATPMPERR
#include <natpmp.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <utility>

namespace lobby {

namespace {

using namespace routerwire;

// Looking for a UPnP router ends within this; each exchange with it, and
// NAT-PMP's whole question, within AskMs.
constexpr int SearchMs = 1000;
constexpr int AskMs = 2000;
// Removing a mapping never holds anything up: the request is sent and the
// router's answer not waited for.
constexpr int RemoveMs = 250;
// UPnP's answers for a port someone else holds, and for a router that takes
// permanent mappings only.
constexpr int UpnpConflict = 718;
constexpr int UpnpPermanentOnly = 725;

// A socket closed with its owner.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) { }
    Fd(Fd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) { }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }

private:
    int m_fd;
};

sockaddr_in socketAddress(quint32 ip, quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(ip);
    a.sin_port = htons(port);
    return a;
}

RouterAnswer publicAnswer(const QString &external)
{
    const QHostAddress a(external);
    if (a.isNull() || a.protocol() != QAbstractSocket::IPv4Protocol)
        return {true, {}, QStringLiteral("The router opened the port but did not say its internet address")};
    if (!isInternetAddress(a))
        return {true, {},
                QStringLiteral("The router opened the port, but its own address %1 is not on the internet: "
                               "another router stands between it and the internet, or it answered falsely")
                        .arg(external)};
    return {true, external, mappedText(external)};
}

class HomeRouter : public RouterClient {
public:
    HomeRouter() : m_wake(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) { }

    RouterAnswer map(quint16 port, int lease) override
    {
        resetCancel();
        const QDeadlineTimer whole(AskMs);
        if (m_how != How::Natpmp)
            if (std::optional<RouterAnswer> a = mapUpnp(port, lease))
                return *a;
        // What the search left of the time, and never less than a moment.
        if (std::optional<RouterAnswer> a = mapNatpmp(port, lease, qMax<qint64>(250, whole.remainingTime())))
            return *a;
        if (m_cancelled)
            return {false, {}, QStringLiteral("Stopped asking the router")};
        return {false, {}, noRouterText(port)};
    }

    void unmap(quint16 port) override
    {
        resetCancel();
        if (m_how == How::Upnp && m_service) {
            const QByteArray ext = QByteArray::number(port);
            send(m_service->control,
                    soapRequest(*m_service, "DeletePortMapping",
                            {{"NewRemoteHost", {}}, {"NewExternalPort", ext}, {"NewProtocol", "TCP"}}),
                    RemoveMs);
        } else if (m_how == How::Natpmp) {
            natpmpSend(port, 0);
        }
        m_how = How::None;
    }

    void cancel() override
    {
        m_cancelled = true;
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake.get(), &one, sizeof one);
    }

private:
    enum class How { None, Upnp, Natpmp };

    void resetCancel()
    {
        quint64 count = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_wake.get(), &count, sizeof count);
        m_cancelled = false;
    }

    // Until the socket is ready, the deadline passes or the wait is
    // cancelled; true when ready.
    bool wait(int fd, short events, const QDeadlineTimer &deadline)
    {
        for (;;) {
            if (m_cancelled)
                return false;
            const qint64 left = deadline.remainingTime();
            if (left == 0)
                return false;
            pollfd fds[2] = {{fd, events, 0}, {m_wake.get(), POLLIN, 0}};
            const int n = ::poll(fds, 2, int(qMin<qint64>(left < 0 ? AskMs : left, AskMs)));
            if (n < 0 && errno != EINTR)
                return false;
            if (fds[1].revents)
                return false;
            if (n > 0 && fds[0].revents)
                return true;
        }
    }

    Fd connectTo(const QUrl &url, const QDeadlineTimer &deadline)
    {
        QHostAddress host;
        if (!host.setAddress(url.host()) || host.protocol() != QAbstractSocket::IPv4Protocol)
            return Fd();
        Fd s(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!s.ok())
            return Fd();
        const sockaddr_in to = socketAddress(host.toIPv4Address(), quint16(url.port(80)));
        if (::connect(s.get(), reinterpret_cast<const sockaddr *>(&to), sizeof to) != 0 && errno != EINPROGRESS)
            return Fd();
        if (!wait(s.get(), POLLOUT, deadline))
            return Fd();
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(s.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
            return Fd();
        return s;
    }

    bool writeAll(int fd, const QByteArray &bytes, const QDeadlineTimer &deadline)
    {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            if (!wait(fd, POLLOUT, deadline))
                return false;
            const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            sent += qMax<ssize_t>(n, 0);
        }
        return true;
    }

    // Sends the request and goes: for a removal, whose answer changes
    // nothing here.
    void send(const QUrl &url, const QByteArray &request, int ms)
    {
        const QDeadlineTimer deadline(ms);
        const Fd s = connectTo(url, deadline);
        if (s.ok())
            writeAll(s.get(), request, deadline);
    }

    // One HTTP exchange, its answer read up to maxBody bytes and within the
    // deadline; nullopt when the router gave no whole answer. The address
    // this computer used to reach it is kept.
    std::optional<HttpAnswer> exchange(
            const QUrl &url, const QByteArray &request, int maxBody, const QDeadlineTimer &deadline)
    {
        const Fd s = connectTo(url, deadline);
        if (!s.ok() || !writeAll(s.get(), request, deadline))
            return std::nullopt;
        sockaddr_in local{};
        socklen_t size = sizeof local;
        if (::getsockname(s.get(), reinterpret_cast<sockaddr *>(&local), &size) == 0)
            m_lan = QHostAddress(ntohl(local.sin_addr.s_addr)).toString().toLatin1();
        QByteArray raw;
        const qsizetype most = maxRaw(maxBody);
        char buffer[4096];
        for (;;) {
            HttpAnswer answer;
            bool closed = false;
            if (!wait(s.get(), POLLIN, deadline))
                return std::nullopt;
            const ssize_t n = ::recv(s.get(), buffer, qMin<qsizetype>(sizeof buffer, most - raw.size() + 1), 0);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return std::nullopt;
            if (n == 0)
                closed = true;
            raw.append(buffer, qMax<ssize_t>(n, 0));
            if (raw.size() > most)
                return std::nullopt;
            switch (readHttp(raw, closed, maxBody, &answer)) {
            case HttpState::Done:
                return answer;
            case HttpState::Bad:
                return std::nullopt;
            case HttpState::Incomplete:
                if (closed)
                    return std::nullopt;
                break;
            }
        }
    }

    // The first router on the network that offers port mapping over UPnP;
    // its description is read within bounds and parsed by miniupnpc.
    bool findUpnp()
    {
        const Fd s(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!s.ok())
            return false;
        const unsigned char ttl = 2;
        ::setsockopt(s.get(), IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
        const sockaddr_in group = socketAddress(QHostAddress(QLatin1String(SsdpGroup)).toIPv4Address(), SsdpPort);
        const QByteArray question = search();
        if (::sendto(s.get(), question.constData(), size_t(question.size()), 0,
                    reinterpret_cast<const sockaddr *>(&group), sizeof group)
                < 0)
            return false;
        const QDeadlineTimer deadline(SearchMs);
        QList<QUrl> tried;
        while (wait(s.get(), POLLIN, deadline)) {
            char datagram[2048];
            const ssize_t n = ::recv(s.get(), datagram, sizeof datagram, 0);
            if (n <= 0)
                continue;
            const std::optional<QUrl> location = searchAnswer(QByteArray(datagram, n));
            if (!location || tried.contains(*location) || tried.size() >= 4)
                continue;
            tried.append(*location);
            const std::optional<HttpAnswer> description =
                    exchange(*location, getRequest(*location), MaxDescription, QDeadlineTimer(AskMs));
            if (description && description->status == 200 && (m_service = wanService(description->body, *location)))
                return true;
        }
        return false;
    }

    std::optional<SoapAnswer> soap(const QByteArray &action, const Arguments &arguments)
    {
        const std::optional<HttpAnswer> http = exchange(
                m_service->control, soapRequest(*m_service, action, arguments), MaxSoapAnswer, QDeadlineTimer(AskMs));
        return http ? soapAnswer(*http) : std::nullopt;
    }

    // nullopt: no UPnP router here (NAT-PMP is asked next).
    std::optional<RouterAnswer> mapUpnp(quint16 port, int lease)
    {
        if (!m_service && !findUpnp())
            return std::nullopt;
        const std::optional<SoapAnswer> address = soap("GetExternalIPAddress", {});
        if (!address) {
            return m_cancelled
                    ? std::nullopt
                    : std::optional(RouterAnswer{false, {}, QStringLiteral("The router did not answer in time")});
        }
        const QByteArray number = QByteArray::number(port);
        auto add = [&](int seconds) {
            return soap("AddPortMapping",
                    {{"NewRemoteHost", {}}, {"NewExternalPort", number}, {"NewProtocol", "TCP"},
                            {"NewInternalPort", number}, {"NewInternalClient", m_lan}, {"NewEnabled", "1"},
                            {"NewPortMappingDescription", "Word Mire"},
                            {"NewLeaseDuration", QByteArray::number(seconds)}});
        };
        // Asked is as good as made: an answer that comes too late may still
        // have opened the port, so it is removed like one that came.
        m_how = How::Upnp;
        std::optional<SoapAnswer> a = add(lease);
        if (a && a->error == UpnpPermanentOnly)
            a = add(0);
        if (!a)
            return RouterAnswer{false, {}, QStringLiteral("The router did not answer in time")};
        if (a->error == UpnpConflict) {
            m_how = How::None;
            return RouterAnswer{false, {}, conflictText()};
        }
        if (a->error != 0)
            return RouterAnswer{false, {}, QStringLiteral("The router refused: error %1").arg(a->error)};
        return publicAnswer(address->externalAddress);
    }

    // Sends a NAT-PMP mapping request (lease 0 removes) without waiting for
    // an answer.
    static void natpmpSend(quint16 port, int lease)
    {
        natpmp_t n;
        if (initnatpmp(&n, 0, 0) < 0)
            return;
        // Twice: a datagram may be lost, and the router is asked nothing more.
        for (int i = 0; i < 2; ++i)
            sendnewportmappingrequest(&n, NATPMP_PROTOCOL_TCP, port, port, quint32(lease));
        closenatpmp(&n);
    }

    // One request and its answer through libnatpmp, giving up at the
    // deadline (or a cancel) rather than after NAT-PMP's own minute of
    // retries. `asked`: the request left this computer.
    template <typename Send>
    int natpmpAsk(natpmpresp_t *response, const QDeadlineTimer &deadline, Send send, bool *asked = nullptr)
    {
        natpmp_t n;
        if (initnatpmp(&n, 0, 0) < 0)
            return NATPMP_ERR_CANNOTGETGATEWAY;
        int rc = send(&n);
        if (rc >= 0 && asked)
            *asked = true;
        while (rc >= 0) {
            timeval timeout{};
            getnatpmprequesttimeout(&n, &timeout);
            const qint64 retry = timeout.tv_sec * 1000 + timeout.tv_usec / 1000;
            const QDeadlineTimer wakeAt(
                    qMin<qint64>(qMax<qint64>(retry, 1), qMax<qint64>(deadline.remainingTime(), 0)));
            wait(n.s, POLLIN, wakeAt);
            if (m_cancelled || deadline.hasExpired()) {
                rc = NATPMP_TRYAGAIN;
                break;
            }
            rc = readnatpmpresponseorretry(&n, response);
            if (rc != NATPMP_TRYAGAIN)
                break;
            rc = 0;
        }
        closenatpmp(&n);
        return rc;
    }

    std::optional<RouterAnswer> mapNatpmp(quint16 port, int lease, qint64 ms)
    {
        const QDeadlineTimer deadline(ms);
        natpmpresp_t response{};
        bool asked = false;
        const int rc = natpmpAsk(
                &response, deadline,
                [&](natpmp_t *n) {
                    return sendnewportmappingrequest(n, NATPMP_PROTOCOL_TCP, port, port, quint32(lease));
                },
                &asked);
        // Only the router's own result codes are a refusal; anything else
        // (no gateway, no answer, nothing listening) means no router spoke.
        const bool refused = rc == NATPMP_ERR_NOTAUTHORIZED || rc == NATPMP_ERR_NETWORKFAILURE
                || rc == NATPMP_ERR_OUTOFRESOURCES || rc == NATPMP_ERR_UNDEFINEDERROR;
        if (rc < 0 && !refused) {
            // A router that answers after the give-up maps the port anyway:
            // the question is taken back.
            if (asked)
                natpmpSend(port, 0);
            return std::nullopt;
        }
        if (rc < 0)
            return RouterAnswer{
                    false, {}, QStringLiteral("The router refused: %1").arg(QString::fromLatin1(strnatpmperr(rc)))};
        m_how = How::Natpmp;
        if (response.pnu.newportmapping.mappedpublicport != port) {
            // Another computer holds the port: the router offered another,
            // which players typing the address would not find.
            natpmpSend(port, 0);
            m_how = How::None;
            return RouterAnswer{false, {}, conflictText()};
        }
        natpmpresp_t address{};
        if (natpmpAsk(&address, QDeadlineTimer(AskMs / 2), [](natpmp_t *n) { return sendpublicaddressrequest(n); })
                != 0)
            return publicAnswer({});
        return publicAnswer(QHostAddress(ntohl(address.pnu.publicaddress.addr.s_addr)).toString());
    }

    Fd m_wake;
    std::atomic_bool m_cancelled{false};
    How m_how = How::None;
    std::optional<Service> m_service;
    QByteArray m_lan;
};

} // namespace

RouterClient *makeHomeRouter()
{
    return new HomeRouter;
}

} // namespace lobby
