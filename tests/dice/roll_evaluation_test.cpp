#include "dice/random_source.h"
#include "dice/roll_evaluation.h"
#include "tests/dice/same_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// The dice a roll will draw from the current generator state, which is left as it was.
std::vector<int32_t> upcomingDice(int32_t count, int32_t faces) {
    const RandomSource saved = gRandom;
    std::vector<int32_t> dice(static_cast<size_t>(count));
    for (int32_t& die : dice) {
        die = uniformInt(1, faces);
    }
    gRandom = saved;
    return dice;
}

// The dropping rule written out plainly, as a slow reference: the work area holds the sum's
// start (0) then the dice; each pass finds the lowest die still in play, the first of equals,
// and marks it 0 (no die shows 0); the total is the sum of the whole area.
int32_t findLowestNonZero(const int32_t* values, int32_t n) {
    int32_t best = values[0];
    int32_t index = 0;
    for (int32_t i = 1; i < n; ++i) {
        if (values[i] != 0 && (values[i] < best || best == 0)) {
            best = values[i];
            index = i;
        }
    }
    return index;
}

int64_t totalByRepeatedScan(const std::vector<int32_t>& dice, int32_t drop) {
    const int32_t count = static_cast<int32_t>(dice.size());
    if (count <= 0 || drop >= count) {
        return 0;
    }
    std::vector<int32_t> work(1, 0);
    work.insert(work.end(), dice.begin(), dice.end());
    for (int32_t pass = 0; pass < drop; ++pass) {
        work[1 + findLowestNonZero(work.data() + 1, count)] = 0;
    }
    int64_t total = 0;
    for (int32_t value : work) {
        total += value;
    }
    return total;
}

// Rolls once and checks the total against the plain rule applied to the same draws, and that
// the generator moved exactly as far as drawing the dice takes it.
void expectSameAsRepeatedScan(int32_t count, int32_t faces, int32_t drop) {
    const std::vector<int32_t> dice = upcomingDice(count, faces);
    const RandomSource saved = gRandom;
    // A roll that keeps no die draws none.
    for (int32_t i = 0; i < count && drop < count; ++i) {
        uniformInt(1, faces);
    }
    const RandomSource afterDraws = gRandom;
    gRandom = saved;
    EXPECT_EQ(evaluateRoll(count, faces, drop), totalByRepeatedScan(dice, drop))
        << count << "d" << faces << " drop " << drop;
    EXPECT_TRUE(sameState(gRandom, afterDraws)) << count << "d" << faces << " drop " << drop;
}

// --- Known totals ------------------------------------------------------------------------

TEST(RollTotals, KnownSeedGivesTheKnownTotals) {
    seedRandomFromTime(0);
    const int64_t fourDropOne[] = {13, 10, 11, 12, 5};
    for (int64_t expected : fourDropOne) {
        EXPECT_EQ(evaluateRoll(4, 6, 1), expected);
    }
    seedRandomFromTime(0);
    const int64_t threeDice[] = {13, 8, 10, 9, 10};
    for (int64_t expected : threeDice) {
        EXPECT_EQ(evaluateRoll(3, 6, 0), expected);
    }
}

TEST(RollTotals, OneFacedDiceCountWhatIsLeftWithoutDrawing) {
    seedRandomFromTime(5);
    const RandomSource before = gRandom;
    EXPECT_EQ(evaluateRoll(5, 1, 2), 3);
    EXPECT_EQ(evaluateRoll(5, 1, 0), 5);
    EXPECT_EQ(evaluateRoll(5, 1, -1), 5);
    EXPECT_EQ(evaluateRoll(MAX_DICE, 1, MAX_DICE - 1), 1);
    EXPECT_TRUE(sameState(gRandom, before));
}

