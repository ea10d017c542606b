// The host's game driven directly: no sockets, no waits, every second a call.

#include "hostgame.h"
#include "klotwords.h"
#include "tdictn.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#include <variant>

using namespace game;

namespace {

QSet<QByteArray> upperCase(const QByteArrayList &words)
{
    QSet<QByteArray> out;
    for (const QByteArray &w : words)
        out.insert(w.toUpper());
    return out;
}

const rules::KlotWords &klotTable()
{
    static const rules::KlotWords table(klotWords(), klotNeverWords());
    return table;
}

// A game whose word list is Klot's own (every Klot word is a real word).
struct Fixture {
    QSet<QByteArray> known = upperCase(klotWords());
    HostGame g{[this](QByteArrayView w) { return known.contains(w.toByteArray()); },
            []() -> const rules::KlotWords & { return klotTable(); }};
    std::vector<Event> events;

    Fixture(std::initializer_list<int> people)
    {
        g.setRandomSeed(7);
        for (int seat : people) {
            g.occupy(seat);
            g.setName(seat, "P" + QByteArray::number(seat));
        }
    }
    void take()
    {
        for (Event &e : g.takeEvents())
            events.push_back(std::move(e));
    }
    // One second of both clocks, as the host's timers would give it.
    void second()
    {
        g.Timer1Timer();
        g.computertimerTimer();
        take();
    }
    template <class T> std::vector<T> all() const
    {
        std::vector<T> out;
        for (const Event &e : events)
            if (const T *t = std::get_if<T>(&e))
                out.push_back(*t);
        return out;
    }
};

GameOptions options(int playto, int time, const QByteArray &team = "f", int shuffles = 1)
{
    return {"P1", playto, time, team, shuffles};
}

rules::Board filled(int code)
{
    rules::Board b{};
    for (auto &column : b)
        column.fill(code);
    return b;
}

} // namespace

class TestGame : public QObject {
    Q_OBJECT
private slots:
    void wholeSoloGameAgainstKlot();
    void turnOrder_data();
    void turnOrder();
    void wordScoreShiftAndRefill();
    void klotWhenRefused_data();
    void klotWhenRefused();
    void barrenRoundGetsANewBoard();
    void catchUpState();
    void klotStrengths();
    void klotWordsFoundAhead_data();
    void klotWordsFoundAhead();
};

// Klot plays both seats (the person just watches) until somebody wins; every
// event must agree with the state it leaves behind.
void TestGame::wholeSoloGameAgainstKlot()
{
    Fixture f({1});
    QVERIFY(f.g.startgame(options(120, 30)));
    f.take();
    f.g.justwatch(1, true);
    f.take();
    for (int s = 0; s < 5000 && f.g.state().gameon; ++s)
        f.second();

    QVERIFY(!f.g.state().gameon);
    const auto winners = f.all<Winner>();
    QCOMPARE(int(winners.size()), 1);
    QVERIFY(!f.g.turnTimer().running);
    QVERIFY(!f.g.klotTimer().running);

    // Turns alternate 1, 2, 1, 2 ... and the game ends after seat 2's turn.
    const auto turns = f.all<TurnGiven>();
    QVERIFY(turns.size() >= 2);
    for (size_t i = 0; i < turns.size(); ++i)
        QCOMPARE(turns[i].seat, int(i % 2) + 1);
    QCOMPARE(turns.back().seat, 2);

    // Scores: the words add up to the totals, and the winner reached the target.
    std::array<int, 5> sum{};
    for (const WordMade &w : f.all<WordMade>()) {
        QVERIFY(f.known.contains(w.word));
        QCOMPARE(int(w.squares.size()), int(w.word.size()));
        sum[size_t(w.seat)] += w.score;
        QCOMPARE(w.total, sum[size_t(w.seat)]);
    }
    QVERIFY(!f.all<WordMade>().empty());
    for (int seat = 1; seat <= 2; ++seat)
        QCOMPARE(f.g.state().seats[size_t(seat)].score, sum[size_t(seat)]);
    const int best = std::max(sum[1], sum[2]);
    QVERIFY(best >= 120);
    QVERIFY(sum[1] != sum[2]);
    QCOMPARE(winners[0].name, QByteArray(sum[1] > sum[2] ? "P1" : ""));
    QVERIFY(f.all<WordRefused>().empty()); // Klot plays only words it knows
}

