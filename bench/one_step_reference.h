#pragma once

#include <cstdint>

// The engine computed one step at a time, as it stood before block generation: a 55-word
// table with two wrapping cursors, one uniformInt call per die and a general-purpose select
// for dropping. Kept out of the program: the benchmarks measure the program's engine against
// it, and the dice tests and the dice fuzzer check every value the engine gives against it.
struct OneStepSource {
    int32_t T[55];
    int32_t j;
    int32_t k;
    int64_t steps; // outputs taken since seeding
};

void oneStepSeed(OneStepSource& source, int64_t time);
int32_t oneStepNext(OneStepSource& source);
int32_t oneStepUniformInt(OneStepSource& source, int32_t lo, int32_t hi);
// 0, drawing nothing, for a count above MAX_DICE, as evaluateRoll. The dice go into a work
// area of its own.
int64_t oneStepEvaluateRoll(OneStepSource& source, int32_t count, int32_t faces, int32_t drop);
