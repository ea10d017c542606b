#include "typedmessages.h"

#include "chatline.h"
#include "fieldreader.h"
#include "wiremessages.h"

#include <utility>

namespace wire {

QByteArray Unreadable::describe() const
{
    return "'" + text + "' is not a valid integer value";
}

namespace {

struct Bad {
    int field;
    QByteArray text;
};

// Reads a message's fields in order and counts them, so that a number that
// does not read is known by its place.
class Reader {
public:
    explicit Reader(const QByteArray &data) : m_r(data) { }
    QByteArray field()
    {
        ++m_n;
        return m_r.field();
    }
    int number()
    {
        const QByteArray text = field();
        const auto value = parseInt(text);
        if (!value)
            throw Bad{m_n, text};
        return *value;
    }
    // A number field that may be missing or not read.
    std::optional<int> maybe() { return parseInt(field()); }
    const QByteArray &rest() const { return m_r.rest(); }
    bool hasRest() const { return !m_r.rest().isEmpty(); }
    void beginGroups() { m_r.beginGroups(); }
    bool moreGroups() const { return m_r.moreGroups(); }

private:
    FieldReader m_r;
    int m_n = 0;
};

// Fills a value of type T in place, so that what was read before a bad
// field stays in it.
template <class T, class V, class Fill> void decodeAs(Decoded<V> &out, const QByteArray &data, Fill fill)
{
    T &value = std::get<T>(out.message.emplace(std::in_place_type<T>));
    Reader r(data);
    try {
        fill(value, r);
        if constexpr (takesPartial<T>())
            value.complete = true;
    } catch (const Bad &bad) {
        out.error = Unreadable{bad.field, bad.text};
    }
}

template <class V> struct Entry {
    const char *command;
    void (*decode)(Decoded<V> &out, const QByteArray &data);
};

template <class V, size_t N> Decoded<V> decodeWith(const Entry<V> (&table)[N], const QByteArray &message)
{
    Decoded<V> out;
    const SplitMessage m = splitMessage(message);
    if (m.command.isEmpty())
        return out;
    for (const Entry<V> &e : table) {
        if (m.command == e.command) {
            e.decode(out, m.data);
            break;
        }
    }
    return out;
}

// A message of one number field.
template <class T, auto Field, class V> void oneNumber(Decoded<V> &out, const QByteArray &data)
{
    decodeAs<T>(out, data, [](T &v, Reader &r) { v.*Field = r.number(); });
}

template <class T, class V> void slotAndRest(Decoded<V> &out, const QByteArray &data)
{
    decodeAs<T>(out, data, [](T &v, Reader &r) {
        v.slot = r.number();
        if constexpr (requires { v.rest; })
            v.rest = r.rest();
        else if constexpr (requires { v.said; })
            v.said = r.rest();
        else if constexpr (requires { v.mode; })
            v.mode = r.rest();
        else
            v.key = r.rest();
    });
}

// ---- A window to the host ----

using C = Decoded<FromClient>;

const Entry<FromClient> fromClient[] = {
        {cmd::logininfo,
                [](C &out, const QByteArray &data) {
                    decodeAs<up::Login>(out, data, [](up::Login &v, Reader &r) {
                        v.slot = r.number();
                        v.version = r.field();
                        v.name = r.rest();
                    });
                }},
        {cmd::seatkey, slotAndRest<up::ShowKey, FromClient>},
        {cmd::kickhim,
                [](C &out, const QByteArray &data) {
                    decodeAs<up::Kick>(out, data, [](up::Kick &v, Reader &r) {
                        v.slot = r.number();
                        v.victim = r.number();
                    });
                }},
        {cmd::chat, slotAndRest<up::Chat, FromClient>},
        {cmd::action, slotAndRest<up::Action, FromClient>},
        {cmd::startgame,
                [](C &out, const QByteArray &data) {
                    decodeAs<up::StartGame>(out, data, [](up::StartGame &v, Reader &r) {
                        v.starter = r.field();
                        v.playto = r.number();
                        v.turntime = r.number();
                        v.team = r.field();
                        v.shuffles = r.number();
                    });
                }},
        {cmd::justwatch, slotAndRest<up::JustWatch, FromClient>},
        {cmd::playerdone,
                [](C &out, const QByteArray &data) {
                    decodeAs<up::PlayerDone>(out, data, [](up::PlayerDone &v, Reader &r) {
                        v.slot = r.number();
                        if (!r.hasRest())
                            return;
                        r.beginGroups();
                        while (r.moreGroups()) {
                            const int n = r.number();
                            const int x = r.number();
                            v.path.push_back({n, x, r.number()});
                        }
                    });
                }},
        {cmd::direction,
                [](C &out, const QByteArray &data) {
                    decodeAs<up::Direction>(out, data, [](up::Direction &v, Reader &r) {
                        v.slot = r.number();
                        v.direction = r.number();
                    });
                }},
        {cmd::selectletter, slotAndRest<up::SelectLetter, FromClient>},
        {cmd::selectclear, oneNumber<up::SelectClear, &up::SelectClear::slot, FromClient>},
        {cmd::clearletter, slotAndRest<up::ClearLetter, FromClient>},
        {cmd::shuffle, oneNumber<up::Shuffle, &up::Shuffle::slot, FromClient>},
        {cmd::playasound, slotAndRest<up::PlayASound, FromClient>},
};

// ---- The host to the windows ----

using H = Decoded<FromHost>;

template <class T> void said(H &out, const QByteArray &data)
{
    decodeAs<T>(out, data, [](T &v, Reader &r) {
        // Users have slots 1 to 9; any other number reads as the host's 0.
        const int slot = parseInt(r.field()).value_or(0);
        v.slot = slot >= 1 && slot <= 9 ? slot : 0;
        const ColouredLine l = splitColour(r.rest());
        v.line = l.line;
        v.colour = l.colour;
    });
}

template <class T> void players(H &out, const QByteArray &data)
{
    decodeAs<T>(out, data, [](T &v, Reader &r) {
        r.beginGroups();
        while (r.moreGroups()) {
            down::Present p;
            p.slot = r.number();
            p.name = r.field();
            p.watching = r.field();
            v.users.append(p);
        }
    });
}

template <class T> void nothing(H &out, const QByteArray &data)
{
    decodeAs<T>(out, data, [](T &, Reader &) {});
}

const Entry<FromHost> fromHost[] = {
        {cmd::sendlogininfo,
                [](H &out, const QByteArray &data) {
                    // The only message without a "+" before its terminator.
                    decodeAs<down::SendLogin>(
                            out, data + '+', [](down::SendLogin &v, Reader &r) { v.slot = r.number(); });
                }},
        {cmd::chat, said<down::Chat>},
        {cmd::action, said<down::Action>},
        {cmd::newplayerinfo, players<down::NewPlayer>},
        {cmd::havewrongversion,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::HaveWrongVersion>(
                            out, data, [&data](down::HaveWrongVersion &v, Reader &) { v.name = data; });
                }},
        {cmd::wrongversion, nothing<down::WrongVersion>},
        {cmd::existingplayers, players<down::ExistingPlayers>},
        {cmd::playerdisconnected,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::PlayerDisconnected>(out, data, [](down::PlayerDisconnected &v, Reader &r) {
                        const QByteArray slot = r.field();
                        const auto n = parseInt(slot);
                        v.slot = n && QByteArray::number(*n) == slot ? *n : -1;
                        v.name = r.rest();
                    });
                }},
        {cmd::startgame,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::StartGame>(out, data, [](down::StartGame &v, Reader &r) {
                        v.starter = r.field();
                        v.playto = r.field();
                        v.turntime = r.number();
                        v.team = r.field();
                        v.shuffles = r.maybe().value_or(0);
                    });
                }},
        {cmd::nextplayer,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::NextPlayer>(out, data, [](down::NextPlayer &v, Reader &r) {
                        v.seat = r.number();
                        v.shuffles = r.maybe().value_or(0);
                    });
                }},
        {cmd::winner,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::Winner>(out, data, [](down::Winner &v, Reader &r) { v.name = r.field(); });
                }},
        {cmd::full, nothing<down::Full>},
        {cmd::justwatching,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::JustWatching>(out, data, [](down::JustWatching &v, Reader &r) {
                        v.seat = r.number();
                        v.mode = r.rest();
                    });
                }},
        {cmd::theboard,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::TheBoard>(out, data, [](down::TheBoard &v, Reader &r) {
                        r.beginGroups();
                        while (r.moreGroups()) {
                            const int x = r.number();
                            const int y = r.number();
                            v.squares.push_back({x, y, r.number()});
                        }
                    });
                }},
        {cmd::notvalid,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::NotValid>(out, data, [](down::NotValid &v, Reader &r) {
                        v.seat = r.number();
                        v.word = r.field();
                    });
                }},
        {cmd::madeword,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::MadeWord>(out, data, [](down::MadeWord &v, Reader &r) {
                        v.seat = r.number();
                        v.word = r.field();
                        v.score = r.field();
                        v.total = r.field();
                        v.points = parseInt(v.score).value_or(0);
                        v.totalPoints = parseInt(v.total).value_or(0);
                        v.teamA = r.field();
                        v.teamB = r.field();
                        if (!r.hasRest())
                            return;
                        r.beginGroups();
                        while (r.moreGroups()) {
                            const int x = r.number();
                            v.cells.append(QPoint(x, r.number()));
                        }
                    });
                }},
        {cmd::timeup, nothing<down::TimeUp>},
        {cmd::gamestats,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::GameStats>(out, data, [](down::GameStats &v, Reader &r) {
                        v.current = r.number();
                        v.playto = r.field();
                        v.timePerTurn = r.number();
                        v.timeLeft = r.number();
                        v.team = r.field();
                        for (size_t seat = 0; seat < v.scores.size(); ++seat) {
                            v.scores[seat] = r.field();
                            v.totals[seat] = parseInt(v.scores[seat]).value_or(0);
                        }
                        v.teamA = r.field();
                        v.teamB = r.field();
                    });
                }},
        {cmd::selectletter,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::Pick>(out, data, [](down::Pick &v, Reader &r) {
                        v.seat = r.number();
                        v.index = r.number();
                        const int x = r.number();
                        v.cell = QPoint(x, r.number());
                    });
                }},
        {cmd::selectclear, oneNumber<down::SelectClear, &down::SelectClear::seat, FromHost>},
        {cmd::moving, oneNumber<down::Moving, &down::Moving::direction, FromHost>},
        {cmd::clearletter,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::ClearLetter>(out, data, [](down::ClearLetter &v, Reader &r) {
                        v.seat = r.number();
                        v.index = r.number();
                    });
                }},
        {cmd::useshuffle,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::UseShuffle>(out, data, [](down::UseShuffle &v, Reader &r) {
                        v.seat = r.number();
                        v.shuffles = r.number();
                        v.timeleft = r.maybe();
                    });
                }},
        {cmd::shufflesl,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::ShufflesLeft>(out, data, [](down::ShufflesLeft &v, Reader &r) {
                        for (int seat = 1; seat <= 4; ++seat)
                            v.left.append(r.number());
                    });
                }},
        {cmd::bonus, oneNumber<down::Bonus, &down::Bonus::seat, FromHost>},
        {cmd::playasound,
                [](H &out, const QByteArray &data) {
                    decodeAs<down::PlayASound>(out, data, [&data](down::PlayASound &v, Reader &) {
                        // The slot up to the first "+" (all of it without
                        // one), the name up to the next.
                        const qsizetype first = data.indexOf('+');
                        v.slot = parseInt(first < 0 ? data : data.left(first)).value_or(0);
                        v.name = first < 0 ? QByteArray() : data.mid(first + 1);
                        const qsizetype second = v.name.indexOf('+');
                        if (second >= 0)
                            v.name.truncate(second);
                    });
                }},
        {cmd::seatkey, slotAndRest<SeatKey, FromHost>},
};

} // namespace

Decoded<FromClient> decodeFromClient(const QByteArray &message)
{
    return decodeWith(fromClient, message);
}

Decoded<FromHost> decodeFromHost(const QByteArray &message)
{
    return decodeWith(fromHost, message);
}

} // namespace wire
