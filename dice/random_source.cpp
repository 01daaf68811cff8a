#include "dice/random_source.h"

#include <algorithm>
#include <ctime>

static_assert(RANDOM_BLOCK_LENGTH % RANDOM_SHORT_LAG == 0, "whole chunks per block");
static_assert(RANDOM_WORDS_END % RANDOM_TABLE_LENGTH == 0, "buffer places follow the table");

// No words left to draw, so the first draw computes a block from the (zero) table.
RandomSource gRandom = {{}, RANDOM_WORDS_END};

// Fast because a chunk of 24 words reads only words 24 and 55 back, never one it writes, so
// it vectorises.
void computeNextBlock(RandomSource& source) {
    int32_t* const words = source.words;
    std::copy(words + RANDOM_BLOCK_LENGTH, words + RANDOM_WORDS_END, words);
    for (int32_t chunk = RANDOM_TABLE_LENGTH; chunk < RANDOM_WORDS_END; chunk += RANDOM_SHORT_LAG) {
        int32_t* const out = words + chunk;
        for (int32_t i = 0; i < RANDOM_SHORT_LAG; ++i) {
            // Both words are below 2^30, so their sum fits in 31 bits.
            out[i] = (out[i - RANDOM_TABLE_LENGTH] + out[i - RANDOM_SHORT_LAG]) & RANDOM_WORD_MASK;
        }
    }
    source.next = RANDOM_TABLE_LENGTH;
}

LagTable lagTable(const RandomSource& source) {
    // Buffer place p holds the word of table entry p mod 55 (the buffer is whole tables long
    // and a block moves its last table to place 0).
    LagTable table;
    for (int32_t p = source.next - RANDOM_TABLE_LENGTH; p < source.next; ++p) {
        table.T[p % RANDOM_TABLE_LENGTH] = source.words[p];
    }
    table.j = source.next % RANDOM_TABLE_LENGTH;
    table.k = (table.j + RANDOM_K_OFFSET) % RANDOM_TABLE_LENGTH;
    return table;
}

void seedRandom() {
    seedRandomFromTime(static_cast<int64_t>(std::time(nullptr)));
}

void seedRandomFromTime(int64_t time) {
    // The seeded table sits where a block leaves its last table, with nothing left to draw:
    // j = 0 and k = 31.
    int32_t* const T = gRandom.words + RANDOM_BLOCK_LENGTH;
    // Masked as unsigned so that a negative clock reading keeps its low 30 bits.
    T[0] = static_cast<int32_t>(static_cast<uint64_t>(time) & RANDOM_WORD_MASK);
    T[1] = 1;
    for (int i = 2; i < RANDOM_TABLE_LENGTH; ++i) {
        T[i] = (T[i - 1] + T[i - 2]) & RANDOM_WORD_MASK;
    }
    gRandom.next = RANDOM_WORDS_END;
}

int32_t uniformInt(int32_t lo, int32_t hi) {
    // In 64 bits: hi + 1 - lo overflows 32 bits for wide or reversed bounds.
    const int64_t range = static_cast<int64_t>(hi) + 1 - lo;
    if (range <= 1) {
        return lo;
    }
    const uint64_t mask = drawMask(static_cast<uint64_t>(range));
    uint64_t r;
    if (range <= RANDOM_SINGLE_DRAW_RANGE) {
        do {
            r = static_cast<uint64_t>(nextRandom()) & mask;
        } while (r >= static_cast<uint64_t>(range));
    } else {
        // Two outputs per draw, joined into 48 bits, the first in the high half.
        do {
            const uint64_t high = static_cast<uint64_t>(nextRandom());
            r = ((high << RANDOM_OUTPUT_BITS) | static_cast<uint64_t>(nextRandom())) & mask;
        } while (r >= static_cast<uint64_t>(range));
    }
    return static_cast<int32_t>(lo + static_cast<int64_t>(r));
}
