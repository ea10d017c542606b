#include "chatline.h"
#include "colourtext.h"
#include "fieldreader.h"
#include "framer.h"
#include "message.h"
#include "playername.h"
#include "wiremessages.h"
#include "decodedas.h"

#include <QTest>

#include <functional>

using namespace wire;

Q_DECLARE_METATYPE(QList<QByteArray>)

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void playerNames_data();
    void playerNames();
    void framer_data();
    void framer();
    void framerCap();
    void fields_data();
    void fields();
    void groups_data();
    void groups();
    void strictNumbers_data();
    void strictNumbers();
    void split_data();
    void split();
    void colourOut_data();
    void colourOut();
    void colourIn_data();
    void colourIn();
    void building();
    void catalogue_data();
    void catalogue();
    void reading();
    void readersGiveBackWhatWasWritten();
    void readingStopsAtABadNumber_data();
    void readingStopsAtABadNumber();
};

// Reads are separated by "|" in the input column; 0xFF is written as "#".
void TestProtocol::framer_data()
{
    QTest::addColumn<QByteArray>("reads");
    QTest::addColumn<QList<QByteArray>>("messages");
    QTest::addColumn<QByteArray>("pending");

    QTest::newRow("one whole") << QByteArray("CMD_full+#") << QList<QByteArray>{"CMD_full+"} << QByteArray();
    QTest::newRow("two in one read") << QByteArray("CMD_a+1#CMD_b+2#") << QList<QByteArray>{"CMD_a+1", "CMD_b+2"}
                                     << QByteArray();
    QTest::newRow("split over reads") << QByteArray("CMD_sendlog|ininfo+|1#")
                                      << QList<QByteArray>{"CMD_sendlogininfo+1"} << QByteArray();
    QTest::newRow("empty messages kept") << QByteArray("x##") << QList<QByteArray>{"x", ""} << QByteArray();
    QTest::newRow("rest waits") << QByteArray("a#b|c") << QList<QByteArray>{"a"} << QByteArray("bc");
    QTest::newRow("terminator alone") << QByteArray("|#|") << QList<QByteArray>{""} << QByteArray();
    QTest::newRow("nothing") << QByteArray("|") << QList<QByteArray>{} << QByteArray();
}

void TestProtocol::framer()
{
    QFETCH(QByteArray, reads);
    QFETCH(QList<QByteArray>, messages);
    QFETCH(QByteArray, pending);
    Framer f;
    QList<QByteArray> out;
    for (QByteArray chunk : reads.split('|')) {
        chunk.replace('#', Terminator);
        QVERIFY(f.feed(chunk, out));
    }
    QCOMPARE(out, messages);
    QCOMPARE(f.pending(), pending);
}

void TestProtocol::framerCap()
{
    Framer f(10);
    QList<QByteArray> out;
    QVERIFY(f.feed("0123456789", out));
    QVERIFY(!f.feed("a", out));
    QVERIFY(f.pending().isEmpty());
    // Complete messages before the flood still come out.
    Framer g(4);
    QVERIFY(!g.feed(QByteArray("ok") + Terminator + "123456", out));
    QCOMPARE(out, QList<QByteArray>{"ok"});
}

void TestProtocol::fields_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<QByteArray>>("fields");
    QTest::addColumn<QByteArray>("rest");

    QTest::newRow("two fields") << QByteArray("3+7+") << QList<QByteArray>{"3", "7"} << QByteArray();
    QTest::newRow("remainder keeps plus")
            << QByteArray("2+Ann chats: a+b|clRed") << QList<QByteArray>{"2"} << QByteArray("Ann chats: a+b|clRed");
    QTest::newRow("no plus left") << QByteArray("12") << QList<QByteArray>{""} << QByteArray("12");
    QTest::newRow("empty fields") << QByteArray("++x") << QList<QByteArray>{"", ""} << QByteArray("x");
}

void TestProtocol::fields()
{
    QFETCH(QByteArray, data);
    QFETCH(QList<QByteArray>, fields);
    QFETCH(QByteArray, rest);
    FieldReader r(data);
    for (const QByteArray &expected : fields)
        QCOMPARE(r.field(), expected);
    QCOMPARE(r.rest(), rest);
}

void TestProtocol::groups_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<QByteArray>>("groups");

    QTest::newRow("players") << QByteArray("1+You+0+2+Ann+1") << QList<QByteArray>{"1/You/0", "2/Ann/1"};
    QTest::newRow("one") << QByteArray("5+Bo+0") << QList<QByteArray>{"5/Bo/0"};
    QTest::newRow("empty name") << QByteArray("3++0") << QList<QByteArray>{"3//0"};
}

