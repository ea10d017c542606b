#pragma once

#include <QByteArrayList>

// The computer opponent's own list of common words, sorted, lower case.
const QByteArrayList &klotWords();
