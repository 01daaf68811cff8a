#pragma once

#include <cstdint>

// A histogram pass sorts values into at most 2^12 bins (16 KB of counts).
constexpr int MAX_BIN_BITS = 12;
// This many values or fewer are not binned but scanned.
constexpr int32_t SCANNED_VALUES = 32;

// Counts of values by their high bits: a value v of base .. base + 2^width - 1 counts in
// bin (v - base) >> shift, one of `size` bins.
struct Bins {
    int32_t base;
    int shift;
    int32_t size;
    int32_t count[1 << MAX_BIN_BITS];
};

// Sets up empty bins for n values of base .. base + 2^width - 1 (width <= 31).
void prepareBins(Bins& bins, int32_t n, int32_t base, int width);
// Counts values[0 .. n), all of the prepared range, into their bins.
void countInBins(const int32_t* values, int32_t n, Bins& bins);
// The number of bits maxValue takes.
int bitWidth(uint32_t maxValue);

// The sum of the `drop` lowest of values[0 .. n), drop <= n, for a handful of values: takes
// the lowest value left `drop` times. Reorders the values. Branch-free, each pass carrying
// the lowest value seen along and leaving the higher one of each pair behind; inline, since
// a small roll's call costs as much as its scan.
inline int64_t sumOfLowestByScan(int32_t* values, int32_t n, int32_t drop) {
    int64_t dropped = 0;
    for (int32_t taken = 0; taken < drop; ++taken) {
        int32_t lowest = values[taken];
        for (int32_t i = taken + 1; i < n; ++i) {
            const int32_t value = values[i];
            const int32_t swap = (value ^ lowest) & -static_cast<int32_t>(value < lowest);
            values[i] = value ^ swap;
            lowest ^= swap;
        }
        dropped += lowest;
    }
    return dropped;
}

// The sum of the `drop` lowest of values[0 .. n), 0 < drop < n, once `bins`, prepared for
// the n values, holds their counts; exact, in time linear in n. Reorders the values.
int64_t sumOfLowestBinned(int32_t* values, int32_t n, int32_t drop, Bins& bins);
// The same from face counts: timesShown[face] dice show face, for face 1 .. faces, and drop
// is below their number.
int64_t sumOfLowestCounted(const int32_t* timesShown, int32_t faces, int32_t drop);
