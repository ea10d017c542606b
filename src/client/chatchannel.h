#pragma once
// The chat as the client model carries it: lines and actions from the host
// (Klot answering in a game against it alone), chatter sounds relayed, and
// the user's own lines, actions and chatter sounds, made safe to send.

#include "typedmessages.h"

#include <QObject>
#include <QRandomGenerator>

#include <deque>
#include <functional>

class Roster;

class ChatChannel : public QObject {
    Q_OBJECT
public:
    // Sends a finished message as this slot (nothing when not logged in);
    // false when the connection is not open.
    using Sender = std::function<bool(const QByteArray &message)>;
    // Own lines the host has not yet relayed back are kept this long: after
    // a link that died in silence (noticed within about a minute) they are
    // sent again once back in the game.
    static constexpr int KeepUnansweredMs = 90 * 1000;
    static constexpr int MaxUnanswered = 20;
    ChatChannel(const Roster &roster, Sender send, QObject *parent = nullptr);

    void setSlot(int slot) { m_slot = slot; }
    // Another host: no slot, and nothing waiting to be sent again.
    void reset()
    {
        m_slot = 0;
        m_unanswered.clear();
    }
    // Klot's remarks draw from this source (tests pin it).
    void setChatterSeed(quint32 seed) { m_rng.seed(seed); }

    // The host's chat lines (then Klot may answer) and action lines.
    void heardChat(const wire::down::Chat &line);
    void heardAction(const wire::down::Action &line);

    void sendChat(const QByteArray &typed, quint32 colour);
    // An action line (a phrase button), as typed after "/me ".
    void sendAction(const QByteArray &text, quint32 colour);
    // A chatter sound, "wave" + k (seated users only).
    void sendChatterSound(int k);
    // Back in the game after a dropped connection: own lines the host never
    // relayed go again (lines older than KeepUnansweredMs are dropped).
    void resendUnanswered();
    int unanswered() const { return int(m_unanswered.size()); }

signals:
    void systemLine(const QByteArray &text);
    // A line from a user (slot 1 to 9) or from the host (0).
    void chatLine(int sender, const QByteArray &text, quint32 colour);

private:
    void klottalk();
    void sendOwn(bool action, const QByteArray &text, quint32 colour);
    // A line from the host: an own line it relayed is answered.
    void heard(int sender, const QByteArray &text, quint32 colour);

    struct OwnLine {
        bool action;
        QByteArray text;
        quint32 colour;
        qint64 sentAt; // ms since the epoch
    };
    std::deque<OwnLine> m_unanswered;

    const Roster &m_roster;
    Sender m_send;
    int m_slot = 0;
    QRandomGenerator m_rng;
};
