#pragma once
// Runs a container through the component from memory to memory, as the fuzz
// targets do. Returns the bytes written, or -1 when the component refused the
// container with its own exception (the only acceptable failure).

#include "tlzrw1.h"

inline qint64 decompressInMemory(const QByteArray &container, QByteArray *output = nullptr)
{
    try {
        const QByteArray plain = Tlzrw1::decompressBytes(container);
        if (output)
            *output = plain;
        return plain.size();
    } catch (const ELzrw1Exception &) {
        return -1;
    }
}
