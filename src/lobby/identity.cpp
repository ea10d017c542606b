#include "identity.h"

#include "netbackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace lobby {

namespace {

constexpr int KeyBytes = 32;
constexpr int SignatureBytes = 64;
// 104 bits of the key's digest: finding another key with the same id is
// out of anyone's reach.
constexpr int IdDigestBytes = 13;
constexpr auto Encoding = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
constexpr auto Decoding = Encoding | QByteArray::AbortOnBase64DecodingErrors;

QByteArray signedPart(const QByteArray &topic, const QByteArray &when, const QByteArray &message)
{
    return topic + '\n' + when + '\n' + message;
}

} // namespace

QString idOfKey(const QByteArray &publicKey)
{
    const NetModule *module = netModule();
    if (!module || publicKey.size() != KeyBytes)
        return {};
    const QByteArray d = module->digest(publicKey, 16).first(IdDigestBytes);
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz234567";
    QString id = QStringLiteral("wm");
    quint32 bits = 0;
    int have = 0;
    for (char c : d) {
        bits = (bits << 8) | quint8(c);
        have += 8;
        while (have >= 5) {
            have -= 5;
            id += QLatin1Char(alphabet[(bits >> have) & 31]);
        }
    }
    if (have > 0)
        id += QLatin1Char(alphabet[(bits << (5 - have)) & 31]);
    return id;
}

std::optional<Identity> Identity::fromSeed(QByteArray seed)
{
    const NetModule *module = netModule();
    Identity me;
    if (!module || !module->keys(&seed, &me.m_public, &me.m_secret))
        return std::nullopt;
    me.m_seed = seed;
    me.m_id = idOfKey(me.m_public);
    return me;
}

std::optional<Identity> Identity::fresh()
{
    return fromSeed({});
}

std::optional<Identity> Identity::kept(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray seed = QByteArray::fromHex(file.read(4 * KeyBytes).trimmed());
        file.close();
        if (seed.size() == KeyBytes)
            if (std::optional<Identity> me = fromSeed(seed))
                return me;
        QFile::remove(path + QStringLiteral(".bad"));
        QFile::rename(path, path + QStringLiteral(".bad"));
    }
    std::optional<Identity> me = fresh();
    if (!me)
        return std::nullopt;
    // Only its owner reads it: the key speaks for the player.
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        out.write(me->m_seed.toHex() + '\n');
        out.commit();
    }
    return me;
}

QByteArray Identity::seal(const QByteArray &topic, const QByteArray &message, qint64 when) const
{
    const NetModule *module = netModule();
    if (!module)
        return {};
    const QByteArray stamp = QByteArray::number(when);
    const QByteArray signature = module->sign(m_secret, signedPart(topic, stamp, message));
    return m_public.toBase64(Encoding) + '.' + signature.toBase64(Encoding) + '.' + stamp + '.' + message;
}

std::optional<Unsealed> unseal(const QByteArray &topic, const QString &id, const QByteArray &payload)
{
    const NetModule *module = netModule();
    QByteArrayView parts[3];
    qsizetype from = 0;
    for (QByteArrayView &part : parts) {
        const qsizetype dot = payload.indexOf('.', from);
        if (!module || dot < 0)
            return std::nullopt;
        part = QByteArrayView(payload).sliced(from, dot - from);
        from = dot + 1;
    }
    const auto key = QByteArray::fromBase64Encoding(parts[0].toByteArray(), Decoding);
    const auto signature = QByteArray::fromBase64Encoding(parts[1].toByteArray(), Decoding);
    bool number = false;
    const qint64 when = parts[2].toLongLong(&number);
    if (!key || !signature || key.decoded.size() != KeyBytes || signature.decoded.size() != SignatureBytes || !number
            || parts[2].size() > 15 || idOfKey(key.decoded) != id)
        return std::nullopt;
    QByteArray message = payload.sliced(from);
    if (!module->verify(key.decoded, signedPart(topic, parts[2].toByteArray(), message), signature.decoded))
        return std::nullopt;
    return Unsealed{std::move(message), when};
}

} // namespace lobby
