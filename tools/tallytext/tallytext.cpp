// Prints the plain text inside a tally file, as it was written (the grid's
// counts, then its cells column by column), or the container's error.
//
//   build-tools/tools/tallytext/tallytext Wordmiretally.tld

#include "tlzrw1.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tallytext FILE\n");
        return 2;
    }
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tallytext: cannot open %s\n", argv[1]);
        return 1;
    }
    try {
        const QByteArray plain = Tlzrw1::decompressBytes(f.readAll());
        std::fwrite(plain.constData(), 1, size_t(plain.size()), stdout);
    } catch (const ELzrw1Exception &e) {
        std::fprintf(stderr, "tallytext: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
