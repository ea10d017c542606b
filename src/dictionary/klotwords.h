#pragma once

#include <QByteArrayList>

// The computer opponent's own list of common words, sorted, lower case.
const QByteArrayList &klotWords();

// The words the computer opponent never plays, at any strength (slurs and
// crude words), lower case; rules::KlotWords keeps them sorted for lookup.
const QByteArrayList &klotNeverWords();
