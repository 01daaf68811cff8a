// Fuzzes the dice engine against a plain reference: any seed, then any sequence of
// nextRandom, uniformInt and evaluateRoll calls with any arguments. Every value, and every
// output after the last call, must be the reference's.
#include "bench/one_step_reference.h"
#include "dice/random_source.h"
#include "dice/roll_evaluation.h"
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <cinttypes>

namespace {

// Mostly the values where the engine changes course (small numbers; powers of two, where the
// mask and the two-output draws begin, give or take a little), now and then any 32 bits.
int32_t anyInt(FuzzInput& in) {
    const uint8_t kind = nextByte(in) % 4;
    if (kind == 0) {
        return static_cast<int8_t>(nextByte(in));
    }
    if (kind == 3) {
        return static_cast<int32_t>(nextWord(in));
    }
    const int64_t power = int64_t{1} << (nextByte(in) % 32);
    const int64_t near = (kind == 1 ? power : -power) + static_cast<int8_t>(nextByte(in));
    return static_cast<int32_t>(static_cast<uint32_t>(near)); // wraps at 2^31, as intended
}

// Dice one input may draw, so that executions stay short while one roll of MAX_DICE fits.
constexpr int64_t DRAW_BUDGET = MAX_DICE + 1;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size, 0};
    const int64_t seed = static_cast<int64_t>(uint64_t{nextWord(in)} << 32 | nextWord(in));
    seedRandomFromTime(seed);
    OneStepSource reference;
    oneStepSeed(reference, seed);

    int64_t drawsLeft = DRAW_BUDGET;
    long step = 0;
    for (; !atEnd(in); ++step) {
        const uint8_t call = nextByte(in) % 3;
        if (call == 0) {
            const int32_t expected = oneStepNext(reference);
            const int32_t got = nextRandom();
            if (got != expected) {
                fail(step, "nextRandom() gave %d, reference %d", got, expected);
            }
        } else if (call == 1) {
            const int32_t lo = anyInt(in);
            const int32_t hi = anyInt(in);
            const int32_t expected = oneStepUniformInt(reference, lo, hi);
            const int32_t got = uniformInt(lo, hi);
            if (got != expected) {
                fail(step, "uniformInt(%d, %d) gave %d, reference %d", lo, hi, got, expected);
            }
        } else {
            const int32_t count = anyInt(in);
            const int32_t faces = anyInt(in);
            const int32_t drop = anyInt(in);
            if (count > 0 && count <= MAX_DICE) {
                if (count > drawsLeft) {
                    continue;
                }
                drawsLeft -= count;
            }
            const int64_t expected = oneStepEvaluateRoll(reference, count, faces, drop);
            const int64_t got = evaluateRoll(count, faces, drop);
            if (got != expected) {
                fail(step, "evaluateRoll(%d, %d, %d) gave %" PRId64 ", reference %" PRId64, count,
                     faces, drop, got, expected);
            }
        }
    }
    // Two lag tables' worth of outputs: the engine's state must still be the reference's.
    for (int i = 0; i < 110; ++i) {
        const int32_t expected = oneStepNext(reference);
        const int32_t got = nextRandom();
        if (got != expected) {
            fail(step, "output %d after the calls gave %d, reference %d", i, got, expected);
        }
    }
    return 0;
}