void TestProtocol::groups()
{
    QFETCH(QByteArray, data);
    QFETCH(QList<QByteArray>, groups);
    FieldReader r(data);
    r.beginGroups();
    QList<QByteArray> got;
    while (r.moreGroups() && got.size() < 10) {
        const QByteArray a = r.field();
        const QByteArray b = r.field();
        const QByteArray c = r.field();
        got.append(a + '/' + b + '/' + c);
    }
    QCOMPARE(got, groups);
}

void TestProtocol::strictNumbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("zero") << QByteArray("0") << true << 0;
    QTest::newRow("plain") << QByteArray("7772") << true << 7772;
    QTest::newRow("negative") << QByteArray("-1") << true << -1;
    QTest::newRow("max") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("min") << QByteArray("-2147483648") << true << int(-2147483648LL);
    QTest::newRow("overflow") << QByteArray("2147483648") << false << 0;
    QTest::newRow("huge") << QByteArray("99999999999999999999") << false << 0;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("minus only") << QByteArray("-") << false << 0;
    QTest::newRow("space") << QByteArray(" 1") << false << 0;
    QTest::newRow("trailing") << QByteArray("1a") << false << 0;
    QTest::newRow("hex") << QByteArray("$10") << false << 0;
    QTest::newRow("plus sign") << QByteArray("+1") << false << 0;
}

void TestProtocol::strictNumbers()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto got = parseInt(text);
    QCOMPARE(got.has_value(), ok);
    if (ok)
        QCOMPARE(*got, value);

    FieldReader r(text + "+tail");
    if (ok) {
        QCOMPARE(r.number(), value);
        QCOMPARE(r.rest(), QByteArray("tail"));
        // Written as it is read.
        QCOMPARE(Message("CMD_x").field(value).end(), "CMD_x+" + text + Terminator);
    } else {
        QVERIFY_THROWS_EXCEPTION(ConversionError, r.number());
    }
}

void TestProtocol::split_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("with data") << QByteArray("CMD_chat+2+hi+there") << QByteArray("CMD_chat")
                               << QByteArray("2+hi+there");
    QTest::newRow("trailing plus") << QByteArray("CMD_timeup+") << QByteArray("CMD_timeup") << QByteArray();
    QTest::newRow("no plus") << QByteArray("CMD_timeup") << QByteArray() << QByteArray();
    QTest::newRow("groups") << QByteArray("CMD_theboard+0+0+5") << QByteArray("CMD_theboard") << QByteArray("0+0+5");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
}

void TestProtocol::split()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, data);
    const SplitMessage m = splitMessage(message);
    QCOMPARE(m.command, command);
    QCOMPARE(m.data, data);
}

void TestProtocol::colourOut_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("blue") << quint32(0xFF0000) << QByteArray("clBlue");
    QTest::newRow("red") << quint32(0x0000FF) << QByteArray("clRed");
    QTest::newRow("black") << quint32(0) << QByteArray("clBlack");
    QTest::newRow("white") << quint32(0xFFFFFF) << QByteArray("clWhite");
    QTest::newRow("silver") << quint32(0xC0C0C0) << QByteArray("clSilver");
    QTest::newRow("other") << quint32(0x123456) << QByteArray("$00123456");
    QTest::newRow("upper hex") << quint32(0xABCDEF) << QByteArray("$00ABCDEF");
    // Extra names are understood but never produced.
    QTest::newRow("money green") << quint32(0xC0DCC0) << QByteArray("$00C0DCC0");
}

void TestProtocol::colourOut()
{
    QFETCH(quint32, colour);
    QFETCH(QByteArray, text);
    QCOMPARE(colourToText(colour), text);
    QCOMPARE(textToColour(text), colour);
}

void TestProtocol::colourIn_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint32>("colour");

    QTest::newRow("name any case") << QByteArray("CLNAVY") << quint32(0x800000);
    QTest::newRow("extra name") << QByteArray("clSkyBlue") << quint32(0xF0CAA6);
    QTest::newRow("decimal") << QByteArray("65280") << quint32(0x00FF00);
    QTest::newRow("dollar lower") << QByteArray("$00ff00") << quint32(0x00FF00);
    QTest::newRow("0x") << QByteArray("0x10") << quint32(16);
    QTest::newRow("garbage") << QByteArray("purple") << UnreadableColour;
    QTest::newRow("empty") << QByteArray("") << UnreadableColour;
    QTest::newRow("dollar only") << QByteArray("$") << UnreadableColour;
    QTest::newRow("too big") << QByteArray("$1FFFFFFFF") << UnreadableColour;
    QTest::newRow("bad hex") << QByteArray("$00GG00") << UnreadableColour;
}

