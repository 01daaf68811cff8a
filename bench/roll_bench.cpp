#include "dice/random_source.h"
#include "dice/roll_evaluation.h"

#include <benchmark/benchmark.h>

namespace {

// One roll command at its largest: 100 rolls of the most dice, the most faces the dice
// field's width suggests, half of them dropped.
void BM_HundredRollsOfMostDiceDroppingHalf(benchmark::State& state) {
    seedRandomFromTime(0);
    const int32_t faces = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        for (int roll = 0; roll < 100; ++roll) {
            benchmark::DoNotOptimize(evaluateRoll(MAX_DICE, faces, MAX_DICE / 2));
        }
    }
    state.SetItemsProcessed(state.iterations() * 100 * int64_t{MAX_DICE});
}
BENCHMARK(BM_HundredRollsOfMostDiceDroppingHalf)
    ->Arg(99999)
    ->Arg(6)
    ->Arg(INT32_MAX)
    ->Unit(benchmark::kMillisecond);

void BM_TypicalRoll(benchmark::State& state) {
    seedRandomFromTime(0);
    const int32_t count = static_cast<int32_t>(state.range(0));
    const int32_t faces = static_cast<int32_t>(state.range(1));
    const int32_t drop = static_cast<int32_t>(state.range(2));
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluateRoll(count, faces, drop));
    }
}
BENCHMARK(BM_TypicalRoll)
    ->ArgNames({"count", "faces", "drop"})
    ->Args({3, 6, 0})
    ->Args({4, 6, 1})
    ->Args({1, 20, 0})
    ->Args({10, 10, 3});

} // namespace