void TestGame::turnOrder_data()
{
    QTest::addColumn<QList<int>>("people");
    QTest::addColumn<QByteArray>("team");
    QTest::addColumn<QList<int>>("turns");
    QTest::newRow("solo") << QList<int>{1} << QByteArray("f") << QList<int>{1, 2, 1, 2, 1};
    QTest::newRow("three") << QList<int>{1, 2, 3} << QByteArray("f") << QList<int>{1, 2, 3, 1, 2};
    QTest::newRow("seat 4 without 3") << QList<int>{1, 4} << QByteArray("f") << QList<int>{1, 2, 4, 1, 2};
    QTest::newRow("team: 3 brings 4") << QList<int>{1, 3} << QByteArray("t") << QList<int>{1, 2, 3, 4, 1};
    QTest::newRow("no team: 3 alone") << QList<int>{1, 3} << QByteArray("f") << QList<int>{1, 2, 3, 1, 2};
}

// Nobody plays a word: every turn runs out, pauses, and passes on.
void TestGame::turnOrder()
{
    QFETCH(QList<int>, people);
    QFETCH(QByteArray, team);
    QFETCH(QList<int>, turns);
    Fixture f({});
    for (int seat : people) {
        f.g.occupy(seat);
        f.g.setName(seat, "P" + QByteArray::number(seat));
    }
    f.known.clear(); // Klot's words are all refused: it never scores
    QVERIFY(f.g.startgame(options(500, 10, team)));
    f.take();
    while (int(f.all<TurnGiven>().size()) < turns.size()) {
        QCOMPARE(f.g.state().phase, Phase::Turn);
        // The turn's time and its four spare seconds (Klot, refused, passes
        // sooner).
        for (int s = 0; s < 14 && f.g.state().phase == Phase::Turn; ++s)
            f.second();
        QCOMPARE(f.g.state().phase, Phase::Pause);
        for (int s = 0; s < 4; ++s)
            f.second();
    }
    QList<int> seen;
    for (const TurnGiven &t : f.all<TurnGiven>())
        seen << t.seat;
    QCOMPARE(seen, turns);
    QCOMPARE(int(f.all<TimeUp>().size()), turns.size() - 1);
}

// When the host's list refuses Klot's word, Klot tries its next candidate;
// when it refuses them all, Klot passes at once instead of sitting out the
// turn.
void TestGame::klotWhenRefused_data()
{
    QTest::addColumn<int>("keepEvery"); // the list knows every n-th Klot word; 0 none
    QTest::addColumn<bool>("scores");
    QTest::newRow("every word known") << 1 << true;
    QTest::newRow("one in three known") << 3 << true;
    QTest::newRow("none known") << 0 << false;
}

void TestGame::klotWhenRefused()
{
    QFETCH(int, keepEvery);
    QFETCH(bool, scores);
    Fixture f({1});
    QSet<QByteArray> kept;
    int k = 0;
    for (const QByteArray &w : std::as_const(f.known))
        if (keepEvery > 0 && k++ % keepEvery == 0)
            kept.insert(w);
    f.known = kept;
    QVERIFY(f.g.startgame(options(500, 40, "f", 0)));
    f.take();
    f.g.justwatch(1, true); // Klot plays seat 1 now, at its usual delay
    f.take();
    for (int s = 0; s < 8; ++s)
        f.second();
    QCOMPARE(!f.all<WordMade>().empty(), scores);
    // Either way the turn is over long before its 40 seconds.
    QVERIFY(f.g.state().phase != Phase::Turn || f.g.state().curplayer != 1);
    QCOMPARE(int(f.all<TimeUp>().size()), scores ? 0 : 1);
    QVERIFY(f.all<WordRefused>().empty()); // nobody is told of Klot's tries
}

// Klot-played seats whose every word is refused: each uses its shuffle, then
// passes; once a whole round has passed so with no shuffle left among the
// seats that take turns (the empty seats' shuffles do not count), the host
// deals a new board.
void TestGame::barrenRoundGetsANewBoard()
{
    Fixture f({1});
    f.known.clear();
    QVERIFY(f.g.startgame(options(500, 40, "f", 1)));
    f.take();
    f.g.justwatch(1, true);
    f.take();
    for (int s = 0; s < 200 && f.all<BoardRenewed>().empty(); ++s)
        f.second();
    QCOMPARE(int(f.all<ShuffleUsed>().size()), 2);
    QCOMPARE(int(f.all<BoardRenewed>().size()), 1);
    QVERIFY(f.all<WordMade>().empty());
    QCOMPARE(f.g.state().seats[3].shufflesleft, 1); // an empty seat's
}

