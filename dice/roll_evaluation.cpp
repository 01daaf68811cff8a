#include "dice/roll_evaluation.h"

#include "dice/boundary_window.h"
#include "dice/dice_draws.h"
#include "dice/few_dice.h"
#include "dice/lowest_dice.h"
#include "dice/random_source.h"

#include <algorithm>

// Static rather than automatic: 400 KB on the stack would take a large bite of the 1 MB
// main-thread stack Windows gives by default. Only the UI thread rolls, and no die outlives
// the call. Entry 0 holds the sum's start, 0; the dice follow it.
static int32_t work[WORK_CAPACITY];

// Every roll but the few that rollFewDiceAhead takes.
static int64_t evaluateAnyRoll(int32_t count, int32_t faces, int32_t drop) {
    if (faces <= 0 || count <= 0 || drop >= count || count > MAX_DICE) {
        return 0;
    }
    const int32_t dropped = std::max(drop, 0);
    if (faces == 1) {
        // uniformInt(1, 1) is 1 without a step.
        return count - dropped;
    }
    // Removing the lowest die `drop` times, first of equals first, takes away exactly the
    // `drop` smallest values, so subtracting their sum gives the same total in linear time.
    if (count <= FEW_DICE && faces <= RANDOM_SINGLE_DRAW_RANGE) {
        int32_t few[FEW_DICE];
        const int64_t total = drawFewDice(few, count, faces);
        return total - sumOfLowestByScan(few, count, dropped);
    }
    if (dropped == 0) {
        return drawDiceSum(count, faces);
    }
    int32_t* const dice = work + 1;
    if (count <= SCANNED_VALUES) {
        const int64_t total = drawDice(dice, count, faces);
        return total - sumOfLowestByScan(dice, count, dropped);
    }
    // Large rolls look for the boundary in a window first: a window of faces, then one of
    // values; faces few enough are counted at once.
    int64_t total;
    if (count >= WINDOW_DICE && faces > COMPARED_FACES &&
        rollAroundBoundaryFace(count, faces, dropped, WINDOW_SPREAD, total)) {
        return total;
    }
    if (count >= WINDOW_DICE && faces >= WINDOW_FACES &&
        rollAroundBoundary(dice, MAX_DICE, count, faces, dropped, WINDOW_SPREAD, total)) {
        return total;
    }
    // Counting needs no dice kept, but clearing its counts costs more than the dice take once
    // the faces outnumber them.
    if (faces <= MAX_COUNTED_FACES && faces <= count) {
        int32_t timesShown[MAX_COUNTED_FACES + 1];
        countDice(timesShown, count, faces);
        total = 0;
        for (int32_t face = 1; face <= faces; ++face) {
            total += int64_t{face} * timesShown[face];
        }
        return total - sumOfLowestCounted(timesShown, faces, dropped);
    }
    Bins bins;
    prepareBins(bins, count, 0, bitWidth(static_cast<uint32_t>(faces)));
    total = drawDiceBinned(dice, count, faces, bins);
    return total - sumOfLowestBinned(dice, count, dropped, bins);
}

int64_t evaluateRoll(int32_t count, int32_t faces, int32_t drop) {
    // The commonest rolls first, in a function of their own: the checks for every other kind
    // of roll and the setting up of its larger frame cost as much as their draws.
    int64_t fewTotal;
    if (rollFewDiceAhead(count, faces, drop, fewTotal)) {
        return fewTotal;
    }
    return evaluateAnyRoll(count, faces, drop);
}
