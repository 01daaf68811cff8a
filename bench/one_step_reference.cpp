#include "bench/one_step_reference.h"

#include "dice/roll_evaluation.h"

#include <algorithm>

void oneStepSeed(OneStepSource& source, int64_t time) {
    source.j = 0;
    source.k = 31;
    source.T[0] = static_cast<int32_t>(static_cast<uint64_t>(time) & 0x3FFFFFFF);
    source.T[1] = 1;
    for (int i = 2; i < 55; ++i) {
        source.T[i] = (source.T[i - 1] + source.T[i - 2]) & 0x3FFFFFFF;
    }
    source.steps = 0;
}

int32_t oneStepNext(OneStepSource& source) {
    const int32_t word = (source.T[source.k] + source.T[source.j]) & 0x3FFFFFFF;
    source.T[source.j] = word;
    if (++source.j == 55) {
        source.j = 0;
    }
    if (++source.k == 55) {
        source.k = 0;
    }
    ++source.steps;
    return word >> 6;
}

int32_t oneStepUniformInt(OneStepSource& source, int32_t lo, int32_t hi) {
    const int64_t range = static_cast<int64_t>(hi) + 1 - lo;
    if (range <= 1) {
        return lo;
    }
    uint64_t mask = 2;
    while (mask < static_cast<uint64_t>(range)) {
        mask <<= 1;
    }
    mask -= 1;
    const bool wide = range > (int64_t{1} << 24);
    uint64_t r;
    do {
        r = static_cast<uint64_t>(oneStepNext(source));
        if (wide) {
            r = (r << 24) | static_cast<uint64_t>(oneStepNext(source));
        }
        r &= mask;
    } while (r >= static_cast<uint64_t>(range));
    return static_cast<int32_t>(lo + static_cast<int64_t>(r));
}

int64_t oneStepEvaluateRoll(OneStepSource& source, int32_t count, int32_t faces, int32_t drop) {
    static int32_t work[WORK_CAPACITY];
    if (faces <= 0 || count <= 0 || drop >= count || count > MAX_DICE) {
        return 0;
    }
    int64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        work[i] = oneStepUniformInt(source, 1, faces);
        total += work[i];
    }
    if (drop <= 0) {
        return total;
    }
    if (faces <= 1024 && faces <= count) {
        int32_t timesShown[1025] = {};
        for (int32_t i = 0; i < count; ++i) {
            ++timesShown[work[i]];
        }
        for (int32_t face = 1, left = drop; face <= faces && left > 0; ++face) {
            const int32_t taken = std::min(left, timesShown[face]);
            total -= int64_t{face} * taken;
            left -= taken;
        }
        return total;
    }
    std::nth_element(work, work + drop, work + count);
    for (int32_t i = 0; i < drop; ++i) {
        total -= work[i];
    }
    return total;
}