void TestProtocol::colourIn()
{
    QFETCH(QByteArray, text);
    QFETCH(quint32, colour);
    QCOMPARE(textToColour(text), colour);
}

void TestProtocol::building()
{
    const QByteArray ff(1, Terminator);
    QCOMPARE(Message("CMD_sendlogininfo").field(1).end(), "CMD_sendlogininfo+1" + ff);
    QCOMPARE(Message("CMD_full").endPlus(), "CMD_full+" + ff);
    QCOMPARE(Message("CMD_existingplayers").raw("+2+Ann+0").end(), "CMD_existingplayers+2+Ann+0" + ff);
    QCOMPARE(safeName(QByteArray("a+b|c") + Terminator), QByteArray("a_b_c_"));
}

void TestProtocol::playerNames_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QByteArray>("visible");
    QTest::addColumn<bool>("printable"); // as a lobby may announce it
    QTest::addColumn<QByteArray>("alike"); // a name that reads the same
    QTest::newRow("plain") << QByteArray("Ann") << QByteArray("Ann") << true << QByteArray("aNN");
    QTest::newRow("spaces of every kind")
            << QByteArray(" Ann\xa0\t Lee ") << QByteArray("Ann Lee") << false << QByteArray("ann lee");
    QTest::newRow("invisible characters")
            << QByteArray("A\xadn\x01n\x85") << QByteArray("Ann") << false << QByteArray("ANN");
    QTest::newRow("Latin-1 letters") << QByteArray("Zo\xeb") << QByteArray("Zo\xeb") << true << QByteArray("ZO\xcb");
    QTest::newRow("Klot, however written")
            << QByteArray("kLoT") << QByteArray("kLoT") << true << QByteArray(wire::KlotName);
    QTest::newRow("field separators") << QByteArray("A+b|c\xff") << QByteArray("A+b|c\xff") << false
                                      << QByteArray("a+B|C\xff");
    QTest::newRow("longer than a seat box")
            << QByteArray(25, 'w') << QByteArray(25, 'w') << false << QByteArray(25, 'W');
}

// One rule for a name, wherever it is typed, announced, logged in or seated.
void TestProtocol::playerNames()
{
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, visible);
    QFETCH(bool, printable);
    QFETCH(QByteArray, alike);
    QCOMPARE(visibleName(typed), visible);
    QCOMPARE(printableName(QString::fromLatin1(typed)), printable);
    QVERIFY(sameName(typed, alike));
    QVERIFY(!sameName(typed, alike + "x"));
    // What passes the typing rule never shifts a message's fields.
    const bool typable = nameCharacters().match(QString::fromLatin1(typed)).capturedLength() == typed.size();
    QVERIFY(!typable || safeName(typed) == typed);
}

