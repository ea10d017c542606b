// The internet module: the router libraries and the broker's client
// library, loaded only when a copy hosts or opens the internet lobby.

#include "homerouter.h"
#include "icelink.h"
#include "netbackend.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <mosquitto.h>
#include <sodium.h>

#include <cstring>
#include <mutex>

namespace lobby {

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
        // TLS failures reach the program only as the library's log lines.
        mosquitto_log_callback_set(m_mosq, [](mosquitto *, void *self, int level, const char *text) {
            if (level == MOSQ_LOG_ERR && text && std::strncmp(text, "OpenSSL Error", 13) == 0)
                static_cast<Mosquitto *>(self)->m_events.tlsFailed(QString::fromLatin1(text).left(200));
        });
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
    QString refusal(int rc) const override
    {
        // "Connection Refused: not authorised." says it twice.
        QString words = QString::fromLatin1(mosquitto_connack_string(rc));
        words.remove(QStringLiteral("Connection Refused: "));
        if (words.endsWith(QLatin1Char('.')))
            words.chop(1);
        return words;
    }

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

bool makeKeys(QByteArray *seed, QByteArray *publicKey, QByteArray *secretKey)
{
    if (sodium_init() < 0)
        return false;
    if (seed->isEmpty()) {
        seed->resize(crypto_sign_SEEDBYTES);
        randombytes_buf(seed->data(), size_t(seed->size()));
    }
    if (seed->size() != crypto_sign_SEEDBYTES)
        return false;
    publicKey->resize(crypto_sign_PUBLICKEYBYTES);
    secretKey->resize(crypto_sign_SECRETKEYBYTES);
    return crypto_sign_seed_keypair(reinterpret_cast<unsigned char *>(publicKey->data()),
                   reinterpret_cast<unsigned char *>(secretKey->data()),
                   reinterpret_cast<const unsigned char *>(seed->constData()))
            == 0;
}

QByteArray sign(const QByteArray &secretKey, const QByteArray &message)
{
    if (secretKey.size() != crypto_sign_SECRETKEYBYTES)
        return {};
    QByteArray signature(crypto_sign_BYTES, Qt::Uninitialized);
    crypto_sign_detached(reinterpret_cast<unsigned char *>(signature.data()), nullptr,
            reinterpret_cast<const unsigned char *>(message.constData()), size_t(message.size()),
            reinterpret_cast<const unsigned char *>(secretKey.constData()));
    return signature;
}

bool verify(const QByteArray &publicKey, const QByteArray &message, const QByteArray &signature)
{
    if (publicKey.size() != crypto_sign_PUBLICKEYBYTES || signature.size() != crypto_sign_BYTES || sodium_init() < 0)
        return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()),
                   reinterpret_cast<const unsigned char *>(message.constData()), size_t(message.size()),
                   reinterpret_cast<const unsigned char *>(publicKey.constData()))
            == 0;
}

QByteArray digest(const QByteArray &data, int bytes)
{
    if (bytes < int(crypto_generichash_BYTES_MIN) || bytes > int(crypto_generichash_BYTES_MAX))
        return {};
    QByteArray out(bytes, Qt::Uninitialized);
    crypto_generichash(reinterpret_cast<unsigned char *>(out.data()), size_t(bytes),
            reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()), nullptr, 0);
    return out;
}

} // namespace lobby

extern "C" __attribute__((visibility("default"))) const lobby::NetModule *wordmire_net_module()
{
    static const lobby::NetModule module{&lobby::makeHomeRouter, &lobby::makeMqtt, &lobby::makeIceLink,
            &lobby::makeKeys, &lobby::sign, &lobby::verify, &lobby::digest};
    return &module;
}