// A made word scores its squares, they are removed, the maker's direction
// slides the rest, and only the gaps are dealt again.
void TestGame::wordScoreShiftAndRefill()
{
    Fixture f({1, 2});
    QVERIFY(f.g.startgame(options(500, 60)));
    f.take();
    f.known = {"CAT"};
    rules::Board b = filled(5); // all E
    const std::vector<PathEntry> path{{1, 0, 0}, {2, 1, 1}, {3, 2, 2}};
    b[0][0] = 3; // C on a Double Letter
    b[1][1] = 1; // A on a Double Word
    b[2][2] = 20; // T on a Triple Letter
    f.g.state().board = b;
    f.events.clear();

    f.g.playerdone(1, path);
    f.take();
    const auto made = f.all<WordMade>();
    QCOMPARE(int(made.size()), 1);
    QCOMPARE(made[0].word, QByteArray("CAT"));
    QCOMPARE(made[0].score, ((3 + 3) + 1 + (1 + 2)) * 2);
    QCOMPARE(f.g.state().phase, Phase::Direction);
    QCOMPARE(f.g.state().timeleft, 5);
    QCOMPARE(f.g.state().curplayer, 0);
    QCOMPARE(f.g.state().board[1][1], rules::Removed);

    f.g.direction_(2, 4); // not the maker's
    f.g.direction_(1, 3);
    QCOMPARE(f.g.state().timeleft, 2);
    rules::Board expected = f.g.state().board;
    rules::shift(expected, 3);
    f.second();
    f.second();
    QCOMPARE(f.all<Moving>().back().direction, 3);
    QCOMPARE(f.g.state().board, expected);
    for (int s = 0; s < 4; ++s)
        f.second();
    QCOMPARE(f.all<TurnGiven>().back().seat, 2);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            const int code = f.g.state().board[size_t(x)][size_t(y)];
            if (expected[size_t(x)][size_t(y)] == rules::Removed)
                QVERIFY(code >= 1 && code <= 26);
            else
                QCOMPARE(code, expected[size_t(x)][size_t(y)]);
        }
}

// What a late joiner is sent reads from this state: it must be the game's
// own after a shuffle and some time.
void TestGame::catchUpState()
{
    Fixture f({1, 3});
    QVERIFY(f.g.startgame(options(300, 40, "t", 2)));
    f.take();
    for (int s = 0; s < 10; ++s)
        f.second();
    f.g.shuffle(3); // not seat 3's turn
    f.g.shuffle(1);
    f.take();
    const HostGame::State &st = f.g.state();
    QCOMPARE(st.curplayer, 1);
    QCOMPARE(st.timeleft, 40 + 4 - 10 + 20);
    QCOMPARE(st.seats[1].shufflesleft, 1);
    QCOMPARE(st.seats[3].shufflesleft, 2);
    QVERIFY(st.teamgame);
    QCOMPARE(st.playto, 300);
    const auto used = f.all<ShuffleUsed>();
    QCOMPARE(int(used.size()), 1);
    QCOMPARE(used[0].timeleft, st.timeleft);
}

