#pragma once
// Typing a word on the board: every path of touching tiles, none used twice,
// that spells what was typed, the best-scoring first; paths of equal score in
// reading order (the first differing tile nearer the top, then the left,
// comes first).

#include "rules.h"

#include <QByteArray>
#include <QPoint>
#include <vector>

using TracePath = std::vector<QPoint>;

// At most `limit` paths (the first found in reading order); typed is A..Z.
std::vector<TracePath> tracePaths(const rules::Board &letters, const QByteArray &typed, int limit = 64);
