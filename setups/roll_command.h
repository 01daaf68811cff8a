#pragma once

constexpr int MAX_ROLLS_SHOWN = 100;
// Longest results line: an int64 total in decimal with its sign, plus the terminator.
constexpr int RESULT_LINE_CAPACITY = 64;

// Empties the results list and fills it with the totals of the current setup.
void rollCommand();
