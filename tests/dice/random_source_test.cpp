#include "dice/random_source.h"
#include "tests/dice/same_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

namespace {

// Calls uniformInt(lo, hi) `calls` times and checks each result against a replay on the raw
// outputs of the same generator state: `outputsPerDraw` outputs joined high to low, masked
// with `mask`, drawn again while at or above the range. Returns how many draws were rejected.
int replayUniformInt(int32_t lo, int32_t hi, uint64_t mask, int outputsPerDraw, int calls) {
    const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(hi) + 1 - lo);
    int rejected = 0;
    for (int call = 0; call < calls; ++call) {
        const RandomSource before = gRandom;
        uint64_t r;
        for (;;) {
            r = 0;
            for (int i = 0; i < outputsPerDraw; ++i) {
                r = (r << RANDOM_OUTPUT_BITS) | static_cast<uint64_t>(nextRandom());
            }
            r &= mask;
            if (r < range) {
                break;
            }
            ++rejected;
        }
        const RandomSource afterReplay = gRandom;
        gRandom = before;
        const int32_t value = uniformInt(lo, hi);
        EXPECT_EQ(static_cast<int64_t>(value), lo + static_cast<int64_t>(r)) << "call " << call;
        EXPECT_TRUE(sameState(gRandom, afterReplay)) << "call " << call;
    }
    return rejected;
}

// --- Seeding and raw outputs -------------------------------------------------------------

TEST(RandomSeeding, CalendarTimeZeroGivesTheKnownOutputsAndDice) {
    seedRandomFromTime(0);
    const int32_t outputs[] = {21035, 34036, 55071, 89107, 144179};
    for (int32_t expected : outputs) {
        EXPECT_EQ(nextRandom(), expected);
    }
    seedRandomFromTime(0);
    const int32_t sixes[] = {4, 5, 4, 4, 3, 1, 3, 4, 3, 1};
    for (int32_t expected : sixes) {
        EXPECT_EQ(uniformInt(1, 6), expected);
    }
}

TEST(RandomSeeding, OneBillionSecondsGivesTheKnownOutputs) {
    seedRandomFromTime(1000000000);
    const int32_t outputs[] = {9522067, 11966076, 4710927, 16677003, 4610715};
    for (int32_t expected : outputs) {
        EXPECT_EQ(nextRandom(), expected);
    }
}

TEST(RandomSeeding, OnlyTheLowThirtyBitsOfTheClockCount) {
    const int64_t times[] = {1, 1700000000, -1, int64_t{1} << 40};
    for (int64_t t : times) {
        seedRandomFromTime(t);
        const RandomSource first = gRandom;
        seedRandomFromTime(t + (int64_t{1} << 30));
        EXPECT_TRUE(sameState(gRandom, first)) << t;
        EXPECT_EQ(lagTable(gRandom).T[0],
                  static_cast<int32_t>(static_cast<uint64_t>(t) & 0x3FFFFFFF));
    }
}

TEST(RandomSeeding, SeedingFromTheClockMatchesTheSecondItRanIn) {
    const std::time_t before = std::time(nullptr);
    seedRandom();
    const std::time_t after = std::time(nullptr);
    const RandomSource seeded = gRandom;
    seedRandomFromTime(before);
    const bool matchesBefore = sameState(gRandom, seeded);
    seedRandomFromTime(after);
    EXPECT_TRUE(matchesBefore || sameState(gRandom, seeded));
}

TEST(RandomSeeding, CursorsStayThirtyOneApartAndOutputsStayBelow2To24) {
    seedRandomFromTime(123456789);
    for (int step = 0; step < 3 * RANDOM_TABLE_LENGTH; ++step) {
        const LagTable table = lagTable(gRandom);
        EXPECT_EQ(table.j, step % RANDOM_TABLE_LENGTH);
        EXPECT_EQ(table.k, (table.j + RANDOM_K_OFFSET) % RANDOM_TABLE_LENGTH);
        const int32_t output = nextRandom();
        EXPECT_GE(output, 0);
        EXPECT_LT(output, 1 << 24);
    }
}

// --- Ranges of up to 2^24 values: one output per draw ------------------------------------

