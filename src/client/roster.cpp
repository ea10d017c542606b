#include "roster.h"

#include "rules.h"

void Roster::joined(const QList<wire::down::Present> &users, int ownSlot)
{
    for (const auto &[slot, name, watch] : users) {
        // A connection that has not logged in yet has no name: nobody to
        // show until it does (it is announced then).
        if (name.isEmpty())
            continue;
        emit systemLine(
                (slot == ownSlot ? tr("You are Connected.") : tr("%1 is Connected.").arg(QString::fromLatin1(name)))
                        .toLatin1());
        if (isSeat(slot)) {
            Seat &s = m_seats[size_t(slot)];
            s.name = QString::fromLatin1(name);
            if (watch == "1")
                s.watching = true;
            emit playerJoined(slot, name);
            emit seatChanged(slot);
        } else {
            m_spectators.insert(slot, name);
            emit playerJoined(slot, name);
            emit systemLine(
                    (slot == ownSlot ? tr("You are spying.") : tr("%1 is spying.").arg(QString::fromLatin1(name)))
                            .toLatin1());
        }
    }
}
int Roster::othersPresent(int ownSlot) const
{
    int n = 0;
    for (int seat = 1; seat <= Seats; ++seat) {
        const QString &name = m_seats[size_t(seat)].name;
        if (seat != ownSlot && name != Waiting && name != QLatin1String(rules::KlotName))
            ++n;
    }
    for (auto it = m_spectators.cbegin(); it != m_spectators.cend(); ++it)
        n += it.key() != ownSlot;
    return n;
}

void Roster::left(int slot, const QByteArray &name)
{
    if (isSeat(slot)) {
        Seat &s = m_seats[size_t(slot)];
        if (s.name != Waiting)
            emit systemLine(tr("%1 disconnected.").arg(s.name).toLatin1());
        s.name = slot == 2 ? QString::fromLatin1(rules::KlotName) : Waiting;
        s.watching = false;
        emit playerLeft(slot, name);
        emit seatChanged(slot);
    } else if (m_spectators.contains(slot) && m_spectators.value(slot).compare(name, Qt::CaseInsensitive) == 0) {
        m_spectators.remove(slot);
        emit playerLeft(slot, name);
        emit systemLine(tr("%1 has left.").arg(QString::fromLatin1(name)).toLatin1());
    }
}
void Roster::watching(int seat, bool watching)
{
    if (!isSeat(seat))
        return;
    const QString caption = m_seats[size_t(seat)].name;
    setWatching(seat, watching);
    emit systemLine((watching ? tr("%1 is just watching") : tr("%1 is now playing again")).arg(caption).toLatin1());
}

void Roster::reset()
{
    m_seats = {};
    m_spectators.clear();
}

void Roster::setWatching(int seat, bool watching)
{
    m_seats[size_t(seat)].watching = watching;
    emit seatChanged(seat);
}
