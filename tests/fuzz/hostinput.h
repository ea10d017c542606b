#pragma once
// What the two host fuzz targets share: the application they run in, and how
// an input is cut into chunks. A chunk's first byte picks the peer (low two
// bits) and, with its high bit set, a few timer ticks first (bits 2..4); the
// next byte is the chunk's length.

#include "tserver.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>

// The fuzz target's state, made once, after the application it needs.
template <class World> World &fuzzWorld(const char *name)
{
    static World *w = [name] {
        static int argc = 1;
        static char *argv[] = {const_cast<char *>(name), nullptr};
        new QCoreApplication(argc, argv);
        return new World;
    }();
    return *w;
}

// Calls feed(peer, bytes, length) for each chunk, after the ticks it asks for.
template <class Feed> void forEachChunk(const std::uint8_t *data, std::size_t size, TServer &host, Feed feed)
{
    std::size_t i = 0;
    while (i + 2 <= size) {
        const std::uint8_t head = data[i];
        const std::size_t len = std::min<std::size_t>(data[i + 1], size - i - 2);
        if (head & 0x80) {
            for (int k = 0; k < (head >> 2 & 7); ++k) {
                host.Timer1Timer();
                host.computertimerTimer();
            }
        }
        feed(head & 3, reinterpret_cast<const char *>(data + i + 2), len);
        i += 2 + len;
    }
}
