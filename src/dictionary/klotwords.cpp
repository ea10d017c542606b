#include "klotwords.h"

#include <QFile>

const QByteArrayList &klotWords()
{
    static const QByteArrayList words = [] {
        QFile f(QStringLiteral(":/klot.txt"));
        QByteArrayList out;
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : f.readAll().split('\n')) {
                if (!line.isEmpty())
                    out.append(line);
            }
        }
        return out;
    }();
    return words;
}
