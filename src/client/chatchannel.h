#pragma once
// The chat as the client model carries it: lines and actions from the host
// (Klot answering in a game against it alone), chatter sounds relayed, and
// the user's own lines, actions and chatter sounds, made safe to send.

#include <QObject>
#include <QRandomGenerator>

#include <functional>

class Roster;

class ChatChannel : public QObject {
    Q_OBJECT
public:
    // Sends a finished message as this slot (nothing when not logged in).
    using Sender = std::function<void(const QByteArray &message)>;
    ChatChannel(const Roster &roster, Sender send, QObject *parent = nullptr);

    void setSlot(int slot) { m_slot = slot; }
    // Klot's remarks draw from this source (tests pin it).
    void setChatterSeed(quint32 seed) { m_rng.seed(seed); }

    // The host's CMD_chat (then Klot may answer), CMD_action, CMD_playasound.
    void chatline(const QByteArray &data);
    void chatrecieved(const QByteArray &data);
    void playasound(const QByteArray &data);

    void sendChat(const QByteArray &typed, quint32 colour);
    // An action line (a phrase button), as typed after "/me ".
    void sendAction(const QByteArray &text, quint32 colour);
    // A chatter sound, "wave" + k (seated users only).
    void sendChatterSound(int k);

signals:
    void systemLine(const QByteArray &line);
    void chatLine(const QByteArray &line, quint32 colour);
    // A chatter sound: the sender's slot as sent, and the sound's name.
    void chatterSound(const QByteArray &slot, const QString &name);

private:
    void klottalk();

    const Roster &m_roster;
    Sender m_send;
    int m_slot = 0;
    QRandomGenerator m_rng;
};
