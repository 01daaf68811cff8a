// Fuzzes the dice engine against a plain reference: any seed, then any sequence of
// nextRandom, uniformInt and evaluateRoll calls with any arguments. Every value, and every
// output after the last call, must be the reference's.
#include "dice/random_source.h"
#include "dice/roll_evaluation.h"
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <cinttypes>
#include <vector>

namespace {

// The generator as its definition reads, one word per step, written out rather than taken
// from the engine's header so that the two share no mistake.
struct Reference {
    int32_t T[55];
    int j;
    int k;
};

void referenceSeed(Reference& r, int64_t time) {
    r.j = 0;
    r.k = 31;
    r.T[0] = static_cast<int32_t>(static_cast<uint64_t>(time) & 0x3FFFFFFF);
    r.T[1] = 1;
    for (int i = 2; i < 55; ++i) {
        r.T[i] = (r.T[i - 1] + r.T[i - 2]) & 0x3FFFFFFF;
    }
}

int32_t referenceNext(Reference& r) {
    const int32_t word = (r.T[r.k] + r.T[r.j]) & 0x3FFFFFFF;
    r.T[r.j] = word;
    r.j = (r.j + 1) % 55;
    r.k = (r.k + 1) % 55;
    return word >> 6;
}

// Mask and reject; a range wider than one 24-bit output takes two outputs per draw, the
// first in the high half.
int32_t referenceUniform(Reference& r, int32_t lo, int32_t hi) {
    const int64_t range = int64_t{hi} + 1 - lo;
    if (range <= 1) {
        return lo;
    }
    int64_t mask = 2;
    while (mask < range) {
        mask *= 2;
    }
    for (;;) {
        int64_t draw = referenceNext(r);
        if (range > (int64_t{1} << 24)) {
            draw = draw << 24 | referenceNext(r);
        }
        draw &= mask - 1;
        if (draw < range) {
            return static_cast<int32_t>(lo + draw);
        }
    }
}

// Draws the dice in order, sorts them and adds up all but the `drop` lowest.
int64_t referenceRoll(Reference& r, int32_t count, int32_t faces, int32_t drop) {
    if (faces <= 0 || count <= 0 || drop >= count || count > MAX_DICE) {
        return 0;
    }
    std::vector<int32_t> dice(static_cast<size_t>(count));
    for (int32_t& die : dice) {
        die = referenceUniform(r, 1, faces);
    }
    if (drop > 0) {
        std::sort(dice.begin(), dice.end());
    }
    int64_t total = 0;
    for (int32_t i = std::max(drop, 0); i < count; ++i) {
        total += dice[static_cast<size_t>(i)];
    }
    return total;
}

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
    Reference reference;
    referenceSeed(reference, seed);

    int64_t drawsLeft = DRAW_BUDGET;
    long step = 0;
    for (; !atEnd(in); ++step) {
        const uint8_t call = nextByte(in) % 3;
        if (call == 0) {
            const int32_t expected = referenceNext(reference);
            const int32_t got = nextRandom();
            if (got != expected) {
                fail(step, "nextRandom() gave %d, reference %d", got, expected);
            }
        } else if (call == 1) {
            const int32_t lo = anyInt(in);
            const int32_t hi = anyInt(in);
            const int32_t expected = referenceUniform(reference, lo, hi);
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
            const int64_t expected = referenceRoll(reference, count, faces, drop);
            const int64_t got = evaluateRoll(count, faces, drop);
            if (got != expected) {
                fail(step, "evaluateRoll(%d, %d, %d) gave %" PRId64 ", reference %" PRId64, count,
                     faces, drop, got, expected);
            }
        }
    }
    // Two lag tables' worth of outputs: the engine's state must still be the reference's.
    for (int i = 0; i < 110; ++i) {
        const int32_t expected = referenceNext(reference);
        const int32_t got = nextRandom();
        if (got != expected) {
            fail(step, "output %d after the calls gave %d, reference %d", i, got, expected);
        }
    }
    return 0;
}