// Every message of the protocol, as the game's own table lays it out, with
// 0xFF written as "~" (no message here holds a "~" of its own).
void TestProtocol::catalogue_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected");
    msg::Grid board{};
    board[0][0] = 17;
    board[6][6] = 27;
    QByteArray boardText = "CMD_theboard";
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            boardText += "+" + QByteArray::number(x) + "+" + QByteArray::number(y) + "+"
                    + (x == 0 && y == 0                ? "17"
                                    : x == 6 && y == 6 ? "27"
                                                       : "0");
    const struct {
        const char *name;
        QByteArray built;
        QByteArray expected;
    } rows[] = {
            // Client to host.
            {"logininfo", msg::logininfo(1, "1.0.16", "You"), "CMD_logininfo+1+1.0.16+You~~"},
            {"kickhim", msg::kickhim(1, 6), "CMD_kickhim+1+6+~"},
            {"chat", msg::chat(2, "hi there", "clNavy"), "CMD_chat+2+hi there|clNavy~"},
            {"action", msg::action(3, "waves", "$00123456"), "CMD_action+3+waves|$00123456~"},
            {"startgame", msg::startgame("Ann", 500, 60, "f", 1), "CMD_startgame+Ann+500+60+f+1+~"},
            {"justwatch on", msg::justwatch(2, true), "CMD_justwatch+2+1~"},
            {"justwatch off", msg::justwatch(4, false), "CMD_justwatch+4+2~"},
            {"playerdone", msg::playerdone(1, {{0, 0}, {1, 1}, {2, 1}}), "CMD_playerdone+1+1+0+0+2+1+1+3+2+1~"},
            {"direction", msg::direction(1, 4), "CMD_direction+1+4+~"},
            {"selectletter", msg::selectletter(1, 2, {3, 4}), "CMD_selectletter+1+2+3+4+~"},
            {"selectclear", msg::selectclear(1), "CMD_selectclear+1+~"},
            {"clearletter", msg::clearletter(1, 3), "CMD_clearletter+1+3+~"},
            {"shuffle", msg::shuffle(3), "CMD_shuffle+3+~"},
            {"playasound", msg::playasound(2, 13), "CMD_playasound+2+wave13+~"},
            // Host to client.
            {"sendlogininfo", msg::sendlogininfo(5), "CMD_sendlogininfo+5~"},
            {"chat relayed", msg::chatLine(2, "Bo", "hi|clRed"), "CMD_chat+2+Bo chats: hi|clRed~"},
            {"action relayed", msg::actionLine(2, "Bo", "waves|clRed"), "CMD_action+2+Bo waves|clRed~"},
            {"newplayerinfo", msg::newplayerinfo(3, "Cy"), "CMD_newplayerinfo+3+Cy+0~"},
            {"havewrongversion", msg::havewrongversion("Cy"), "CMD_havewrongversion+Cy~"},
            {"wrongversion", msg::wrongversion(), "CMD_wrongversion+~"},
            {"existingplayers", msg::existingplayers({{1, "Ann", false}, {3, "Cy", true}}),
                    "CMD_existingplayers+1+Ann+0+3+Cy+1~"},
            {"playerdisconnected", msg::playerdisconnected(6, "Di"), "CMD_playerdisconnected+6+Di~"},
            {"nextplayer", msg::nextplayer(2, 1), "CMD_nextplayer+2+1+~"},
            {"winner", msg::winner("Team A"), "CMD_winner+Team A+~"},
            {"full", msg::full(), "CMD_full+~"},
            {"justwatching", msg::justwatching(2, true), "CMD_justwatching+2+1~"},
            {"theboard", msg::theboard(board), boardText + "~"},
            {"notvalid", msg::notvalid(1, "QXZ"), "CMD_notvalid+1+QXZ+~"},
            {"madeword", msg::madeword(1, "CAT", 27, 40, {40, 0}, {{0, 0}, {1, 0}, {2, 1}}),
                    "CMD_madeword+1+CAT+27+40+40+0+0+0+1+0+2+1~"},
            {"timeup", msg::timeup(), "CMD_timeup+~"},
            {"gamestats", msg::gamestats(2, 500, 60, 33, true, {10, 20, 30, 40}, {40, 60}),
                    "CMD_gamestats+2+500+60+33+t+10+20+30+40+40+60+~"},
            {"selectletter relayed", msg::relaySelectletter(1, "2+3+4+"), "CMD_selectletter+1+2+3+4+~"},
            {"selectclear relayed", msg::relaySelectclear(1), "CMD_selectclear+1+~"},
            {"moving", msg::moving(3), "CMD_moving+3+~"},
            {"clearletter relayed", msg::relayClearletter(1, "3+"), "CMD_clearletter+1+3+~"},
            {"useshuffle", msg::useshuffle(1, 0, 44), "CMD_useshuffle+1+0+44+~"},
            {"shufflesl", msg::shufflesl({1, 0, 2, 1}), "CMD_shufflesl+1+0+2+1+~"},
            {"bonus", msg::bonus(4, 20), "CMD_bonus+4+20+~"},
            {"playasound relayed", msg::relayPlayasound(2, "wave13+"), "CMD_playasound+2+wave13+~"},
            {"system line", msg::systemLine("Hi.|clNavy"), "CMD_chat+0+Hi.|clNavy~"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << r.built << QByteArray(r.expected).replace('~', Terminator);
}

void TestProtocol::catalogue()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QCOMPARE(built, expected);
}

