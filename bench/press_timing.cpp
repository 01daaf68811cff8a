// The largest roll command, 100 rolls of the most dice, timed on the program's engine and on
// the one-step engine it replaced: the minimum and median wall time of several repetitions,
// their ratio, and a checksum of the totals. Plain C++ with no benchmark library, so that the
// Windows build can be timed too (under Wine) and its totals compared with the native ones.
// Usage: press_timing [repetitions [faces ...]]
#include "bench/one_step_reference.h"
#include "dice/random_source.h"
#include "dice/roll_evaluation.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int32_t PRESS_ROLLS = 100;

struct Timing {
    double minimumMs;
    double medianMs;
    uint64_t checksum; // of every total, in order
};

// Times `repetitions` presses, each on a freshly seeded generator.
Timing timePress(bool oneStep, int32_t faces, int32_t drop, int repetitions) {
    std::vector<double> ms;
    uint64_t checksum = 0;
    for (int rep = 0; rep < repetitions; ++rep) {
        OneStepSource source;
        oneStepSeed(source, 0);
        seedRandomFromTime(0);
        checksum = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int32_t roll = 0; roll < PRESS_ROLLS; ++roll) {
            const int64_t total = oneStep ? oneStepEvaluateRoll(source, MAX_DICE, faces, drop)
                                          : evaluateRoll(MAX_DICE, faces, drop);
            checksum = checksum * 1000003 + static_cast<uint64_t>(total);
        }
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], checksum};
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::printf("100 rolls of %d dice, wall time over %d repetitions (minimum / median)\n",
                MAX_DICE, repetitions);
    std::printf("%-11s %-6s %20s %20s %9s  %-16s %s\n", "faces", "drop", "this (ms)",
                "one-step (ms)", "this/one", "checksum", "same");
    std::vector<int32_t> pressFaces = {6, 99999, 1000000, (1 << 24) + 1, INT32_MAX};
    if (argc > 2) {
        pressFaces.clear();
        for (int arg = 2; arg < argc; ++arg) {
            pressFaces.push_back(std::atoi(argv[arg]));
        }
    }
    const int32_t pressDrops[] = {0, MAX_DICE / 2};
    for (int32_t faces : pressFaces) {
        for (int32_t drop : pressDrops) {
            const Timing bulk = timePress(false, faces, drop, repetitions);
            const Timing oneStep = timePress(true, faces, drop, repetitions);
            std::printf("%-11d %-6d %9.2f / %8.2f %9.2f / %8.2f %9.3f  %016" PRIx64 " %s\n", faces,
                        drop, bulk.minimumMs, bulk.medianMs, oneStep.minimumMs, oneStep.medianMs,
                        bulk.medianMs / oneStep.medianMs, bulk.checksum,
                        bulk.checksum == oneStep.checksum ? "yes" : "NO");
        }
    }
    return 0;
}
