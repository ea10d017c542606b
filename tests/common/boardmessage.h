#pragma once
// A host's board message from 49 letters given row by row; '.' is an empty
// square.

#include <QByteArray>

inline QByteArray boardMessage(const char *rows)
{
    QByteArray m = "CMD_theboard";
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            const char c = rows[y * 7 + x];
            m += "+" + QByteArray::number(x) + "+" + QByteArray::number(y) + "+"
                    + QByteArray::number(c == '.' ? 0 : c - 'A' + 1);
        }
    return m;
}
