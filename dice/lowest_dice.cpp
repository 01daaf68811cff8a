#include "dice/lowest_dice.h"

#include <algorithm>

namespace {

// Values are looked at for the boundary bin in chunks of this many.
constexpr int32_t CHUNK = 64;

// About eight values to a bin: fewer bins would leave a large boundary bin for the next pass,
// more would cost more to clear than the values take to count.
int binBitsFor(int32_t n) {
    return std::clamp(bitWidth(static_cast<uint32_t>(n)) - 3, 1, MAX_BIN_BITS);
}

// Adds the values of chunk[0 .. CHUNK) below `low` to `below`, and tells whether any lies in
// low .. low + size - 1. Fast because it has no branch and vectorises.
bool scanChunk(const int32_t* chunk, int32_t low, uint32_t size, int64_t& below) {
    uint32_t inBin = 0;
    uint32_t sumLow = 0;
    uint32_t sumHigh = 0;
    for (int32_t i = 0; i < CHUNK; ++i) {
        const int32_t value = chunk[i];
        // Values are below 2^31: a chunk of them adds up in 32 bits as halves of 16 bits each.
        const uint32_t dropped = static_cast<uint32_t>(value < low ? value : 0);
        sumLow += dropped & 0xFFFF;
        sumHigh += dropped >> 16;
        inBin |= static_cast<uint32_t>(value - low) < size ? 1 : 0;
    }
    below += int64_t{sumLow} + (int64_t{sumHigh} << 16);
    return inBin != 0;
}

// Moves the values of values[begin .. end) that lie in low .. low + size - 1 to values[kept]
// onwards; returns the new kept count.
int32_t moveBinValues(int32_t* values, int32_t begin, int32_t end, int32_t low, uint32_t size,
                      int32_t kept) {
    for (int32_t i = begin; i < end; ++i) {
        if (static_cast<uint32_t>(values[i] - low) < size) {
            values[kept++] = values[i];
        }
    }
    return kept;
}

// Drops every value below `low` into `dropped` and moves the values of low .. low + size - 1
// to the front; returns how many moved. Few chunks hold one of them (the bin is one of
// thousands), so moving them costs little.
int32_t keepBoundaryBin(int32_t* values, int32_t n, int32_t low, uint32_t size, int64_t& dropped) {
    int32_t kept = 0;
    int32_t begin = 0;
    for (; begin + CHUNK <= n; begin += CHUNK) {
        if (scanChunk(values + begin, low, size, dropped)) {
            kept = moveBinValues(values, begin, begin + CHUNK, low, size, kept);
        }
    }
    for (int32_t i = begin; i < n; ++i) {
        dropped += values[i] < low ? values[i] : 0;
    }
    return moveBinValues(values, begin, n, low, size, kept);
}

} // namespace

void countInBins(const int32_t* values, int32_t n, Bins& bins) {
    for (int32_t i = 0; i < n; ++i) {
        ++bins.count[static_cast<uint32_t>(values[i] - bins.base) >> bins.shift];
    }
}

int bitWidth(uint32_t maxValue) {
    int bits = 0;
    for (; maxValue != 0; maxValue >>= 1) {
        ++bits;
    }
    return bits;
}

void prepareBins(Bins& bins, int32_t n, int32_t base, int width) {
    const int bits = std::min(width, binBitsFor(n));
    bins.base = base;
    bins.shift = width - bits;
    bins.size = int32_t{1} << bits;
    std::fill_n(bins.count, bins.size, 0);
}

int64_t sumOfLowestBinned(int32_t* values, int32_t n, int32_t drop, Bins& bins) {
    // Each pass finds the bin that holds the drop-th lowest value, drops the values below it
    // and keeps only that bin's values, binned by their next bits, for the next pass.
    int64_t dropped = 0;
    for (;;) {
        int32_t boundary = 0;
        for (; drop > bins.count[boundary]; ++boundary) {
            drop -= bins.count[boundary];
        }
        const int32_t low = bins.base + (boundary << bins.shift);
        if (bins.shift == 0) {
            // One value to a bin: the counts give the sum.
            for (int32_t bin = 0; bin < boundary; ++bin) {
                dropped += int64_t{bins.count[bin]} * (bins.base + bin);
            }
            return dropped + int64_t{drop} * low;
        }
        n = keepBoundaryBin(values, n, low, uint32_t{1} << bins.shift, dropped);
        if (n <= SCANNED_VALUES) {
            return dropped + sumOfLowestByScan(values, n, drop);
        }
        prepareBins(bins, n, low, bins.shift);
        countInBins(values, n, bins);
    }
}

int64_t sumOfLowestCounted(const int32_t* timesShown, int32_t faces, int32_t drop) {
    int64_t dropped = 0;
    for (int32_t face = 1; face <= faces && drop > 0; ++face) {
        const int32_t taken = std::min(drop, timesShown[face]);
        dropped += int64_t{face} * taken;
        drop -= taken;
    }
    return dropped;
}
