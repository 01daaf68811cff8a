#pragma once

#include <cstdint>

// Entry 0 of the work area is the sum's start; the dice use entries 1 .. count.
constexpr int32_t WORK_CAPACITY = 100000;
constexpr int32_t MAX_DICE = WORK_CAPACITY - 1;

// Rolls `count` dice of `faces` faces, removes the `drop` lowest and returns the sum of the
// rest, exact in 64 bits. 0, without drawing, when faces <= 0, count <= 0, drop >= count or
// count > MAX_DICE. A drop of 0 or less removes nothing. The dice are drawn in order, one
// uniformInt(1, faces) each; the time taken grows linearly with count, whatever the drop.
int64_t evaluateRoll(int32_t count, int32_t faces, int32_t drop);
