#pragma once
// A message read as its receiver reads it, for tests that watch the wire:
// the typed value of the type asked for, or an empty one when the message is
// another.

#include "typedmessages.h"

template <class T, class V> T typedAs(const wire::Decoded<V> &d)
{
    const T *value = d.message ? std::get_if<T>(&*d.message) : nullptr;
    return value ? *value : T{};
}

// A host's message, read as a window reads it.
template <class T> T decodedAs(const QByteArray &message)
{
    return typedAs<T>(wire::decodeFromHost(message));
}

// The same from a command and the data after it.
template <class T> T decodedAs(const char *command, const QByteArray &data)
{
    return decodedAs<T>(command + ('+' + data));
}

// A window's request, read as the host reads it.
template <class T> T requestAs(const QByteArray &message)
{
    return typedAs<T>(wire::decodeFromClient(message));
}
