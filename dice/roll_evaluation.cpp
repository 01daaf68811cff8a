#include "dice/roll_evaluation.h"

#include "dice/random_source.h"

#include <algorithm>

// Face counts up to this are dropped by counting how often each face came up.
constexpr int32_t MAX_COUNTED_FACES = 1024;

// Sum of the `drop` lowest of dice[0 .. count), by counting the faces; needs faces within
// MAX_COUNTED_FACES and every die in 1 .. faces.
static int64_t sumLowestByCounting(const int32_t* dice, int32_t count, int32_t faces,
                                   int32_t drop) {
    int32_t timesShown[MAX_COUNTED_FACES + 1];
    std::fill_n(timesShown, faces + 1, 0);
    for (int32_t i = 0; i < count; ++i) {
        ++timesShown[dice[i]];
    }
    int64_t dropped = 0;
    int32_t left = drop;
    for (int32_t face = 1; face <= faces && left > 0; ++face) {
        const int32_t taken = std::min(left, timesShown[face]);
        dropped += static_cast<int64_t>(face) * taken;
        left -= taken;
    }
    return dropped;
}

// Sum of the `drop` lowest of dice[0 .. count), drop < count; reorders the dice.
static int64_t sumLowestBySelection(int32_t* dice, int32_t count, int32_t drop) {
    std::nth_element(dice, dice + drop, dice + count);
    int64_t dropped = 0;
    for (int32_t i = 0; i < drop; ++i) {
        dropped += dice[i];
    }
    return dropped;
}

int64_t evaluateRoll(int32_t count, int32_t faces, int32_t drop) {
    if (faces <= 0 || count <= 0 || drop >= count || count > MAX_DICE) {
        return 0;
    }
    // Static rather than automatic: 400 KB on the stack would take a large bite of the
    // 1 MB main-thread stack Windows gives by default. Only the UI thread rolls, and no
    // die outlives the call.
    static int32_t work[WORK_CAPACITY];
    work[0] = 0;
    int32_t* const dice = work + 1;

    int64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        dice[i] = uniformInt(1, faces);
        total += dice[i];
    }
    if (drop <= 0) {
        return total;
    }
    // Removing the lowest die `drop` times, first of equals first, takes away exactly the
    // `drop` smallest values, so subtracting their sum gives the same total in linear time.
    // Counting is cheaper only while the faces are few beside the dice.
    if (faces <= MAX_COUNTED_FACES && faces <= count) {
        return total - sumLowestByCounting(dice, count, faces, drop);
    }
    return total - sumLowestBySelection(dice, count, drop);
}
