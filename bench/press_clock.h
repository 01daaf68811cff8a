#pragma once

// Timing shared by the two press measuring tools: press_timer, from outside the program,
// and press_bench, inside its window.
#include "dice/roll_evaluation.h"

#include <windows.h>

#include <cstdint>

// The rolls a press makes, and so the lines it adds to the results list.
constexpr int PRESS_ROLLS = 100;

inline double nowMs() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The engine alone making one press's evaluations. Each call moves the generator on, so
// none is left out.
inline double engineMs(int32_t count, int32_t faces, int32_t drop) {
    const double start = nowMs();
    for (int i = 0; i < PRESS_ROLLS; ++i) {
        evaluateRoll(count, faces, drop);
    }
    return nowMs() - start;
}
