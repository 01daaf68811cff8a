#pragma once

#include <cstdint>

// Additive lagged-Fibonacci generator over 30-bit words, lags 24 and 55: each new word is
// the sum, modulo 2^30, of the words 55 and 24 places back. Outputs are 24 bits wide.
constexpr int RANDOM_TABLE_LENGTH = 55;
constexpr int RANDOM_SHORT_LAG = 24;
constexpr int RANDOM_K_OFFSET = RANDOM_TABLE_LENGTH - RANDOM_SHORT_LAG;
constexpr int32_t RANDOM_WORD_MASK = 0x3FFFFFFF;
constexpr int RANDOM_OUTPUT_SHIFT = 6;
constexpr int RANDOM_OUTPUT_BITS = 24;
// The widest range one output covers; wider ranges take two outputs per draw.
constexpr int64_t RANDOM_SINGLE_DRAW_RANGE = int64_t{1} << RANDOM_OUTPUT_BITS;

// Words are computed a block at a time. A whole number of 24-word chunks, so that no chunk
// reads a word it writes, and of 55-word tables, so that a word's place in the buffer tells
// its place in the lag table.
constexpr int32_t RANDOM_BLOCK_LENGTH = RANDOM_SHORT_LAG * RANDOM_TABLE_LENGTH;
constexpr int32_t RANDOM_WORDS_END = RANDOM_TABLE_LENGTH + RANDOM_BLOCK_LENGTH;

// The generator as consecutive words of its sequence. The 55 words before `next` are the lag
// table, oldest first; the words from `next` on are computed but not drawn yet, and the next
// output is words[next] >> 6. At RANDOM_WORDS_END the last 55 words move to the front and
// the block after them is computed.
struct RandomSource {
    int32_t words[RANDOM_WORDS_END];
    int32_t next;
};

// The same state in the one-step form: a new word replaces T[j], adding T[k]; then both
// cursors move on by one, wrapping at 55.
struct LagTable {
    int32_t T[RANDOM_TABLE_LENGTH];
    int32_t j; // the oldest word, replaced by the next step
    int32_t k; // the word 24 steps old; always (j + 31) mod 55 once seeded
};

// The one generator of the process; all words zero until seeded.
extern RandomSource gRandom;

// Seeds from the calendar clock (whole seconds).
void seedRandom();
// Seeds as if the calendar clock read `time`; lets tests pin sequences.
void seedRandomFromTime(int64_t time);
// A value in lo .. hi inclusive, unbiased; lo itself, without a step, when hi + 1 - lo <= 1.
// A range of up to 2^24 values takes one output per draw; a wider one takes two outputs per
// draw, joined into 48 bits (the first in the high half). Rejected draws are drawn again.
int32_t uniformInt(int32_t lo, int32_t hi);

// Moves the last 55 words to the front and computes the block after them.
void computeNextBlock(RandomSource& source);
// The words not drawn yet, at least `atLeast` (1 or 2); computes the next block when fewer are
// left, after the word left undrawn, if any. Drawing n of them means advancing source.next by n.
inline int32_t undrawnWords(RandomSource& source, int32_t atLeast = 1) {
    const int32_t left = RANDOM_WORDS_END - source.next;
    if (left < atLeast) {
        computeNextBlock(source);
        source.next -= left;
    }
    return RANDOM_WORDS_END - source.next;
}
// `source` in the one-step form; between calls of the engine, when at least 55 words precede
// source.next.
LagTable lagTable(const RandomSource& source);

// The mask of a draw from `range` values (2 .. 2^32): the smallest power of two, at least 2,
// not below range, less one; every bit below the highest set bit of range - 1 is set too.
inline uint64_t drawMask(uint64_t range) {
    uint64_t mask = (range - 1) | 1;
    for (int shift = 1; shift < 64; shift *= 2) {
        mask |= mask >> shift;
    }
    return mask;
}

// One step; a value in 0 .. 2^24 - 1. Inline: the step itself is a load and an increment.
inline int32_t nextRandom() {
    undrawnWords(gRandom);
    return gRandom.words[gRandom.next++] >> RANDOM_OUTPUT_SHIFT;
}
