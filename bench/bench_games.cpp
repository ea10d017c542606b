// Headless games between Klot-played seats: the person of seat 1 just
// watches, so Klot plays both seats to 500 on the host's own rules and
// clocks, one call a second. Counts the games that end within a day of game
// time and reports the game time they took (the host's seconds) and the wall
// time of the whole run.
//
//   build/bench/bench_games [games]      (100 by default)
//
// With "strengths", seeded games to 200 between each pair of Klot's
// strengths, one seat each (the seats swapped every other game), on the
// host's built-in list: each strength's mean points a word, and how often
// each side of a pair wins.
//
//   build/bench/bench_games strengths [games a pair]      (200 by default)

#include "hostgame.h"
#include "klotwords.h"
#include "solver.h"
#include "tdictn.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using game::KlotStrength;

const char *nameOf(KlotStrength k)
{
    return k == KlotStrength::Gentle ? "Gentle" : k == KlotStrength::Normal ? "Normal" : "Strong";
}

int strengths(int games)
{
    QTemporaryDir dir;
    TDictn dictionary(dir.path());
    const rules::KlotWords table(klotWords(), klotNeverWords());
    constexpr KlotStrength All[] = {KlotStrength::Gentle, KlotStrength::Normal, KlotStrength::Strong};
    struct Tally {
        long points = 0, words = 0;
    };
    Tally tally[3];
    std::printf("%d games to 200 a pair, seats swapped every other game:\n", games);
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            int wins[2] = {0, 0};
            for (int seed = 1; seed <= games; ++seed) {
                game::HostGame g([&](QByteArrayView w) { return dictionary.CheckWord(w); },
                        [&]() -> const rules::KlotWords & { return table; });
                g.setSolver([](const rules::Board &board) { return game::solveBoard(board, TDictn::builtInTree()); });
                g.setRandomSeed(quint32(seed));
                // Side 0 (strength a) sits first in odd games.
                const int seatOf[2] = {seed % 2 ? 1 : 2, seed % 2 ? 2 : 1};
                g.setSeatStrength(seatOf[0], All[a]);
                g.setSeatStrength(seatOf[1], All[b]);
                g.occupy(1);
                g.setName(1, "P1");
                g.startgame({"P1", 200, 40, "f", 1});
                g.justwatch(1, true);
                for (int second = 0; second < 24 * 3600 && g.state().gameon; ++second) {
                    g.Timer1Timer();
                    g.computertimerTimer();
                    for (const game::Event &e : g.takeEvents())
                        if (const auto *made = std::get_if<game::WordMade>(&e)) {
                            Tally &t = tally[made->seat == seatOf[0] ? a : b];
                            t.points += made->score;
                            ++t.words;
                        }
                }
                const int first = g.state().seats[size_t(seatOf[0])].score;
                const int second = g.state().seats[size_t(seatOf[1])].score;
                if (first != second)
                    ++wins[first > second ? 0 : 1];
            }
            std::printf("  %s against %s: %s wins %.0f%%, %s %.0f%%\n", nameOf(All[a]), nameOf(All[b]), nameOf(All[a]),
                    100.0 * wins[0] / games, nameOf(All[b]), 100.0 * wins[1] / games);
        }
    for (int k = 0; k < 3; ++k)
        std::printf("  %s: %.1f points a word (%ld words)\n", nameOf(All[k]),
                tally[k].words ? double(tally[k].points) / double(tally[k].words) : 0.0, tally[k].words);
    std::printf("  Gentle's points a word against Normal's: %.0f%% (goal at most 60%%)\n",
            100.0 * (double(tally[0].points) / double(std::max(1L, tally[0].words)))
                    / (double(tally[1].points) / double(std::max(1L, tally[1].words))));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "strengths")
        return strengths(argc > 2 ? std::max(1, atoi(argv[2])) : 200);
    const int games = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    QSet<QByteArray> known;
    for (const QByteArray &w : klotWords())
        known.insert(w.toUpper());
    const rules::KlotWords table(klotWords(), klotNeverWords());
    std::vector<int> lengths;
    int unfinished = 0;
    QElapsedTimer wall;
    wall.start();
    for (int seed = 1; seed <= games; ++seed) {
        game::HostGame g([&](QByteArrayView w) { return known.contains(w.toByteArray()); },
                [&]() -> const rules::KlotWords & { return table; });
        g.setRandomSeed(quint32(seed));
        g.occupy(1);
        g.setName(1, "P1");
        g.startgame({"P1", 500, 40, "f", 1});
        g.justwatch(1, true);
        int second = 0;
        for (; second < 24 * 3600 && g.state().gameon; ++second) {
            g.Timer1Timer();
            g.computertimerTimer();
            g.takeEvents();
        }
        if (g.state().gameon)
            ++unfinished;
        else
            lengths.push_back(second);
    }
    std::sort(lengths.begin(), lengths.end());
    std::printf("%d games to 500 between Klot-played seats: %d ended, %d did not within a day of game time\n", games,
            int(lengths.size()), unfinished);
    if (!lengths.empty())
        std::printf("game time to the end: min %d s, median %d s, max %d s; wall time of the run %.1f s\n",
                lengths.front(), lengths[lengths.size() / 2], lengths.back(), double(wall.elapsed()) / 1000);
    return unfinished == 0 ? 0 : 1;
}
