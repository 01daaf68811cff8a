#include "dice/boundary_window.h"

#include "dice/dice_draws.h"
#include "dice/draw_batches.h"
#include "dice/lowest_dice.h"
#include "dice/random_source.h"

#include <algorithm>
#include <cmath>

namespace {

// A roll's dice drawn as by drawDice, only those of a window of values kept.
struct WindowTally {
    int64_t aboveSum; // of the dice above the window
    int32_t above;    // dice above the window
    int32_t inWindow; // dice in the window
};

// The dice of a window of offsets low .. low + width - 1 (low + width <= faces) moved out in
// order, and tallies of the dice above it. Fast because the tallies have no branch and
// vectorise, a chunk at a time; only a chunk that holds a die of the window (the window is
// a small share of the faces) is looked at again to move it out.
constexpr int32_t WINDOW_CHUNK = 8;
struct WindowSink {
    uint32_t faces;
    uint32_t low;
    uint32_t width;
    int32_t* window;
    WindowTally tally;
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        int32_t kept = 0;
        int32_t begin = 0;
        for (; begin + WINDOW_CHUNK <= n; begin += WINDOW_CHUNK) {
            kept += takeChunk(draws, begin, WINDOW_CHUNK);
        }
        return kept + takeChunk(draws, begin, n - begin);
    }
    template <class Draws> int32_t takeChunk(const Draws& draws, int32_t begin, int32_t length) {
        const uint32_t high = low + width;
        uint32_t kept = 0;
        uint32_t above = 0;
        uint32_t inWindow = 0;
        uint64_t aboveSum = 0;
        for (int32_t i = begin; i < begin + length; ++i) {
            const uint32_t offset = draws.offset(i);
            // Unsigned: an offset below the bound wraps round, above any difference.
            const uint32_t isAbove = offset - high < faces - high ? 1 : 0;
            kept += offset < faces ? 1 : 0;
            above += isAbove;
            inWindow |= offset - low < width ? 1 : 0;
            aboveSum += (offset + 1) & (0 - isAbove);
        }
        if (inWindow != 0) {
            moveWindowDice(draws, begin, begin + length);
        }
        tally.above += static_cast<int32_t>(above);
        tally.aboveSum += static_cast<int64_t>(aboveSum);
        return static_cast<int32_t>(kept);
    }
    // Branch-free: which of a few draws lie in the window is not predictable. Every die is
    // written at the next free place, which moves on only for one of the window; the window
    // has room for a roll's dice and fewer are still needed before the last draw.
    template <class Draws> void moveWindowDice(const Draws& draws, int32_t begin, int32_t end) {
        int32_t next = tally.inWindow;
        for (int32_t i = begin; i < end; ++i) {
            const uint32_t offset = draws.offset(i);
            window[next] = static_cast<int32_t>(offset + 1);
            next += offset - low < width ? 1 : 0;
        }
        tally.inWindow = next;
    }
#if TARVO_DICE_SSE2
    // Four draws at a time in SSE2, the tallies kept in lanes across the whole batch: the
    // plain loop spends most of its time adding up each chunk's lanes.
    int32_t take(const SingleOutputDraws& draws, int32_t n) {
        const __m128i mask = _mm_set1_epi32(static_cast<int32_t>(draws.mask));
        return takeFour(draws, n, [&draws, mask](int32_t i) {
            const __m128i words =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(draws.words + i));
            return _mm_and_si128(_mm_srli_epi32(words, RANDOM_OUTPUT_SHIFT), mask);
        });
    }
    int32_t take(const JoinedOutputDraws& draws, int32_t n) {
        const __m128i mask = _mm_set1_epi32(static_cast<int32_t>(draws.mask));
        return takeFour(draws, n, [&draws, mask](int32_t i) {
            const __m128i* const pairs = reinterpret_cast<const __m128i*>(draws.words + 2 * i);
            // Outputs 0, 2, 1, 3 of each four, then the first and second of each pair apart.
            const __m128i first = _mm_shuffle_epi32(_mm_loadu_si128(pairs), 0xD8);
            const __m128i second = _mm_shuffle_epi32(_mm_loadu_si128(pairs + 1), 0xD8);
            const __m128i high =
                _mm_srli_epi32(_mm_unpacklo_epi64(first, second), RANDOM_OUTPUT_SHIFT);
            const __m128i low =
                _mm_srli_epi32(_mm_unpackhi_epi64(first, second), RANDOM_OUTPUT_SHIFT);
            return _mm_and_si128(_mm_or_si128(_mm_slli_epi32(high, RANDOM_OUTPUT_BITS), low), mask);
        });
    }
    // offsetsAt(i) gives the offsets of draws i .. i + 3.
    template <class Draws, class Offsets>
    int32_t takeFour(const Draws& draws, int32_t n, const Offsets& offsetsAt) {
        // Offsets, faces and bounds are below 2^31, so signed comparisons do.
        const __m128i facesWide = _mm_set1_epi32(static_cast<int32_t>(faces));
        const __m128i lowWide = _mm_set1_epi32(static_cast<int32_t>(low));
        const __m128i highWide = _mm_set1_epi32(static_cast<int32_t>(low + width));
        const __m128i lowHalf = _mm_set1_epi32(0xFFFF);
        __m128i kept = _mm_setzero_si128();
        __m128i above = _mm_setzero_si128();
        // The dice above the window: two 64-bit lanes, from sums in 32-bit lanes. Dice of one
        // output are added up a chunk at a time (2 a lane fit); wider ones in halves of 16
        // bits over the batch (at most 165 a lane).
        __m128i aboveSum = _mm_setzero_si128();
        __m128i sumLow = _mm_setzero_si128();
        __m128i sumHigh = _mm_setzero_si128();
        const __m128i zero = _mm_setzero_si128();
        int32_t i = 0;
        for (; i + WINDOW_CHUNK <= n; i += WINDOW_CHUNK) {
            __m128i inWindow = _mm_setzero_si128();
            for (int32_t j = i; j < i + WINDOW_CHUNK; j += 4) {
                const __m128i offset = offsetsAt(j);
                const __m128i accepted = _mm_cmpgt_epi32(facesWide, offset);
                const __m128i belowHigh = _mm_cmpgt_epi32(highWide, offset);
                const __m128i isAbove = _mm_andnot_si128(belowHigh, accepted);
                inWindow = _mm_or_si128(
                    inWindow, _mm_andnot_si128(_mm_cmpgt_epi32(lowWide, offset), belowHigh));
                kept = _mm_sub_epi32(kept, accepted);
                above = _mm_sub_epi32(above, isAbove);
                // The offset, the die less one, which the count of dice above makes good.
                const __m128i die = _mm_and_si128(offset, isAbove);
                if (Draws::OUTPUTS == 1) {
                    sumLow = _mm_add_epi32(sumLow, die);
                } else {
                    sumLow = _mm_add_epi32(sumLow, _mm_and_si128(die, lowHalf));
                    sumHigh = _mm_add_epi32(sumHigh, _mm_srli_epi32(die, 16));
                }
            }
            if (Draws::OUTPUTS == 1) {
                aboveSum = _mm_add_epi64(aboveSum, _mm_unpacklo_epi32(sumLow, zero));
                aboveSum = _mm_add_epi64(aboveSum, _mm_unpackhi_epi32(sumLow, zero));
                sumLow = zero;
            }
            if (_mm_movemask_epi8(inWindow) != 0) {
                moveWindowDice(draws, i, i + WINDOW_CHUNK);
            }
        }
        aboveSum = _mm_add_epi64(aboveSum, _mm_unpacklo_epi32(sumLow, zero));
        aboveSum = _mm_add_epi64(aboveSum, _mm_unpackhi_epi32(sumLow, zero));
        aboveSum = _mm_add_epi64(aboveSum, _mm_slli_epi64(_mm_unpacklo_epi32(sumHigh, zero), 16));
        aboveSum = _mm_add_epi64(aboveSum, _mm_slli_epi64(_mm_unpackhi_epi32(sumHigh, zero), 16));
        int32_t lanes[2][4];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes[0]), kept);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes[1]), above);
        int64_t sums[2];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), aboveSum);
        int32_t keptTotal = 0;
        int32_t aboveTotal = 0;
        for (int32_t lane = 0; lane < 4; ++lane) {
            keptTotal += lanes[0][lane];
            aboveTotal += lanes[1][lane];
        }
        tally.above += aboveTotal;
        tally.aboveSum += sums[0] + sums[1] + aboveTotal;
        return keptTotal + takeChunk(draws, i, n - i);
    }