// What an encoder writes, the reader of the same message gives back.
void TestProtocol::reading()
{
    auto host = [](const QByteArray &message) { return message.chopped(1); };
    const auto g = decodedAs<down::StartGame>(host(msg::startgame("Ann", 500, 60, "t", 3)));
    QCOMPARE(QByteArrayList({g.starter, g.playto, g.team}), QByteArrayList({"Ann", "500", "t"}));
    QCOMPARE(QList<int>({g.turntime, g.shuffles}), QList<int>({60, 3}));
    const auto n = decodedAs<down::NextPlayer>(host(msg::nextplayer(3, 2)));
    QCOMPARE(QList<int>({n.seat, n.shuffles}), QList<int>({3, 2}));
    const auto u = decodedAs<down::UseShuffle>(host(msg::useshuffle(1, 0, 44)));
    QCOMPARE(QList<int>({u.seat, u.shuffles, u.timeleft.value_or(-1)}), QList<int>({1, 0, 44}));
    const QList<QPoint> cells{{0, 0}, {1, 0}, {2, 1}};
    const auto m = decodedAs<down::MadeWord>(host(msg::madeword(2, "CAT", 27, 40, {0, 40}, cells)));
    QCOMPARE(m.seat, 2);
    QCOMPARE(QByteArrayList({m.word, m.score, m.total, m.teamA, m.teamB}),
            QByteArrayList({"CAT", "27", "40", "0", "40"}));
    QCOMPARE(m.cells, cells);
    // Fields a reader takes as they come: no shuffles or time left.
    QCOMPARE(decodedAs<down::NextPlayer>("CMD_nextplayer+2+x+").shuffles, 0);
    QVERIFY(!decodedAs<down::UseShuffle>("CMD_useshuffle+2+1+").timeleft);
    // What was read before a bad number is kept, nothing after, and the bad
    // field is named by its place.
    const Decoded<FromHost> stats = decodeFromHost("CMD_gamestats+3+500+60+soon+f+1+2+3+4+0+0+");
    const auto &partial = std::get<down::GameStats>(*stats.message);
    QCOMPARE(QList<std::optional<int>>({partial.current, partial.timePerTurn, partial.timeLeft}),
            QList<std::optional<int>>({3, 60, std::nullopt}));
    QVERIFY(!partial.complete);
    QCOMPARE(stats.error->field, 4);
    QCOMPARE(stats.error->describe(), QByteArray("'soon' is not a valid integer value"));
    // Not a message of the game: nothing at all.
    QVERIFY(!decodeFromHost("CMD_nosuch+1+").message);
    QVERIFY(!decodeFromClient("no command").message);
}