// One Klot turn on each of 500 seeded boards at each strength, against the
// built-in list as the host has it. Strong scores more than Normal, Gentle
// at most 60% of Normal, and Normal with a solver at hand plays exactly as
// Normal without one. Every level keeps to its vocabulary: Gentle and Normal
// to Klot's common words, none to a word it never plays; the words each
// level played, made never-words, are played no more.
void TestGame::klotStrengths()
{
    QTemporaryDir dir;
    TDictn dictionary(dir.path());
    struct Turn {
        QByteArray word;
        int score;
        bool operator==(const Turn &) const = default;
    };
    auto play = [&](std::optional<KlotStrength> strength, const rules::KlotWords &table) {
        std::vector<Turn> turns;
        for (quint32 seed = 1; seed <= 500; ++seed) {
            HostGame g([&](QByteArrayView w) { return dictionary.CheckWord(w); },
                    [&]() -> const rules::KlotWords & { return table; });
            g.setRandomSeed(seed);
            if (strength) {
                g.setSolver([&](const rules::Board &b) { return solveBoard(b, TDictn::builtInTree()); });
                g.setKlotStrength(*strength);
            }
            g.occupy(1);
            g.setName(1, "P1");
            g.startgame(options(10000, 60));
            QRandomGenerator boardRng(seed);
            for (auto &column : g.state().board)
                for (int &tile : column)
                    tile = rules::drawLetter(boardRng);
            g.state().curplayer = 2; // Klot's seat
            g.takeEvents();
            g.computerplay();
            Turn t{};
            for (const Event &e : g.takeEvents())
                if (const auto *made = std::get_if<WordMade>(&e))
                    t = {made->word, made->score};
            turns.push_back(t);
        }
        return turns;
    };
    auto mean = [](const std::vector<Turn> &turns) {
        double sum = 0;
        for (const Turn &t : turns)
            sum += t.score;
        return sum / double(turns.size());
    };
    const auto classic = play(std::nullopt, klotTable());
    std::map<KlotStrength, std::vector<Turn>> played;
    for (const KlotStrength k : {KlotStrength::Gentle, KlotStrength::Normal, KlotStrength::Strong}) {
        const std::vector<Turn> turns = play(k, klotTable());
        QByteArrayList never = klotNeverWords();
        for (const Turn &t : turns) {
            QVERIFY2(!t.word.isEmpty(), "every board here has a word for every level");
            QVERIFY2(!klotTable().isNever(t.word), t.word.constData());
            QVERIFY2(k == KlotStrength::Strong || klotTable().isCommon(t.word), t.word.constData());
            never << t.word.toLower();
        }
        const rules::KlotWords without(klotWords(), never);
        for (const Turn &t : play(k, without))
            QVERIFY2(!never.contains(t.word.toLower()), t.word.constData());
        played[k] = turns;
    }
    const auto &gentle = played[KlotStrength::Gentle];
    const auto &normal = played[KlotStrength::Normal];
    const auto &strong = played[KlotStrength::Strong];
    QVERIFY(normal == classic);
    qInfo("mean points per turn: gentle %.1f, normal %.1f, strong %.1f", mean(gentle), mean(normal), mean(strong));
    QVERIFY(mean(strong) > mean(normal));
    QVERIFY(mean(gentle) <= 0.6 * mean(normal));
    // Gentle plays short words (a longer one only when the board has no short
    // one it may play).
    const auto shortOnes =
            std::count_if(gentle.begin(), gentle.end(), [](const Turn &t) { return t.word.size() <= 4; });
    QVERIFY(shortOnes > 450);
}

// The strong Klot's words are asked for as its countdown starts; those
// handed back for the board it plays on are the ones it chooses from, and
// those for a board since gone are not.
void TestGame::klotWordsFoundAhead_data()
{
    QTest::addColumn<bool>("sameBoard");
    QTest::newRow("for this board") << true;
    QTest::newRow("for a board since gone") << false;
}

void TestGame::klotWordsFoundAhead()
{
    QFETCH(bool, sameBoard);
    QTemporaryDir dir;
    TDictn dictionary(dir.path());
    HostGame g([&](QByteArrayView w) { return dictionary.CheckWord(w); },
            []() -> const rules::KlotWords & { return klotTable(); });
    g.setSolver([](const rules::Board &b) { return solveBoard(b, TDictn::builtInTree()); });
    g.setKlotStrength(KlotStrength::Strong);
    std::optional<rules::Board> asked;
    g.setSolveAhead([&](const rules::Board &b) { asked = b; });
    g.occupy(1);
    g.setName(1, "P1");
    g.startgame(options(10000, 60));
    QRandomGenerator rng(3);
    for (auto &column : g.state().board)
        for (int &tile : column)
            tile = rules::drawLetter(rng);
    const rules::Board board = g.state().board;
    g.state().curplayer = 2;
    g.startKlot();
    QVERIFY(asked && *asked == board);
    // Handed back without the best word, as no search here would: which
    // list Klot chose from shows in what it plays.
    const std::vector<FoundWord> all = solveBoard(board, TDictn::builtInTree());
    QVERIFY(all.size() > 2);
    rules::Board other = board;
    other[0][0] = other[0][0] % 26 + 1;
    g.wordsFound(sameBoard ? board : other, {all.begin() + 1, all.end()});
    g.takeEvents();
    g.computerplay();
    QByteArray made;
    for (const Event &e : g.takeEvents())
        if (const auto *m = std::get_if<WordMade>(&e))
            made = m->word;
    QCOMPARE(made, (sameBoard ? all[1] : all[0]).word);
}

QTEST_MAIN(TestGame)
#include "tst_game.moc"