#endif
};

// The dice of low .. high into window[0 .. inWindow), in the order drawn; the rest tallied.
WindowTally drawDiceAroundWindow(int32_t* window, int32_t count, int32_t faces, int32_t low,
                                 int32_t high) {
    WindowSink sink{static_cast<uint32_t>(faces),
                    static_cast<uint32_t>(low - 1),
                    static_cast<uint32_t>(high - low) + 1, // high may be INT32_MAX
                    window,
                    {0, 0, 0}};
    drawRoll(count, faces, sink);
    return sink.tally;
}

} // namespace

bool rollAroundBoundary(int32_t* work, int32_t count, int32_t faces, int32_t drop, double spread,
                        int64_t& total) {
    // The number of dice below a value v is binomial: count draws, each below v with chance
    // (v - 1) / faces. The window is only a guess; the counts below tell whether it holds
    // the boundary.
    const double share = static_cast<double>(drop) / count;
    const double ranks = spread * std::sqrt(count * share * (1 - share)) + 1;
    auto valueAtRank = [count, faces](double rank) {
        const double value = 1 + rank * faces / count;
        return static_cast<int32_t>(std::clamp(value, 1.0, static_cast<double>(faces)));
    };
    const int32_t low = valueAtRank(drop - ranks);
    const int32_t high = std::max(low, valueAtRank(drop + ranks + 1));

    const RandomSource saved = gRandom;
    const WindowTally tally = drawDiceAroundWindow(work, count, faces, low, high);
    const int32_t below = count - tally.above - tally.inWindow;
    if (below > drop || below + tally.inWindow < drop) {
        gRandom = saved;
        return false;
    }
    int64_t windowSum = 0;
    for (int32_t i = 0; i < tally.inWindow; ++i) {
        windowSum += work[i];
    }
    const int32_t droppedInWindow = drop - below;
    int64_t dropped = 0;
    if (droppedInWindow == tally.inWindow) {
        dropped = windowSum;
    } else if (droppedInWindow > 0) {
        Bins bins;
        prepareBins(bins, tally.inWindow, low, bitWidth(static_cast<uint32_t>(high - low)));
        countInBins(work, tally.inWindow, bins);
        dropped = sumOfLowestBinned(work, tally.inWindow, droppedInWindow, bins);
    }
    total = tally.aboveSum + windowSum - dropped;
    return true;
}
