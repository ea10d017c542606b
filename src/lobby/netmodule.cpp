// The internet module: the router libraries and the broker's client
// library, loaded only when a copy hosts or opens the internet lobby.

#include "netbackend.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>
#define ENABLE_STRNATPMPERR
#include <natpmp.h>
#include <mosquitto.h>

#include <arpa/inet.h>
#include <sys/select.h>

#include <mutex>
#include <optional>

namespace lobby {

namespace {

// Everything with the router, looking for it included, ends within this.
constexpr int AskMs = 2000;
constexpr int DiscoverMs = 1000;
// UPnP's answers for a port someone else holds, and for a router that
// takes permanent mappings only.
constexpr int UpnpConflict = 718;
constexpr int UpnpPermanentOnly = 725;
} // namespace

// UPnP first, NAT-PMP when no UPnP device answers.
class Router : public RouterClient {
public:
    ~Router() override { forgetUpnp(); }

    RouterAnswer map(quint16 port, int lease) override
    {
        QElapsedTimer clock;
        clock.start();
        if (m_how == How::None || m_how == How::Upnp) {
            if (std::optional<RouterAnswer> a = mapUpnp(port, lease))
                return *a;
        }
        if (std::optional<RouterAnswer> a = mapNatpmp(port, lease, qMax(250, AskMs - int(clock.elapsed()))))
            return *a;
        return {false, {}, noRouterText(port)};
    }

    void unmap(quint16 port) override
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
    std::optional<RouterAnswer> mapUpnp(quint16 port, int lease)
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
            return RouterAnswer{false, {}, conflictText()};
        if (rc != UPNPCOMMAND_SUCCESS) {
            const char *why = strupnperror(rc);
            return RouterAnswer{false, {},
                    QStringLiteral("The router refused: %1")
                            .arg(why ? QString::fromLatin1(why) : QStringLiteral("error %1").arg(rc))};
        }
        m_how = How::Upnp;
        return publicAnswer(QString::fromLatin1(external));
    }

    std::optional<RouterAnswer> mapNatpmp(quint16 port, int lease, int ms)
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
            return RouterAnswer{
                    false, {}, QStringLiteral("The router refused: %1").arg(QString::fromLatin1(strnatpmperr(rc)))};
        if (response.pnu.newportmapping.mappedpublicport != port) {
            // Another computer holds the port: the router offered another,
            // which players typing the address would not find.
            natpmpRequest(port, 0, qMax(250, ms - int(clock.elapsed())));
            return RouterAnswer{false, {}, conflictText()};
        }
        m_how = How::Natpmp;
        natpmpresp_t address{};
        if (natpmpAsk(&address, qMax(250, ms - int(clock.elapsed())), [](natpmp_t *n) {
                return sendpublicaddressrequest(n);
            }) != 0)
            return publicAnswer({});
        return publicAnswer(QHostAddress(ntohl(address.pnu.publicaddress.addr.s_addr)).toString());
    }

    static RouterAnswer publicAnswer(const QString &external)
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

// libmosquitto with its own network thread; events are handed on as they come.
class Mosquitto : public MqttClient {
public:
    Mosquitto(mosquitto *m, Events events, int keepalive)
        : m_mosq(m), m_events(std::move(events)), m_keepalive(keepalive)
    {
        mosquitto_user_data_set(m_mosq, this);
        mosquitto_connect_callback_set(m_mosq,
                [](mosquitto *, void *self, int rc) { static_cast<Mosquitto *>(self)->m_events.connected(rc); });
        mosquitto_disconnect_callback_set(
                m_mosq, [](mosquitto *, void *self, int) { static_cast<Mosquitto *>(self)->m_events.disconnected(); });
        mosquitto_message_callback_set(m_mosq, [](mosquitto *, void *self, const mosquitto_message *m) {
            if (!m->topic || m->payloadlen < 0)
                return;
            static_cast<Mosquitto *>(self)->m_events.message(
                    QByteArray(m->topic), QByteArray(static_cast<const char *>(m->payload), m->payloadlen));
        });
    }
    ~Mosquitto() override
    {
        if (m_started)
            stop();
        mosquitto_destroy(m_mosq);
    }
    void connectTo(const QByteArray &host, quint16 port) override
    {
        mosquitto_connect_async(m_mosq, host.constData(), port, m_keepalive);
        mosquitto_loop_start(m_mosq);
        m_started = true;
    }
    void publish(const QByteArray &topic, const QByteArray &payload, int qos, bool retain) override
    {
        mosquitto_publish(m_mosq, nullptr, topic.constData(), int(payload.size()),
                payload.isEmpty() ? nullptr : payload.constData(), qos, retain);
    }
    void subscribe(const QByteArray &topic) override { mosquitto_subscribe(m_mosq, nullptr, topic.constData(), 0); }
    void stop() override
    {
        if (!m_started)
            return;
        m_started = false;
        mosquitto_disconnect(m_mosq);
        // The thread sends what is queued and ends; one waiting out a retry
        // is woken. It is never cancelled: cancelling a thread that may be
        // inside our own callbacks would leave them half done.
        mosquitto_loop_stop(m_mosq, false);
    }
    QString refusal(int rc) const override { return QString::fromLatin1(mosquitto_connack_string(rc)); }

private:
    mosquitto *m_mosq;
    Events m_events;
    int m_keepalive;
    bool m_started = false;
};

MqttClient *makeMqtt(const MqttClient::Setup &setup, MqttClient::Events events)
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
    mosquitto *m = mosquitto_new(setup.id.constData(), true, nullptr);
    if (!m)
        return nullptr;
    mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // Should this copy vanish, the broker clears its game for it.
    mosquitto_will_set(m, setup.willTopic.constData(), 0, nullptr, 1, true);
    mosquitto_reconnect_delay_set(m, 1, 30, true);
    if (setup.tls)
        mosquitto_tls_set(m, setup.caFile.isEmpty() ? nullptr : setup.caFile.constData(),
                setup.caFile.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    return new Mosquitto(m, std::move(events), setup.keepaliveSeconds);
}

RouterClient *makeRouter()
{
    return new Router;
}

} // namespace lobby

extern "C" __attribute__((visibility("default"))) const lobby::NetModule *wordmire_net_module()
{
    static const lobby::NetModule module{&lobby::makeRouter, &lobby::makeMqtt};
    return &module;
}
