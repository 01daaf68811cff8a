#pragma once

#include <cstdint>

constexpr int MAX_ROLLS_SHOWN = 100;
// Longest results line: an int64 total in decimal with its sign (20 characters), plus the
// terminator.
constexpr int RESULT_LINE_CAPACITY = 64;

// The exact decimal text of a total, with a leading minus when negative. Written by hand,
// not by printf, so every C runtime (msvcrt included) gives the same text.
void formatTotal(int64_t total, char (&line)[RESULT_LINE_CAPACITY]);

// Empties the results list and fills it with the totals of the current setup.
void rollCommand();
