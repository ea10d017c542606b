// Headless games between Klot-played seats: the person of seat 1 just
// watches, so Klot plays both seats to 500 on the host's own rules and
// clocks, one call a second. Counts the games that end within a day of game
// time and reports the game time they took (the host's seconds) and the wall
// time of the whole run.
//
//   build/bench/bench_games [games]      (100 by default)

#include "hostgame.h"
#include "klotwords.h"

#include <QElapsedTimer>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    const int games = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    QSet<QByteArray> known;
    for (const QByteArray &w : klotWords())
        known.insert(w.toUpper());
    const rules::KlotWords table(klotWords());
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
