#include "chatline.h"
#include "colourtext.h"
#include "fieldreader.h"
#include "framer.h"
#include "message.h"
#include "playername.h"
#include "wiremessages.h"

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
    void smileysPerLine();
    void chatSender_data();
    void chatSender();
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
            {"chat relayed", msg::chatLine("2", "Bo", "hi|clRed"), "CMD_chat+2+Bo chats: hi|clRed~"},
            {"action relayed", msg::actionLine("2", "Bo", "waves|clRed"), "CMD_action+2+Bo waves|clRed~"},
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
            {"selectletter relayed", msg::relay(cmd::selectletter, "1", "2+3+4+"), "CMD_selectletter+1+2+3+4+~"},
            {"selectclear relayed", msg::relay(cmd::selectclear, "1", ""), "CMD_selectclear+1+~"},
            {"moving", msg::moving(3), "CMD_moving+3+~"},
            {"clearletter relayed", msg::relay(cmd::clearletter, "1", "3+"), "CMD_clearletter+1+3+~"},
            {"useshuffle", msg::useshuffle(1, 0, 44), "CMD_useshuffle+1+0+44+~"},
            {"shufflesl", msg::shufflesl({1, 0, 2, 1}), "CMD_shufflesl+1+0+2+1+~"},
            {"bonus", msg::bonus(4, 20), "CMD_bonus+4+20+~"},
            {"playasound relayed", msg::relay(cmd::playasound, "2", "wave13+"), "CMD_playasound+2+wave13+~"},
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
    auto data = [](const QByteArray &message) { return splitMessage(message.chopped(1)).data; };
    const msg::StartGame g = msg::readStartgame(data(msg::startgame("Ann", 500, 60, "t", 3)));
    QCOMPARE(QByteArrayList({g.starter, g.playto, g.turntime, g.team, g.shuffles}),
            QByteArrayList({"Ann", "500", "60", "t", "3"}));
    const msg::NextPlayer n = msg::readNextplayer(data(msg::nextplayer(3, 2)));
    QCOMPARE(QList<int>({n.seat, n.shuffles}), QList<int>({3, 2}));
    const msg::UseShuffle u = msg::readUseshuffle(data(msg::useshuffle(1, 0, 44)));
    QCOMPARE(QList<int>({u.seat, u.shuffles, u.timeleft.value_or(-1)}), QList<int>({1, 0, 44}));
    const QList<QPoint> cells{{0, 0}, {1, 0}, {2, 1}};
    const msg::MadeWord m = msg::readMadeword(data(msg::madeword(2, "CAT", 27, 40, {0, 40}, cells)));
    QCOMPARE(m.seat, 2);
    QCOMPARE(QByteArrayList({m.word, m.score, m.total, m.teamA, m.teamB}),
            QByteArrayList({"CAT", "27", "40", "0", "40"}));
    QCOMPARE(m.cells, cells);
    // Fields a reader takes as they come: no shuffles or time left.
    QCOMPARE(msg::readNextplayer("2+x+").shuffles, 0);
    QVERIFY(!msg::readUseshuffle("2+1+").timeleft);
    // What was read before a bad number has been handed on; nothing after.
    QList<int> handed;
    msg::StatsSteps steps;
    steps.current = steps.timePerTurn = steps.timeLeft = [&](int n) { handed.append(n); };
    QVERIFY_THROWS_EXCEPTION(ConversionError, msg::readGamestats("3+500+60+soon+f+1+2+3+4+0+0+", steps));
    QCOMPARE(handed, QList<int>({3, 60}));
}

