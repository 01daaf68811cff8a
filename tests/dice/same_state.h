#pragma once

#include "dice/random_source.h"

#include <algorithm>

// Same place in the stream: the same lag table and cursors in the one-step form.
inline bool sameState(const RandomSource& source, const RandomSource& other) {
    const LagTable a = lagTable(source);
    const LagTable b = lagTable(other);
    return a.j == b.j && a.k == b.k && std::equal(a.T, a.T + RANDOM_TABLE_LENGTH, b.T);
}
