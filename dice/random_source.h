#pragma once

#include <cstdint>

// Additive lagged-Fibonacci generator over 30-bit words, lags 24 and 55: each new word is
// the sum, modulo 2^30, of the words 55 and 24 places back. Outputs are 24 bits wide.
constexpr int RANDOM_TABLE_LENGTH = 55;
constexpr int RANDOM_K_OFFSET = 31;
constexpr int32_t RANDOM_WORD_MASK = 0x3FFFFFFF;
constexpr int RANDOM_OUTPUT_SHIFT = 6;
constexpr int RANDOM_OUTPUT_BITS = 24;
// The widest range one output covers; wider ranges take two outputs per draw.
constexpr int64_t RANDOM_SINGLE_DRAW_RANGE = int64_t{1} << RANDOM_OUTPUT_BITS;

struct RandomSource {
    int32_t T[RANDOM_TABLE_LENGTH];
    int32_t j; // the oldest word, replaced by the next step
    int32_t k; // the word 24 steps old; always (j + 31) mod 55 once seeded
};

// The one generator of the process; zero until seeded.
extern RandomSource gRandom;

// Seeds from the calendar clock (whole seconds).
void seedRandom();
// Seeds as if the calendar clock read `time`; lets tests pin sequences.
void seedRandomFromTime(int64_t time);
// One step; a value in 0 .. 2^24 - 1.
int32_t nextRandom();
// A value in lo .. hi inclusive, unbiased; lo itself, without a step, when hi + 1 - lo <= 1.
// A range of up to 2^24 values takes one output per draw; a wider one takes two outputs per
// draw, joined into 48 bits (the first in the high half). Rejected draws are drawn again.
int32_t uniformInt(int32_t lo, int32_t hi);
