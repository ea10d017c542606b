#include "portmap.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>
#define ENABLE_STRNATPMPERR
#include <natpmp.h>

#include <arpa/inet.h>
#include <sys/select.h>

namespace lobby {

QString mappedText(const QString &external)
{
    return QStringLiteral("Others on the internet join at %1").arg(external);
}

QString noRouterText(quint16 port)
{
    return QStringLiteral("No router answered; ask the host to forward TCP port %1").arg(port);
}

QString conflictText()
{
    return QStringLiteral("The router refused: port already mapped to another computer");
}

namespace {

// Everything with the router, looking for it included, ends within this.
constexpr int AskMs = 2000;
constexpr int DiscoverMs = 1000;
// UPnP's answers for a port someone else holds, and for a router that
// takes permanent mappings only.
constexpr int UpnpConflict = 718;
constexpr int UpnpPermanentOnly = 725;

// Addresses a router may have when another router (or the provider's
// shared NAT) stands between it and the internet.
bool notOnTheInternet(const QHostAddress &a)
{
    static const char *const inner[] = {"10.0.0.0/8", "172.16.0.0/12", "192.168.0.0/16", "100.64.0.0/10", "127.0.0.0/8",
            "169.254.0.0/16", "0.0.0.0/8"};
    for (const char *subnet : inner)
        if (a.isInSubnet(QHostAddress::parseSubnet(QLatin1String(subnet))))
            return true;
    return false;
}

struct Answer {
    bool mapped = false;
    QString external;
    QString status;
};

} // namespace

// Lives on the mapper's thread: each call may wait on the network.
class MapWorker : public QObject {
public:
    ~MapWorker() override { forgetUpnp(); }

    Answer map(quint16 port, int lease)
    {
        QElapsedTimer clock;
        clock.start();
        if (m_how == How::None || m_how == How::Upnp) {
            if (std::optional<Answer> a = mapUpnp(port, lease))
                return *a;
        }
        if (std::optional<Answer> a = mapNatpmp(port, lease, qMax(250, AskMs - int(clock.elapsed()))))
            return *a;
        return {false, {}, noRouterText(port)};
    }

    void unmap(quint16 port)
    {
        if (m_how == How::Upnp && m_upnpFound) {
            const QByteArray ext = QByteArray::number(port);
            UPNP_DeletePortMapping(m_urls.controlURL, m_data.first.servicetype, ext.constData(), "TCP", nullptr);
        } else if (m_how == How::Natpmp) {
            natpmpRequest(port, 0, AskMs);
        }
        m_how = How::None;
    }

private:
    enum class How { None, Upnp, Natpmp };

    void forgetUpnp()
    {
        if (m_upnpFound)
            FreeUPNPUrls(&m_urls);
        m_upnpFound = false;
    }

    // nullopt: no UPnP router here (NAT-PMP is asked next).
    std::optional<Answer> mapUpnp(quint16 port, int lease)
    {
        if (!m_upnpFound) {
            int error = 0;
            // One search (IGD version 2 devices answer it too): the library's
            // own list of four would wait four times as long for nobody.
            static const char *const types[] = {"urn:schemas-upnp-org:device:InternetGatewayDevice:1", nullptr};
            UPNPDev *devices =
                    upnpDiscoverDevices(types, DiscoverMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error, 0);
            if (!devices)
                return std::nullopt;
            m_urls = {};
            m_data = {};
            const int found = UPNP_GetValidIGD(devices, &m_urls, &m_data, m_lan, sizeof m_lan);
            freeUPNPDevlist(devices);
            if (found == 0)
                return std::nullopt;
            m_upnpFound = true;
            if (found != 1 && found != 2) {
                forgetUpnp();
                return std::nullopt;
            }
        }
        char external[40] = {};
        UPNP_GetExternalIPAddress(m_urls.controlURL, m_data.first.servicetype, external);
        const QByteArray number = QByteArray::number(port);
        auto add = [&](int seconds) {
            const QByteArray duration = QByteArray::number(seconds);
            return UPNP_AddPortMapping(m_urls.controlURL, m_data.first.servicetype, number.constData(),
                    number.constData(), m_lan, "Word Mire", "TCP", nullptr, duration.constData());
        };
        int rc = add(lease);
        if (rc == UpnpPermanentOnly)
            rc = add(0);
        if (rc == UpnpConflict)
            return Answer{false, {}, conflictText()};
        if (rc != UPNPCOMMAND_SUCCESS) {
            const char *why = strupnperror(rc);
            return Answer{false, {},
                    QStringLiteral("The router refused: %1")
                            .arg(why ? QString::fromLatin1(why) : QStringLiteral("error %1").arg(rc))};
        }
        m_how = How::Upnp;
        return publicAnswer(QString::fromLatin1(external));
    }

