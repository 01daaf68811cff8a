// Each case runs twice, on the program's engine ("this") and on the one-step engine it
// replaced ("one-step"); a table at the end gives both figures per unit (output, draw, roll
// or press) and their ratio, all from the same run.
#include "bench/one_step_reference.h"
#include "dice/random_source.h"
#include "dice/roll_evaluation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int32_t PRESS_ROLLS = 100;
constexpr int32_t DRAWS_PER_ITERATION = 1000;
constexpr int32_t ROLLS_PER_ITERATION = 100;

OneStepSource gOneStep;

struct Case {
    std::string name;
    std::string unit; // what one item is: output, draw, roll or press
    int64_t itemsPerIteration;
    double ns[2][2] = {};  // [this, one-step][median, min], per item
    double outputsPerItem; // outputs the one-step engine drew, per item
};
std::vector<Case> gCases;
const char* const ENGINE_NAMES[2] = {"this", "one-step"};

double minimum(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

// Registers one case on both engines; `run(engine)` does one iteration's work.
void addCase(const std::string& name, const std::string& unit, int64_t items,
             std::function<void(int)> run) {
    gCases.push_back({name, unit, items, {}, 0});
    for (int engine = 0; engine < 2; ++engine) {
        benchmark::RegisterBenchmark((name + "/" + ENGINE_NAMES[engine]).c_str(),
                                     [run, engine, items](benchmark::State& state) {
                                         seedRandomFromTime(0);
                                         oneStepSeed(gOneStep, 0);
                                         for (auto _ : state) {
                                             run(engine);
                                         }
                                         state.counters["outputs"] = benchmark::Counter(
                                             static_cast<double>(gOneStep.steps) /
                                             static_cast<double>(state.iterations() * items));
                                     })
            ->ComputeStatistics("min", minimum);
    }
}

void addCases() {
    addCase("output/nextRandom", "output", DRAWS_PER_ITERATION, [](int engine) {
        for (int32_t i = 0; i < DRAWS_PER_ITERATION; ++i) {
            benchmark::DoNotOptimize(engine == 0 ? nextRandom() : oneStepNext(gOneStep));
        }
    });
    addCase("output/block", "output", RANDOM_BLOCK_LENGTH, [](int engine) {
        if (engine == 0) {
            gRandom.next = RANDOM_WORDS_END;
            benchmark::DoNotOptimize(undrawnWords(gRandom));
            benchmark::ClobberMemory();
        } else {
            for (int32_t i = 0; i < RANDOM_BLOCK_LENGTH; ++i) {
                benchmark::DoNotOptimize(oneStepNext(gOneStep));
            }
        }
    });
    const int32_t drawFaces[] = {2, 6, 20, 100, 65536, 1 << 24, (1 << 24) + 1, INT32_MAX};
    for (int32_t faces : drawFaces) {
        addCase("draw/uniformInt/faces:" + std::to_string(faces), "draw", DRAWS_PER_ITERATION,
                [faces](int engine) {
                    for (int32_t i = 0; i < DRAWS_PER_ITERATION; ++i) {
                        benchmark::DoNotOptimize(engine == 0
                                                     ? uniformInt(1, faces)
                                                     : oneStepUniformInt(gOneStep, 1, faces));
                    }
                });
        addCase("draw/in a roll/faces:" + std::to_string(faces), "draw", DRAWS_PER_ITERATION,
                [faces](int engine) {
                    benchmark::DoNotOptimize(
                        engine == 0 ? evaluateRoll(DRAWS_PER_ITERATION, faces, 0)
                                    : oneStepEvaluateRoll(gOneStep, DRAWS_PER_ITERATION, faces, 0));
                });
    }
    struct Roll {
        const char* name;
        int32_t count, faces, drop;
    };
    const Roll rolls[] = {
        {"roll/3d6", 3, 6, 0}, {"roll/4d6 drop 1", 4, 6, 1}, {"roll/10d10 drop 3", 10, 10, 3}};
    // Many rolls to an iteration, so that the call through std::function, as long as a small
    // roll, is not counted in it.
    for (const Roll& roll : rolls) {
        addCase(roll.name, "roll", ROLLS_PER_ITERATION, [roll](int engine) {
            for (int32_t i = 0; i < ROLLS_PER_ITERATION; ++i) {
                benchmark::DoNotOptimize(
                    engine == 0 ? evaluateRoll(roll.count, roll.faces, roll.drop)
                                : oneStepEvaluateRoll(gOneStep, roll.count, roll.faces, roll.drop));
            }
        });
    }
    // The largest roll command: 100 rolls of the most dice.
    const int32_t pressFaces[] = {6, 99999, 1000000, (1 << 24) + 1, INT32_MAX};
    const int32_t pressDrops[] = {0, MAX_DICE / 2};
    for (int32_t faces : pressFaces) {
        for (int32_t drop : pressDrops) {
            addCase("press/faces:" + std::to_string(faces) + "/drop:" + std::to_string(drop),
                    "press", 1, [faces, drop](int engine) {
                        for (int32_t roll = 0; roll < PRESS_ROLLS; ++roll) {
                            benchmark::DoNotOptimize(
                                engine == 0 ? evaluateRoll(MAX_DICE, faces, drop)
                                            : oneStepEvaluateRoll(gOneStep, MAX_DICE, faces, drop));
                        }
                    });
        }
    }
}

double toNanoseconds(benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kSecond:
        return 1e9;
    case benchmark::kMillisecond:
        return 1e6;
    case benchmark::kMicrosecond:
        return 1e3;
    default:
        return 1;
    }
}

