#include "dice/random_source.h"

#include <ctime>

RandomSource gRandom = {};

void seedRandom() {
    seedRandomFromTime(static_cast<int64_t>(std::time(nullptr)));
}

void seedRandomFromTime(int64_t time) {
    gRandom.j = 0;
    gRandom.k = RANDOM_K_OFFSET;
    // Masked as unsigned so that a negative clock reading keeps its low 30 bits.
    gRandom.T[0] = static_cast<int32_t>(static_cast<uint64_t>(time) & RANDOM_WORD_MASK);
    gRandom.T[1] = 1;
    for (int i = 2; i < RANDOM_TABLE_LENGTH; ++i) {
        // Both words are below 2^30, so their sum fits in 31 bits.
        gRandom.T[i] = (gRandom.T[i - 1] + gRandom.T[i - 2]) & RANDOM_WORD_MASK;
    }
}

int32_t nextRandom() {
    const int32_t word = (gRandom.T[gRandom.k] + gRandom.T[gRandom.j]) & RANDOM_WORD_MASK;
    gRandom.T[gRandom.j] = word;
    if (++gRandom.j == RANDOM_TABLE_LENGTH) {
        gRandom.j = 0;
    }
    if (++gRandom.k == RANDOM_TABLE_LENGTH) {
        gRandom.k = 0;
    }
    return word >> RANDOM_OUTPUT_SHIFT;
}

// Two consecutive outputs as one 48-bit value, the first output in the high 24 bits.
static uint64_t nextWideRandom() {
    const uint64_t high = static_cast<uint64_t>(nextRandom());
    const uint64_t low = static_cast<uint64_t>(nextRandom());
    return (high << RANDOM_OUTPUT_BITS) | low;
}

int32_t uniformInt(int32_t lo, int32_t hi) {
    // In 64 bits: hi + 1 - lo overflows 32 bits for wide or reversed bounds.
    const int64_t range = static_cast<int64_t>(hi) + 1 - lo;
    if (range <= 1) {
        return lo;
    }
    // The smallest power of two, at least 2, not below range; range <= 2^32 here.
    uint64_t mask = 2;
    while (mask < static_cast<uint64_t>(range)) {
        mask <<= 1;
    }
    mask -= 1;

    // Up to 2^24 values one output covers the range; wider ranges take two per draw.
    const bool wide = range > RANDOM_SINGLE_DRAW_RANGE;
    uint64_t r;
    do {
        r = (wide ? nextWideRandom() : static_cast<uint64_t>(nextRandom())) & mask;
    } while (r >= static_cast<uint64_t>(range));
    return static_cast<int32_t>(lo + static_cast<int64_t>(r));
}