// Every reader, fed what its writer wrote, gives back enough to write the
// same bytes again: the two halves of each layout agree field by field.
void TestProtocol::readersGiveBackWhatWasWritten()
{
    using Rewrite = std::function<QByteArray(const QByteArray &data)>;
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
                    [](const QByteArray &d) {
                        const msg::LoginInfo l = msg::readLogininfo(d);
                        return msg::logininfo(l.slot, l.version, l.name.chopped(1));
                    }},
            {msg::kickhim(1, 6),
                    [](const QByteArray &d) {
                        const msg::Kick k = msg::readKickhim(d);
                        return msg::kickhim(k.requester, k.victim);
                    }},
            {msg::chat(2, "hi+there", "clRed"),
                    [](const QByteArray &d) {
                        const msg::SlotAndRest c = msg::readSlotAndRest(d);
                        return msg::relay(cmd::chat, c.slot, c.rest);
                    }},
            {msg::justwatch(4, true),
                    [](const QByteArray &d) {
                        const msg::SeatAndRest w = msg::readSeatAndRest(d);
                        return msg::justwatch(w.seat, w.rest == "1");
                    }},
            {msg::playerdone(2, path),
                    [](const QByteArray &d) {
                        QList<QPoint> cells;
                        msg::readPath(d, [&](int n, int x, int y) {
                            cells.append(QPoint(x, y));
                            return n == cells.size();
                        });
                        return msg::playerdone(msg::readSeat(d), cells);
                    }},
            {msg::direction(3, 4),
                    [](const QByteArray &d) {
                        const msg::Direction r = msg::readDirection(d);
                        return msg::direction(r.seat, r.direction);
                    }},
            {msg::selectletter(2, 5, {6, 1}),
                    [](const QByteArray &d) {
                        const msg::Pick p = msg::readSelectletter(d);
                        return msg::selectletter(p.seat, p.index, p.cell);
                    }},
            {msg::clearletter(4, 2),
                    [](const QByteArray &d) {
                        const msg::TakeBack t = msg::readClearletter(d);
                        return msg::clearletter(t.seat, t.index);
                    }},
            {msg::shuffle(3), [](const QByteArray &d) { return msg::shuffle(msg::readSeat(d)); }},
            {msg::sendlogininfo(7), [](const QByteArray &d) { return msg::sendlogininfo(msg::readSendlogininfo(d)); }},
            {msg::existingplayers({{1, "Ann", false}, {4, "Bo", true}, {6, "Cy", false}}),
                    [](const QByteArray &d) {
                        QList<msg::Present> people;
                        msg::readPlayers(d, [&](int slot, const QByteArray &name, const QByteArray &watch) {
                            people.append({slot, name, watch == "1"});
                        });
                        return msg::existingplayers(people);
                    }},
            {msg::playerdisconnected(5, "Dee"),
                    [](const QByteArray &d) {
                        const msg::SlotAndRest p = msg::readSlotAndRest(d);
                        return msg::playerdisconnected(p.slot.toInt(), p.rest);
                    }},
            {msg::justwatching(2, false),
                    [](const QByteArray &d) {
                        const msg::SeatAndRest w = msg::readSeatAndRest(d);
                        return msg::justwatching(w.seat, w.rest == "1");
                    }},
            {msg::theboard(grid),
                    [](const QByteArray &d) {
                        msg::Grid back{};
                        msg::readTheboard(d, [&](int x, int y, int letter) { back[size_t(x)][size_t(y)] = letter; });
                        return msg::theboard(back);
                    }},
            {msg::gamestats(3, 500, 60, 41, true, {10, 20, 30, 40}, {40, 60}),
                    [](const QByteArray &d) {
                        std::array<int, 3> numbers{};
                        msg::StatsSteps steps;
                        steps.current = [&](int n) { numbers[0] = n; };
                        steps.timePerTurn = [&](int n) { numbers[1] = n; };
                        steps.timeLeft = [&](int n) { numbers[2] = n; };
                        const msg::Stats s = msg::readGamestats(d, steps);
                        std::array<int, 4> scores{};
                        for (size_t i = 0; i < 4; ++i)
                            scores[i] = s.scores[i].toInt();
                        return msg::gamestats(numbers[0], s.playto.toInt(), numbers[1], numbers[2], s.team == "t",
                                scores, {s.teamA.toInt(), s.teamB.toInt()});
                    }},
            {msg::shufflesl({3, 0, 1, 2}),
                    [](const QByteArray &d) {
                        std::array<int, 4> left{};
                        msg::readShufflesl(d, [&](int seat, int n) { left[size_t(seat - 1)] = n; });
                        return msg::shufflesl(left);
                    }},
            {msg::moving(3), [](const QByteArray &d) { return msg::moving(msg::readMoving(d)); }},
            {msg::winner("Team B"), [](const QByteArray &d) { return msg::winner(msg::readWinner(d)); }},
            {msg::notvalid(2, "QXZ"),
                    [](const QByteArray &d) {
                        const msg::NotValid n = msg::readNotvalid(d);
                        return msg::notvalid(n.seat, n.word);
                    }},
            {msg::bonus(4, 20), [](const QByteArray &d) { return msg::bonus(msg::readSeat(d), 20); }},
    };
    for (const auto &row : table) {
        const QByteArray data = splitMessage(row.message.chopped(1)).data;
        QCOMPARE(row.rewrite(data), row.message);
    }
}

