#pragma once
// Runs a container through the component from memory to memory, as the fuzz
// targets do. Returns the bytes written, or -1 when the component refused the
// container with its own exception (the only acceptable failure).

#include "tlzrw1.h"

#include <QBuffer>

inline qint64 decompressInMemory(QByteArray container, QByteArray *output = nullptr)
{
    QBuffer in(&container);
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    Tlzrw1 c;
    c.UseStream = true;
    c.setInputStream(&in);
    c.setOutputStream(&out);
    try {
        const qint64 n = c.Decompress();
        if (output)
            *output = out.data();
        return n;
    } catch (const ELzrw1Exception &) {
        return -1;
    }
}