TEST(UniformIntSmallRanges, AnEmptyOrSingleValueRangeReturnsLoWithoutAStep) {
    seedRandomFromTime(7);
    const RandomSource before = gRandom;
    EXPECT_EQ(uniformInt(1, 1), 1);
    EXPECT_EQ(uniformInt(5, 3), 5);
    EXPECT_EQ(uniformInt(INT32_MAX, INT32_MIN), INT32_MAX);
    EXPECT_EQ(uniformInt(INT32_MIN, INT32_MIN), INT32_MIN);
    EXPECT_TRUE(sameState(gRandom, before));
}

TEST(UniformIntSmallRanges, TwoValuesUseTheLowBitAndNeverReject) {
    seedRandomFromTime(11);
    EXPECT_EQ(replayUniformInt(1, 2, 1, 1, 500), 0);
}

TEST(UniformIntSmallRanges, DiceMaskToTheNextPowerOfTwoAndRejectTheRest) {
    seedRandomFromTime(12);
    // Six faces: masked 6 and 7 are drawn again, about one draw in four.
    EXPECT_GT(replayUniformInt(1, 6, 7, 1, 1000), 100);
    EXPECT_GT(replayUniformInt(1, 20, 31, 1, 500), 0);
    EXPECT_GT(replayUniformInt(1, 100, 127, 1, 500), 0);
    EXPECT_GT(replayUniformInt(-50, 49, 127, 1, 500), 0);
}

TEST(UniformIntSmallRanges, ExactlyTwoTo24ValuesTakeOneWholeOutput) {
    seedRandomFromTime(13);
    EXPECT_EQ(replayUniformInt(1, 1 << 24, (1 << 24) - 1, 1, 500), 0);
    EXPECT_EQ(replayUniformInt(0, (1 << 24) - 1, (1 << 24) - 1, 1, 500), 0);
}

// --- Wider ranges: two outputs joined into one 48-bit draw -------------------------------

TEST(UniformIntWideRanges, MoreThanTwoTo24ValuesJoinTwoOutputsPerDraw) {
    seedRandomFromTime(21);
    const int32_t twoTo24 = 1 << 24;
    const int32_t twoTo30 = 1 << 30;
    // Just over 2^24 needs a 2^25 mask and rejects about half its draws.
    EXPECT_GT(replayUniformInt(1, twoTo24 + 1, (uint64_t{1} << 25) - 1, 2, 500), 100);
    EXPECT_EQ(replayUniformInt(1, twoTo30, twoTo30 - 1, 2, 500), 0);
    EXPECT_GT(replayUniformInt(1, twoTo30 + 1, (uint64_t{1} << 31) - 1, 2, 500), 100);
    EXPECT_EQ(replayUniformInt(0, INT32_MAX, (uint64_t{1} << 31) - 1, 2, 500), 0);
    EXPECT_GE(replayUniformInt(1, INT32_MAX, (uint64_t{1} << 31) - 1, 2, 500), 0);
    EXPECT_EQ(replayUniformInt(INT32_MIN, INT32_MAX, (uint64_t{1} << 32) - 1, 2, 500), 0);
}

TEST(UniformIntWideRanges, TheLargestDieReachesFacesAboveTwoTo24AndSetsEveryBit) {
    seedRandomFromTime(22);
    int aboveTwoTo24 = 0;
    uint32_t bitsSeen = 0;
    const int draws = 2000;
    for (int i = 0; i < draws; ++i) {
        const int32_t face = uniformInt(1, INT32_MAX);
        ASSERT_GE(face, 1);
        aboveTwoTo24 += face > (1 << 24) ? 1 : 0;
        bitsSeen |= static_cast<uint32_t>(face - 1);
    }
    // All but about 1 in 128 faces lie above 2^24.
    EXPECT_GT(aboveTwoTo24, draws * 95 / 100);
    EXPECT_EQ(bitsSeen, static_cast<uint32_t>(INT32_MAX));
}

TEST(UniformIntWideRanges, ABillionFacesAreSpreadOverTheWholeRange) {
    seedRandomFromTime(23);
    const int32_t faces = 1000000000;
    int quarters[4] = {};
    for (int i = 0; i < 4000; ++i) {
        const int32_t face = uniformInt(1, faces);
        ASSERT_GE(face, 1);
        ASSERT_LE(face, faces);
        ++quarters[(face - 1) / (faces / 4)];
    }
    for (int count : quarters) {
        EXPECT_GT(count, 850);
    }
}

} // namespace
