#include "bench/one_step_reference.h"
#include "dice/random_source.h"
#include "dice/roll_evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

bool sameAsModel(const OneStepSource& model) {
    const LagTable table = lagTable(gRandom);
    return table.j == model.j && table.k == model.k && std::equal(model.T, model.T + 55, table.T);
}

// A mix of the three calls in random order, across many block boundaries, against the
// model: every result, the lag table after it, and the output that follows it.
TEST(StreamModel, InterleavedCallsMatchTheOneStepModel) {
    const int64_t seeds[] = {0, 1000000000, INT32_MAX, -1733400000, (int64_t{1} << 32) + 12345};
    const int32_t faceChoices[] = {
        2,    3,    6,     7,     20,      100,           1023,    1024,          1025,
        4096, 4097, 65536, 99999, 1 << 24, (1 << 24) + 1, 1 << 30, (1 << 30) + 1, INT32_MAX,
        0,    -6};
    // Large rolls, three per seed, for each way of finding the lowest dice: counting, bins of
    // single values, bins split again, bins finished by a scan, wide draws.
    struct Roll {
        int32_t count, faces, drop;
    };
    const Roll largeRolls[] = {
        {MAX_DICE, 6, MAX_DICE / 2},
        {MAX_DICE, 2000, MAX_DICE / 2},
        {MAX_DICE, 4097, MAX_DICE / 2 + 7},
        {MAX_DICE, 99999, MAX_DICE - 1},
        {MAX_DICE, (1 << 24) + 1, MAX_DICE / 2},
        {MAX_DICE, INT32_MAX, MAX_DICE / 2},
        {MAX_DICE, 5000, 40000},
        {MAX_DICE, 1000000, 0},
        {20000, 3000, 10000},
        {MAX_DICE, 2, 1},
        {MAX_DICE, 100, MAX_DICE / 3},
        {MAX_DICE, 20, 30000},
    };
    int largeRollsDone = 0;
    std::mt19937 pick(7);
    auto below = [&pick](int32_t n) {
        return std::uniform_int_distribution<int32_t>(0, n - 1)(pick);
    };
    for (int64_t seed : seeds) {
        seedRandomFromTime(seed);
        OneStepSource model;
        oneStepSeed(model, seed);
        for (int step = 0; step < 600; ++step) {
            // Now and then the block is left with 1 to 3 words, so that the next call
            // (a wide draw above all) starts at its very end.
            if (below(8) == 0) {
                const int32_t leave = 1 + below(3);
                while (undrawnWords(gRandom) != leave) {
                    ASSERT_EQ(nextRandom(), oneStepNext(model));
                }
            }
            int32_t faces = faceChoices[below(static_cast<int32_t>(std::size(faceChoices)))];
            if (below(4) == 0) {
                faces = std::uniform_int_distribution<int32_t>(2, INT32_MAX)(pick);
            }
            const int kind = below(10);
            if (kind == 0) {
                ASSERT_EQ(nextRandom(), oneStepNext(model)) << seed << " step " << step;
            } else if (kind <= 2) {
                const int32_t lo = std::uniform_int_distribution<int32_t>(INT32_MIN, 100)(pick);
                const int32_t hi = below(2) == 0 ? lo + below(200) : lo + faces;
                ASSERT_EQ(uniformInt(lo, hi), oneStepUniformInt(model, lo, hi))
                    << seed << " step " << step << " " << lo << ".." << hi;
            } else {
                int32_t count = 1 + below(below(4) == 0 ? 3000 : 40);
                int32_t drop = std::array<int32_t, 6>{0,         -2,    count / 2,
                                                      count - 1, count, below(count + 2)}[below(6)];
                if (step % 200 == 100) {
                    const Roll& large = largeRolls[largeRollsDone++ % std::size(largeRolls)];
                    count = large.count;
                    faces = large.faces;
                    drop = large.drop;
                }
                ASSERT_EQ(evaluateRoll(count, faces, drop),
                          oneStepEvaluateRoll(model, count, faces, drop))
                    << seed << " step " << step << ": " << count << "d" << faces << " drop "
                    << drop;
            }
            ASSERT_TRUE(sameAsModel(model)) << seed << " step " << step;
            ASSERT_EQ(nextRandom(), oneStepNext(model)) << seed << " step " << step;
        }
    }
}

// Chi-squared of the faces drawn against uniform, at a 0.1 % threshold (the Wilson-Hilferty
// approximation of the quantile), with fixed seeds. Faces beyond 100 are counted in 64 bins of
// nearly equal width, each expecting its own share.
TEST(StreamModel, FacesAreDrawnUniformly) {
    const int32_t faceChoices[] = {2, 6, 7, 20, 100, (1 << 24) + 1, INT32_MAX};
    const int draws = 120000;
    for (int32_t faces : faceChoices) {
        seedRandomFromTime(faces);
        const int32_t bins = std::min(faces, 64);
        auto binOf = [&](int32_t face) {
            return static_cast<int32_t>(int64_t{face - 1} * bins / faces);
        };
        std::vector<int> observed(static_cast<size_t>(bins), 0);
        for (int i = 0; i < draws; ++i) {
            const int32_t face = uniformInt(1, faces);
            ASSERT_GE(face, 1);
            ASSERT_LE(face, faces);
            ++observed[static_cast<size_t>(binOf(face))];
        }
        // Bin b holds the faces f with b * faces <= (f - 1) * bins < (b + 1) * faces.
        auto firstOffsetOf = [&](int32_t bin) { return (int64_t{bin} * faces + bins - 1) / bins; };
        double chiSquared = 0;
        for (int32_t bin = 0; bin < bins; ++bin) {
            const double share =
                static_cast<double>(firstOffsetOf(bin + 1) - firstOffsetOf(bin)) / faces;
            const double difference = observed[static_cast<size_t>(bin)] - draws * share;
            chiSquared += difference * difference / (draws * share);
        }
        const double df = bins - 1;
        const double z = 3.0902; // the 99.9th percentile of the standard normal
        const double limit = df * std::pow(1 - 2 / (9 * df) + z * std::sqrt(2 / (9 * df)), 3);
        EXPECT_LT(chiSquared, limit) << faces << " faces";
    }
}

} // namespace
