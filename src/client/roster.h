#pragma once
// Who sits where and who watches, as the host announced them: the four seats
// (name, watching, this game's total and best word) and the spectators.
// Joins, leaves and watch changes arrive here; what changed leaves as
// signals (and system lines for the chat).

#include "typedmessages.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <array>

class Roster : public QObject {
    Q_OBJECT
public:
    static constexpr int Seats = 4;
    static inline const QString Waiting = QStringLiteral("<Waiting>");

    struct Seat {
        QString name = Waiting;
        bool watching = false;
        // This game's total and best word, as the host reported them.
        int total = 0;
        QByteArray bestWord;
        int bestPoints = 0;
    };

    explicit Roster(QObject *parent = nullptr) : QObject(parent) { }

    static bool isSeat(int slot) { return slot >= 1 && slot <= Seats; }
    // Seat 0 answers for any slot that is not a seat.
    const Seat &seat(int s) const { return m_seats[size_t(isSeat(s) ? s : 0)]; }
    Seat &seat(int s) { return m_seats[size_t(isSeat(s) ? s : 0)]; }

    // The host's announcements; ownSlot tells this user's own entries apart.
    void joined(const QList<wire::down::Present> &users, int ownSlot);
    // A user gone; slot -1 when the host's number did not read.
    void left(int slot, const QByteArray &name);
    void watching(int seat, bool watching);
    void setWatching(int seat, bool watching);
    // Nobody seated, nobody watching.
    void reset();
    // People present besides this user: seated (Klot is nobody) and watching.
    int othersPresent(int ownSlot) const;

signals:
    void systemLine(const QByteArray &line);
    void playerJoined(int slot, const QByteArray &name);
    void playerLeft(int slot, const QByteArray &name);
    void seatChanged(int seat);

private:
    std::array<Seat, Seats + 1> m_seats{}; // 1..4; 0 answers for any other slot
    QHash<int, QByteArray> m_spectators;
};
