#pragma once
// Inputs of several kinds for the compressor tests and benchmarks.

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

inline QByteArray makeData(const QString &kind, qsizetype size, quint32 seed = 1)
{
    QRandomGenerator rng(seed);
    QByteArray out;
    out.reserve(size);
    static const char *words[] = {"the ", "quick ", "brown ", "fox ", "jumps ", "over ", "lazy ", "dog ", "word ",
            "mire ", "tiles ", "score ", "Klot ", "and ", "of ", "a ", "letters\n", "board, ", "shuffle. ", "bonus "};
    while (out.size() < size) {
        if (kind == "text") {
            out += words[rng.bounded(20)];
        } else if (kind == "runs") {
            out += QByteArray(int(rng.bounded(1, 300)), char(rng.bounded(4)));
        } else if (kind == "random") {
            out += char(rng.bounded(256));
        } else { // mixed
            switch (rng.bounded(3)) {
            case 0:
                out += words[rng.bounded(20)];
                break;
            case 1:
                out += QByteArray(int(rng.bounded(1, 40)), char(rng.bounded(256)));
                break;
            default:
                for (int i = 0; i < 16; ++i)
                    out += char(rng.bounded(256));
            }
        }
    }
    out.truncate(size);
    return out;
}
