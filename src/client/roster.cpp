#include "roster.h"

#include "fieldreader.h"
#include "wiremessages.h"
#include "rules.h"

void Roster::joined(const QByteArray &data, int ownSlot)
{
    wire::msg::readPlayers(data, [&](int slot, const QByteArray &name, const QByteArray &watch) {
        // A connection that has not logged in yet has no name: nobody to
        // show until it does (it is announced then).
        if (name.isEmpty())
            return;
        emit systemLine(slot == ownSlot ? QByteArray("0+You are Connected.") : "0+" + name + " is Connected.");
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
            emit systemLine(slot == ownSlot ? QByteArray("0+You are spying.") : "0+" + name + " is spying.");
        }
    });
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

void Roster::left(const QByteArray &data)
{
    const auto [slotText, name] = wire::msg::readSlotAndRest(data);
    const int slot = wire::parseInt(slotText).value_or(-1);
    if (isSeat(slot)) {
        Seat &s = m_seats[size_t(slot)];
        if (s.name != Waiting)
            emit systemLine("0+" + s.name.toLatin1() + " disconnected.");
        s.name = slotText == "2" ? QString::fromLatin1(rules::KlotName) : Waiting;
        s.watching = false;
        emit playerLeft(slot, name);
        emit seatChanged(slot);
    } else if (slotText == QByteArray::number(slot) && m_spectators.contains(slot)
            && m_spectators.value(slot).compare(name, Qt::CaseInsensitive) == 0) {
        m_spectators.remove(slot);
        emit playerLeft(slot, name);
        emit systemLine("0+" + name + " has left.");
    }
}
void Roster::watching(const QByteArray &data)
{
    const auto [seat, mode] = wire::msg::readSeatAndRest(data);
    if (!isSeat(seat))
        return;
    const QByteArray caption = m_seats[size_t(seat)].name.toLatin1();
    setWatching(seat, mode == "1");
    emit systemLine("0+" + caption + (mode == "1" ? " is just watching" : " is now playing again"));
}

void Roster::setWatching(int seat, bool watching)
{
    m_seats[size_t(seat)].watching = watching;
    emit seatChanged(seat);
}