// Every reader, fed what its writer wrote, gives back enough to write the
// same bytes again: the two halves of each layout agree field by field.
void TestProtocol::readersGiveBackWhatWasWritten()
{
    using Rewrite = std::function<QByteArray(const QByteArray &message)>;
    const QList<QPoint> path{{3, 3}, {4, 3}, {4, 4}};
    msg::Grid grid{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            grid[size_t(x)][size_t(y)] = (x * 7 + y) % 26;
    const struct {
        QByteArray message;
        Rewrite rewrite;
    } table[] = {
            {msg::logininfo(3, "1.0", "Ann"),
                    [](const QByteArray &m) {
                        const auto l = requestAs<up::Login>(m);
                        return msg::logininfo(l.slot, l.version, l.name.chopped(1));
                    }},
            {msg::kickhim(1, 6),
                    [](const QByteArray &m) {
                        const auto k = requestAs<up::Kick>(m);
                        return msg::kickhim(k.slot, k.victim);
                    }},
            {msg::chat(2, "hi+there", "clRed"),
                    [](const QByteArray &m) {
                        const auto c = requestAs<up::Chat>(m);
                        const qsizetype bar = c.said.lastIndexOf('|');
                        return msg::chat(c.slot, c.said.left(bar), c.said.mid(bar + 1));
                    }},
            {msg::justwatch(4, true),
                    [](const QByteArray &m) {
                        const auto w = requestAs<up::JustWatch>(m);
                        return msg::justwatch(w.slot, w.mode == "1");
                    }},
            {msg::playerdone(2, path),
                    [](const QByteArray &m) {
                        const auto done = requestAs<up::PlayerDone>(m);
                        QList<QPoint> cells;
                        for (const up::PathEntry &e : done.path)
                            cells.append(QPoint(e.x, e.y));
                        return msg::playerdone(done.slot, cells);
                    }},
            {msg::direction(3, 4),
                    [](const QByteArray &m) {
                        const auto r = requestAs<up::Direction>(m);
                        return msg::direction(r.slot, r.direction);
                    }},
            {msg::selectletter(2, 5, {6, 1}),
                    [](const QByteArray &m) {
                        const auto p = decodedAs<down::Pick>(m);
                        return msg::selectletter(p.seat, p.index, p.cell);
                    }},
            {msg::clearletter(4, 2),
                    [](const QByteArray &m) {
                        const auto t = decodedAs<down::ClearLetter>(m);
                        return msg::clearletter(t.seat, t.index);
                    }},
            {msg::shuffle(3), [](const QByteArray &m) { return msg::shuffle(requestAs<up::Shuffle>(m).slot); }},
            {msg::sendlogininfo(7),
                    [](const QByteArray &m) { return msg::sendlogininfo(decodedAs<down::SendLogin>(m).slot); }},
            {msg::existingplayers({{1, "Ann", false}, {4, "Bo", true}, {6, "Cy", false}}),
                    [](const QByteArray &m) {
                        QList<msg::Present> people;
                        for (const down::Present &p : decodedAs<down::ExistingPlayers>(m).users)
                            people.append({p.slot, p.name, p.watching == "1"});
                        return msg::existingplayers(people);
                    }},
            {msg::playerdisconnected(5, "Dee"),
                    [](const QByteArray &m) {
                        const auto p = decodedAs<down::PlayerDisconnected>(m);
                        return msg::playerdisconnected(p.slot, p.name);
                    }},
            {msg::justwatching(2, false),
                    [](const QByteArray &m) {
                        const auto w = decodedAs<down::JustWatching>(m);
                        return msg::justwatching(w.seat, w.mode == "1");
                    }},
            {msg::theboard(grid),
                    [](const QByteArray &m) {
                        msg::Grid back{};
                        for (const auto &[x, y, letter] : decodedAs<down::TheBoard>(m).squares)
                            back[size_t(x)][size_t(y)] = letter;
                        return msg::theboard(back);
                    }},
            {msg::gamestats(3, 500, 60, 41, true, {10, 20, 30, 40}, {40, 60}),
                    [](const QByteArray &m) {
                        const auto s = decodedAs<down::GameStats>(m);
                        std::array<int, 4> scores{};
                        for (size_t i = 0; i < 4; ++i)
                            scores[i] = s.scores[i].toInt();
                        return msg::gamestats(s.current.value_or(-1), s.playto.toInt(), s.timePerTurn.value_or(-1),
                                s.timeLeft.value_or(-1), s.team == "t", scores, {s.teamA.toInt(), s.teamB.toInt()});
                    }},
            {msg::shufflesl({3, 0, 1, 2}),
                    [](const QByteArray &m) {
                        std::array<int, 4> left{};
                        const auto s = decodedAs<down::ShufflesLeft>(m);
                        for (int i = 0; i < s.left.size() && i < 4; ++i)
                            left[size_t(i)] = s.left[i];
                        return msg::shufflesl(left);
                    }},
            {msg::moving(3), [](const QByteArray &m) { return msg::moving(decodedAs<down::Moving>(m).direction); }},
            {msg::winner("Team B"), [](const QByteArray &m) { return msg::winner(decodedAs<down::Winner>(m).name); }},
            {msg::notvalid(2, "QXZ"),
                    [](const QByteArray &m) {
                        const auto n = decodedAs<down::NotValid>(m);
                        return msg::notvalid(n.seat, n.word);
                    }},
            {msg::bonus(4, 20), [](const QByteArray &m) { return msg::bonus(decodedAs<down::Bonus>(m).seat, 20); }},
    };
    for (const auto &row : table)
        QCOMPARE(row.rewrite(row.message.chopped(1)), row.message);
}

void TestProtocol::readingStopsAtABadNumber_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("field");
    QTest::newRow("nextplayer seat") << QByteArray("CMD_nextplayer+x+1+") << 1;
    QTest::newRow("useshuffle left") << QByteArray("CMD_useshuffle+1+-+4+") << 2;
    QTest::newRow("madeword seat") << QByteArray("CMD_madeword+one+CAT+1+1+1+1+0+0") << 1;
    QTest::newRow("madeword cell") << QByteArray("CMD_madeword+1+CAT+1+1+1+1+0+0+1+y") << 10;
}

void TestProtocol::readingStopsAtABadNumber()
{
    QFETCH(QByteArray, message);
    QFETCH(int, field);
    const Decoded<FromHost> d = decodeFromHost(message);
    QVERIFY(d.message && d.error);
    QCOMPARE(d.error->field, field);
}

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
