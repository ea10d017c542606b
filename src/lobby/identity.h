#pragma once
// Who a copy is in the internet lobby. Each copy has an Ed25519 key pair,
// made once and kept beside its settings; its lobby id is a digest of the
// public key. Everything it publishes carries the public key and a
// signature over the topic (which names the id) and the message, so a
// message counts only if it was signed by the key the id was made from:
// nobody can list, speak or offer a connection in another's name, even
// with the other's client id in hand.

#include <QByteArray>
#include <QString>

#include <optional>

namespace lobby {

class Identity {
public:
    // A new key pair, kept nowhere (tests, and a copy whose key file
    // cannot be written); nullopt without the internet module.
    static std::optional<Identity> fresh();
    // The key kept in this file, or a new one written there. A file that
    // does not read is kept aside as "<file>.bad" and replaced.
    static std::optional<Identity> kept(const QString &path);

    // "wm" and 21 letters and digits: a client id any broker takes.
    const QString &id() const { return m_id; }
    // The message as published under the topic: key, signature, when it
    // was sealed (ms since the epoch, for receivers to refuse replays), message.
    QByteArray seal(const QByteArray &topic, const QByteArray &message, qint64 when) const;

private:
    static std::optional<Identity> fromSeed(QByteArray seed);
    QByteArray m_seed;
    QByteArray m_public;
    QByteArray m_secret;
    QString m_id;
};

// The id a public key gives.
QString idOfKey(const QByteArray &publicKey);
// The message inside a payload published under the topic by this id;
// nullopt when the signature is missing, does not match, or was made by a
// key other than the id's.
struct Unsealed {
    QByteArray message;
    qint64 when = 0;
};
std::optional<Unsealed> unseal(const QByteArray &topic, const QString &id, const QByteArray &payload);

} // namespace lobby