std::string formatTime(double ns) {
    char text[32];
    if (ns >= 1e6) {
        std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    } else if (ns >= 1e3) {
        std::snprintf(text, sizeof text, "%.2f us", ns / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.3f ns", ns);
    }
    return text;
}

// The usual console output, then the table of both engines side by side (CPU time).
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            record(run);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        double blockNs = 0;
        for (const Case& c : gCases) {
            if (c.name == "output/block") {
                blockNs = c.ns[0][0];
            }
        }
        std::printf("\nCPU time per unit, median (minimum) of the repetitions\n");
        std::printf("%-34s %-6s %22s %22s %9s\n", "case", "unit", "this", "one-step", "this/one");
        for (const Case& c : gCases) {
            if (c.ns[0][0] <= 0 || c.ns[1][0] <= 0) {
                continue; // filtered out
            }
            std::printf("%-34s %-6s %11s (%8s) %11s (%8s) %9.3f", c.name.c_str(), c.unit.c_str(),
                        formatTime(c.ns[0][0]).c_str(), formatTime(c.ns[0][1]).c_str(),
                        formatTime(c.ns[1][0]).c_str(), formatTime(c.ns[1][1]).c_str(),
                        c.ns[0][0] / c.ns[1][0]);
            if (c.unit == "press" && blockNs > 0) {
                // The press against computing its outputs in blocks.
                std::printf("  %.2fM outputs, %.2f x their block cost", c.outputsPerItem / 1e6,
                            c.ns[0][0] / (c.outputsPerItem * blockNs));
            }
            std::printf("\n");
        }
    }

  private:
    void record(const Run& run) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool lowest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !lowest && !single) {
            return;
        }
        const std::string& name = run.run_name.function_name;
        const size_t slash = name.rfind('/');
        const int engine = name.substr(slash + 1) == ENGINE_NAMES[0] ? 0 : 1;
        for (Case& c : gCases) {
            if (c.name != name.substr(0, slash)) {
                continue;
            }
            const double ns = run.GetAdjustedCPUTime() * toNanoseconds(run.time_unit) /
                              static_cast<double>(c.itemsPerIteration);
            if (median || single) {
                c.ns[engine][0] = ns;
            }
            if (lowest || single) {
                c.ns[engine][1] = ns;
            }
            const auto outputs = run.counters.find("outputs");
            if (engine == 1 && (median || single) && outputs != run.counters.end()) {
                c.outputsPerItem = outputs->second.value;
            }
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    addCases();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
