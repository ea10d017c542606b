#include "klotwords.h"

#include <QFile>

namespace {

// A list built into the program: one word a line, '#' starting a comment line.
QByteArrayList readList(const QString &resource)
{
    QFile f(resource);
    QByteArrayList out;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n')) {
            if (!line.isEmpty() && !line.startsWith('#'))
                out.append(line);
        }
    }
    return out;
}

} // namespace

const QByteArrayList &klotWords()
{
    static const QByteArrayList words = readList(QStringLiteral(":/klot.txt"));
    return words;
}

const QByteArrayList &klotNeverWords()
{
    static const QByteArrayList words = readList(QStringLiteral(":/klot-never.txt"));
    return words;
}
