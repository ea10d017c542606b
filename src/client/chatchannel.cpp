#include "chatchannel.h"

#include "chatline.h"
#include "colourtext.h"
#include "klotremarks.h"
#include "roster.h"
#include "rules.h"
#include "wiremessages.h"

#include <QDateTime>

namespace msg = wire::msg;

ChatChannel::ChatChannel(const Roster &roster, Sender send, QObject *parent)
    : QObject(parent), m_roster(roster), m_send(std::move(send))
{
    m_rng.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
}

void ChatChannel::heard(int sender, const QByteArray &text, quint32 colour)
{
    if (!m_unanswered.empty() && m_slot != 0 && sender == m_slot)
        m_unanswered.pop_front();
    emit chatLine(sender, text, colour);
}

void ChatChannel::heardAction(const wire::down::Action &line)
{
    heard(line.slot, line.line, line.colour);
}

void ChatChannel::heardChat(const wire::down::Chat &line)
{
    heard(line.slot, line.line, line.colour);
    klottalk();
}

// Klot answers chat in a game of one person against it; each client draws
// its own remark, nothing goes over the wire.
void ChatChannel::klottalk()
{
    if (m_roster.seat(2).name != QLatin1String(rules::KlotName) || m_roster.seat(3).name != Roster::Waiting
            || m_roster.seat(4).name != Roster::Waiting)
        return;
    if (const auto remark = rules::klotRemark(m_rng))
        emit systemLine(tr("Klot the bot says: ").toLatin1() + *remark);
}

void ChatChannel::sendChat(const QByteArray &typed, quint32 colour)
{
    if (typed.isEmpty())
        return;
    const QByteArray text = wire::typedText(typed.left(wire::MaxChatText));
    if (!text.startsWith('/'))
        sendOwn(false, text, colour);
    else if (text.startsWith("/me"))
        sendAction(text.mid(4), colour);
}

void ChatChannel::sendAction(const QByteArray &text, quint32 colour)
{
    sendOwn(true, wire::typedText(text.left(wire::MaxChatText)), colour);
}

void ChatChannel::sendOwn(bool action, const QByteArray &text, quint32 colour)
{
    const QByteArray c = wire::colourToText(colour);
    const bool sent = m_send(action ? msg::action(m_slot, text, c) : msg::chat(m_slot, text, c));
    if (m_slot == 0)
        return; // never logged in: there is nobody to say it to
    if (m_unanswered.size() >= MaxUnanswered)
        m_unanswered.pop_front();
    m_unanswered.push_back({action, text, colour, QDateTime::currentMSecsSinceEpoch()});
    if (!sent)
        emit chatLine(0,
                tr("Not sent yet: the connection to the host is down. It goes as soon as you are back in the game.")
                        .toLatin1(),
                wire::textToColour("clNavy"));
}

void ChatChannel::resendUnanswered()
{
    const qint64 oldest = QDateTime::currentMSecsSinceEpoch() - KeepUnansweredMs;
    std::deque<OwnLine> lines;
    lines.swap(m_unanswered);
    for (const OwnLine &l : lines)
        if (l.sentAt >= oldest)
            sendOwn(l.action, l.text, l.colour);
}

void ChatChannel::sendChatterSound(int k)
{
    // Spectators listen; only the seated send.
    if (k >= 1 && Roster::isSeat(m_slot))
        m_send(msg::playasound(m_slot, k));
}