    std::optional<Answer> mapNatpmp(quint16 port, int lease, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        natpmpresp_t response{};
        const int rc = natpmpRequest(port, lease, ms, &response);
        // Only the router's own result codes are a refusal; anything else
        // (no gateway, no answer, nothing listening) means no router spoke.
        const bool refused = rc == NATPMP_ERR_NOTAUTHORIZED || rc == NATPMP_ERR_NETWORKFAILURE
                || rc == NATPMP_ERR_OUTOFRESOURCES || rc == NATPMP_ERR_UNDEFINEDERROR;
        if (rc < 0 && !refused)
            return std::nullopt;
        if (rc < 0)
            return Answer{
                    false, {}, QStringLiteral("The router refused: %1").arg(QString::fromLatin1(strnatpmperr(rc)))};
        if (response.pnu.newportmapping.mappedpublicport != port) {
            // Another computer holds the port: the router offered another,
            // which players typing the address would not find.
            natpmpRequest(port, 0, qMax(250, ms - int(clock.elapsed())));
            return Answer{false, {}, conflictText()};
        }
        m_how = How::Natpmp;
        natpmpresp_t address{};
        if (natpmpAsk(&address, qMax(250, ms - int(clock.elapsed())), [](natpmp_t *n) {
                return sendpublicaddressrequest(n);
            }) != 0)
            return publicAnswer({});
        return publicAnswer(QHostAddress(ntohl(address.pnu.publicaddress.addr.s_addr)).toString());
    }

    static Answer publicAnswer(const QString &external)
    {
        const QHostAddress a(external);
        if (a.isNull() || a.protocol() != QAbstractSocket::IPv4Protocol)
            return {true, {}, QStringLiteral("The router opened the port but did not say its internet address")};
        if (notOnTheInternet(a))
            return {true, {},
                    QStringLiteral("The router opened the port, but its own address %1 is not on the internet: "
                                   "another router stands between it and the internet")
                            .arg(external)};
        return {true, external, mappedText(external)};
    }

    int natpmpRequest(quint16 port, int lease, int ms, natpmpresp_t *response = nullptr)
    {
        natpmpresp_t scratch{};
        return natpmpAsk(response ? response : &scratch, ms, [&](natpmp_t *n) {
            return sendnewportmappingrequest(n, NATPMP_PROTOCOL_TCP, port, port, quint32(lease));
        });
    }

    // One request and its answer, giving up at the deadline rather than
    // after NAT-PMP's own minute of retries.
    template <typename Send> static int natpmpAsk(natpmpresp_t *response, int ms, Send send)
    {
        natpmp_t n;
        if (initnatpmp(&n, 0, 0) < 0)
            return NATPMP_ERR_CANNOTGETGATEWAY;
        QElapsedTimer clock;
        clock.start();
        int rc = send(&n);
        if (rc >= 0) {
            do {
                const qint64 left = ms - clock.elapsed();
                if (left <= 0) {
                    rc = NATPMP_TRYAGAIN;
                    break;
                }
                timeval timeout{};
                getnatpmprequesttimeout(&n, &timeout);
                const qint64 wait = qMin<qint64>(left, timeout.tv_sec * 1000 + timeout.tv_usec / 1000);
                timeout.tv_sec = wait / 1000;
                timeout.tv_usec = (wait % 1000) * 1000;
                fd_set fds;
                FD_ZERO(&fds);
                FD_SET(n.s, &fds);
                select(n.s + 1, &fds, nullptr, nullptr, &timeout);
                rc = readnatpmpresponseorretry(&n, response);
            } while (rc == NATPMP_TRYAGAIN);
        }
        closenatpmp(&n);
        return rc;
    }

    How m_how = How::None;
    bool m_upnpFound = false;
    UPNPUrls m_urls{};
    IGDdatas m_data{};
    char m_lan[64] = {};
};

PortMapper::PortMapper(QObject *parent) : QObject(parent), m_worker(new MapWorker)
{
    m_thread.setObjectName(QStringLiteral("router"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
    m_renew.setSingleShot(true);
    connect(&m_renew, &QTimer::timeout, this, [this] { ask(true); });
}

PortMapper::~PortMapper()
{
    const bool mapped = m_state == State::Mapped;
    const quint16 port = m_port;
    if (mapped)
        QMetaObject::invokeMethod(m_worker, [worker = m_worker, port] { worker->unmap(port); });
    m_thread.quit();
    m_thread.wait();
}

void PortMapper::start(quint16 port)
{
    if (m_state == State::Asking || m_state == State::Mapped)
        return;
    m_state = State::Asking;
    m_port = port;
    m_status = QStringLiteral("Asking the router to open TCP port %1...").arg(port);
    ask(false);
}

void PortMapper::ask(bool renewal)
{
    // The destructor waits for the worker, so this outlives every call; an
    // answer posted after it is gone is dropped with its event.
    QMetaObject::invokeMethod(m_worker, [this, worker = m_worker, port = m_port, lease = m_lease, renewal] {
        const Answer a = worker->map(port, lease);
        QMetaObject::invokeMethod(this, [this, a, renewal] { answered(a.mapped, a.external, a.status, renewal); });
    });
}

void PortMapper::stop()
{
    m_renew.stop();
    if (m_state == State::Off)
        return;
    // A question still on its way is answered first (the worker takes one
    // call at a time), so the removal also undoes what it made.
    const quint16 port = m_port;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, port] { worker->unmap(port); });
    m_state = State::Off;
    m_external.clear();
    m_status.clear();
}

void PortMapper::answered(bool mapped, const QString &external, const QString &status, bool renewal)
{
    // Stopped meanwhile: the answer is stale (and the removal follows it).
    if (m_state == State::Off)
        return;
    m_state = mapped ? State::Mapped : State::Failed;
    m_external = external;
    m_status = status;
    if (mapped && m_lease > 0)
        m_renew.start(qMax(1, m_lease / 2) * 1000);
    if (!renewal)
        emit finished(mapped, status);
    else if (mapped)
        emit renewed();
    else
        emit lost(status);
}

} // namespace lobby