TEST(RollTotals, HugeDiceAddUpExactlyBeyondThirtyTwoBits) {
    seedRandomFromTime(6);
    const std::vector<int32_t> dice = upcomingDice(MAX_DICE, INT32_MAX);
    int64_t expected = 0;
    for (int32_t die : dice) {
        expected += die;
    }
    const int64_t total = evaluateRoll(MAX_DICE, INT32_MAX, 0);
    EXPECT_EQ(total, expected);
    EXPECT_GT(total, int64_t{1} << 32);
}

TEST(RollTotals, DroppingAllButOneLeavesTheHighestDie) {
    seedRandomFromTime(8);
    const std::vector<int32_t> dice = upcomingDice(1000, INT32_MAX);
    EXPECT_EQ(evaluateRoll(1000, INT32_MAX, 999), *std::max_element(dice.begin(), dice.end()));
}

// --- Rolls that draw nothing -------------------------------------------------------------

TEST(RollLimits, RollsWithNothingToKeepGiveZeroAndLeaveTheGeneratorAlone) {
    struct Roll {
        int32_t count, faces, drop;
    };
    const Roll rolls[] = {
        {0, 6, 0},
        {-5, 6, 0},
        {3, 0, 0},
        {3, -1, 0},
        {3, 6, 3},
        {3, 6, 5},
        {MAX_DICE + 1, 6, 0},
        {INT32_MAX, 6, 0},
        {INT32_MAX, INT32_MAX, INT32_MIN},
        {INT32_MIN, INT32_MIN, INT32_MIN},
    };
    seedRandomFromTime(9);
    const RandomSource before = gRandom;
    for (const Roll& roll : rolls) {
        EXPECT_EQ(evaluateRoll(roll.count, roll.faces, roll.drop), 0)
            << roll.count << "d" << roll.faces << " drop " << roll.drop;
    }
    EXPECT_TRUE(sameState(gRandom, before));
}

TEST(RollLimits, TheMostDiceAllowedFillTheWorkAreaAndAreAllCounted) {
    seedRandomFromTime(10);
    expectSameAsRepeatedScan(MAX_DICE, 6, 0);
    expectSameAsRepeatedScan(MAX_DICE, 6, 3);
    expectSameAsRepeatedScan(MAX_DICE, 99999, 3);
}

// --- Dropping the lowest dice ------------------------------------------------------------

TEST(RollDropping, TotalMatchesRepeatedLowestScanForRandomRolls) {
    seedRandomFromTime(1234);
    std::mt19937 pick(42);
    // Few faces give many ties and take the counting path; many faces take the other.
    const int32_t faceChoices[] = {1,        2,   3,    4,    6,    8,     10,      12,
                                   20,       100, 1023, 1024, 1025, 99999, 1 << 24, (1 << 24) + 1,
                                   INT32_MAX};
    std::uniform_int_distribution<size_t> faceIndex(0, std::size(faceChoices) - 1);
    for (int trial = 0; trial < 1500; ++trial) {
        const int32_t count = std::uniform_int_distribution<int32_t>(1, 150)(pick);
        const int32_t drop = std::uniform_int_distribution<int32_t>(-3, count + 1)(pick);
        expectSameAsRepeatedScan(count, faceChoices[faceIndex(pick)], drop);
    }
}

TEST(RollDropping, TotalMatchesRepeatedLowestScanForLargeRolls) {
    seedRandomFromTime(99);
    expectSameAsRepeatedScan(3000, 6, 1500);
    expectSameAsRepeatedScan(3000, 1024, 2999);
    expectSameAsRepeatedScan(3000, 2000, 1);
    expectSameAsRepeatedScan(3000, 99999, 1500);
    expectSameAsRepeatedScan(2, 99999, 1);
}

TEST(RollDropping, NegativeDropRemovesNothing) {
    seedRandomFromTime(3);
    const RandomSource saved = gRandom;
    const int64_t withoutDrop = evaluateRoll(10, 6, 0);
    gRandom = saved;
    EXPECT_EQ(evaluateRoll(10, 6, -2), withoutDrop);
    gRandom = saved;
    EXPECT_EQ(evaluateRoll(10, 6, INT32_MIN), withoutDrop);
}

} // namespace