void TestProtocol::readingStopsAtABadNumber_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("nextplayer seat") << QByteArray("nextplayer") << QByteArray("x+1+");
    QTest::newRow("useshuffle left") << QByteArray("useshuffle") << QByteArray("1+-+4+");
    QTest::newRow("madeword seat") << QByteArray("madeword") << QByteArray("one+CAT+1+1+1+1+0+0");
    QTest::newRow("madeword cell") << QByteArray("madeword") << QByteArray("1+CAT+1+1+1+1+0+0+1+y");
}

void TestProtocol::readingStopsAtABadNumber()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, data);
    const std::function<void()> read = command == "nextplayer"
            ? std::function<void()>([&] { msg::readNextplayer(data); })
            : command == "useshuffle" ? std::function<void()>([&] { msg::readUseshuffle(data); })
                                      : std::function<void()>([&] { msg::readMadeword(data); });
    QVERIFY_THROWS_EXCEPTION(ConversionError, read());
}

// A line shows a bounded number of smiley pictures; the codes after them
// stay text, so one line's layout cost has a ceiling.
void TestProtocol::smileysPerLine()
{
    QByteArray line = "2+Ann chats: ";
    for (int i = 0; i < MaxSmileys + 6; ++i)
        line += ":)#15";
    const ChatLine parsed = parseChatLine(line);
    const auto pictures = std::count_if(parsed.pieces.cbegin(), parsed.pieces.cend(),
            [](const ChatPiece &p) { return p.kind == ChatPiece::Smiley; });
    QCOMPARE(int(pictures), MaxSmileys);
    QCOMPARE(parsed.pieces.last().text, QByteArray(":)#15").repeated(6) + ' ');
}

// A chat line's sender is a slot, 1 to 9, or 0 for the system; any other
// number reads as 0 and never reaches the style's arithmetic.
void TestProtocol::chatSender_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("sender");
    QTest::addColumn<int>("style");
    QTest::newRow("system") << QByteArray("0+hello") << 0 << 0;
    QTest::newRow("slot 1") << QByteArray("1+Ann chats: hi") << 1 << 6;
    QTest::newRow("slot 9") << QByteArray("9+Ian chats: hi") << 9 << 14;
    QTest::newRow("slot 10") << QByteArray("10+x") << 0 << 0;
    QTest::newRow("largest") << QByteArray("2147483647+x") << 0 << 0;
    QTest::newRow("smallest") << QByteArray("-2147483648+x") << 0 << 0;
    QTest::newRow("not a number") << QByteArray("one+x") << 0 << 0;
}

void TestProtocol::chatSender()
{
    QFETCH(QByteArray, line);
    QFETCH(int, sender);
    QFETCH(int, style);
    const ChatLine parsed = parseChatLine(line);
    QCOMPARE(parsed.sender, sender);
    QCOMPARE(parsed.style, style);
}

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
