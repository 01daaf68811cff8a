#include "dice/boundary_window.h"

#include "dice/dice_draws.h"
#include "dice/draw_batches.h"
#include "dice/lowest_dice.h"
#include "dice/random_source.h"

#include <algorithm>
#include <cmath>

namespace {

// A roll's dice drawn as by drawDice, only those of a window of values looked at later.
struct WindowTally {
    int64_t aboveSum; // of the dice above the window
    int32_t above;    // dice above the window
    int32_t stored;   // offsets stored, the window's among them
    bool full;        // the store ran out of room, so the tallies are not the roll's
};

// Offsets of the draws that hold the window's dice, low .. low + width - 1 (low + width <=
// faces), stored in order, and tallies of the dice above it. Other draws may be stored beside
// them; they are told apart afterwards by their offsets.
constexpr int32_t WINDOW_CHUNK = 8;
struct WindowSink {
    uint32_t faces;
    uint32_t low;
    uint32_t width;
    int32_t* window;
    int32_t room; // entries window has
    WindowTally tally;
    // A batch stores at most one entry per draw, and writes up to WINDOW_CHUNK past the last.
    bool hasRoomFor(int32_t n) {
        tally.full = tally.full || tally.stored + n + WINDOW_CHUNK > room;
        return !tally.full;
    }
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        if (!hasRoomFor(n)) {
            return n; // ends the roll soon; its tallies are thrown away
        }
        int32_t kept = 0;
        int32_t begin = 0;
        for (; begin + WINDOW_CHUNK <= n; begin += WINDOW_CHUNK) {
            kept += takeChunk(draws, begin, WINDOW_CHUNK);
        }
        return kept + takeChunk(draws, begin, n - begin);
    }
    // Fast because the tallies have no branch and vectorise, a chunk at a time; only a chunk
    // that holds a die of the window (the window is a small share of the faces) is looked at
    // again to store it.
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
            storeWindowDice(draws, begin, begin + length);
        }
        tally.above += static_cast<int32_t>(above);
        tally.aboveSum += static_cast<int64_t>(aboveSum);
        return static_cast<int32_t>(kept);
    }
    // Branch-free: which of a few draws lie in the window is not predictable. Every offset is
    // written at the next free place, which moves on only for one of the window.
    template <class Draws> void storeWindowDice(const Draws& draws, int32_t begin, int32_t end) {
        int32_t next = tally.stored;
        for (int32_t i = begin; i < end; ++i) {
            const uint32_t offset = draws.offset(i);
            window[next] = static_cast<int32_t>(offset);
            next += offset - low < width ? 1 : 0;
        }
        tally.stored = next;
    }
#if TARVO_DICE_SSE2
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
    // Four draws at a time in SSE2, the tallies kept in lanes across the whole batch.
    // offsetsAt(i) gives the offsets of draws i .. i + 3. Fast because nothing in it branches
    // on a draw: every four offsets are stored, and the place moves on past them only when
    // one lies in the window, so the few stored that do not are sorted out afterwards.
    template <class Draws, class Offsets>
    int32_t takeFour(const Draws& draws, int32_t n, const Offsets& offsetsAt) {
        if (!hasRoomFor(n)) {
            return n;
        }
        // Offsets, faces and bounds are below 2^31, so signed comparisons do.
        const __m128i facesWide = _mm_set1_epi32(static_cast<int32_t>(faces));
        const __m128i lowWide = _mm_set1_epi32(static_cast<int32_t>(low));
        const __m128i highWide = _mm_set1_epi32(static_cast<int32_t>(low + width));
        const __m128i lowHalf = _mm_set1_epi32(0xFFFF);
        const __m128i zero = _mm_setzero_si128();
        __m128i kept = zero;
        __m128i above = zero;
        // The dice above the window: two 64-bit lanes, from sums in 32-bit lanes. Offsets of
        // one output are below 2^24, so a lane adds up 256 of them; wider ones are added up
        // in halves of 16 bits over the batch (at most 165 a lane).
        constexpr int32_t SUMMED_FOURS = Draws::OUTPUTS == 1 ? 256 : MAX_BATCH;
        __m128i aboveSum = zero;
        __m128i sumLow = zero;
        __m128i sumHigh = zero;
        int32_t next = tally.stored;
        const int32_t fours = n & ~3;
        for (int32_t i = 0; i < fours;) {
            const int32_t end = std::min(fours, i + 4 * SUMMED_FOURS);
            for (; i < end; i += 4) {
                const __m128i offset = offsetsAt(i);
                const __m128i accepted = _mm_cmpgt_epi32(facesWide, offset);
                const __m128i belowHigh = _mm_cmpgt_epi32(highWide, offset);
                const __m128i isAbove = _mm_andnot_si128(belowHigh, accepted);
                const __m128i inWindow =
                    _mm_andnot_si128(_mm_cmpgt_epi32(lowWide, offset), belowHigh);
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
                _mm_storeu_si128(reinterpret_cast<__m128i*>(window + next), offset);
                next += _mm_movemask_epi8(inWindow) != 0 ? 4 : 0;
            }
            aboveSum = _mm_add_epi64(aboveSum, _mm_unpacklo_epi32(sumLow, zero));
            aboveSum = _mm_add_epi64(aboveSum, _mm_unpackhi_epi32(sumLow, zero));
            sumLow = zero;
        }
        tally.stored = next;
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
        return keptTotal + takeChunk(draws, fours, n - fours);
    }
#endif
};

// The offsets stored for the dice of low .. high into window[0 .. stored), in the order
// drawn, with other draws among them; the rest tallied.
WindowTally drawDiceAroundWindow(int32_t* window, int32_t room, int32_t count, int32_t faces,
                                 int32_t low, int32_t high) {
    WindowSink sink{static_cast<uint32_t>(faces),
                    static_cast<uint32_t>(low - 1),
                    static_cast<uint32_t>(high - low) + 1, // high may be INT32_MAX
                    window,
                    room,
                    {0, 0, 0, false}};
    drawRoll(count, faces, sink);
    return sink.tally;
}

// The dice of low .. high among the stored offsets moved to the front, in order, as dice;
// returns how many. Branch-free, as storeWindowDice.
int32_t keepWindowDice(int32_t* window, int32_t stored, int32_t low, int32_t high) {
    const uint32_t offsetLow = static_cast<uint32_t>(low - 1);
    const uint32_t width = static_cast<uint32_t>(high - low) + 1;
    int32_t kept = 0;
    for (int32_t i = 0; i < stored; ++i) {
        const uint32_t offset = static_cast<uint32_t>(window[i]);
        window[kept] = static_cast<int32_t>(offset + 1);
        kept += offset - offsetLow < width ? 1 : 0;
    }
    return kept;
}

// Counts and sums of the dice below each of a few limits, from offsets: for limit v, the dice
// of offset below v, that is the dice of v or less. The last limit is the face count, so it
// tallies every kept die. Fast because it has no branch and vectorises. The faces are fewer
// than the dice, so a batch's offsets are below 2^17, and at most MAX_BATCH of them add up
// in 32 bits.
template <int LIMITS> struct BelowLimitsSink {
    int32_t limit[LIMITS];
    int64_t below[LIMITS];
    int64_t offsetSum[LIMITS];
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        int32_t batchBelow[LIMITS] = {};
        int32_t batchSum[LIMITS] = {};
        for (int32_t i = 0; i < n; ++i) {
            // Signed: offsets and limits are small, and so the comparison is one instruction.
            const int32_t offset = static_cast<int32_t>(draws.offset(i));
            for (int l = 0; l < LIMITS; ++l) {
                const int32_t isBelow = offset < limit[l] ? -1 : 0;
                batchBelow[l] -= isBelow;
                // The next to last sum is never needed.
                if (l != LIMITS - 2) {
                    batchSum[l] += offset & isBelow;
                }
            }
        }
        for (int l = 0; l < LIMITS; ++l) {
            below[l] += batchBelow[l];
            offsetSum[l] += batchSum[l];
        }
        return batchBelow[LIMITS - 1];
    }
};

// rollAroundBoundaryFace with LIMITS - 1 limits from `first` on.
template <int LIMITS>
bool rollBelowLimits(int32_t count, int32_t faces, int32_t drop, int32_t first, int64_t& total) {
    BelowLimitsSink<LIMITS> sink{};
    for (int l = 0; l + 1 < LIMITS; ++l) {
        sink.limit[l] = first + l;
    }
    sink.limit[LIMITS - 1] = faces;
    const RandomSource saved = gRandom;
    drawRoll(count, faces, sink);
    // The highest dropped die is the least face v with at least drop dice of v or less.
    for (int l = 1; l + 1 < LIMITS; ++l) {
        if (sink.below[l - 1] < drop && sink.below[l] >= drop) {
            const int64_t face = first + l;
            const int64_t lowerSum = sink.offsetSum[l - 1] + sink.below[l - 1];
            const int64_t dropped = lowerSum + (drop - sink.below[l - 1]) * face;
            total = sink.offsetSum[LIMITS - 1] + count - dropped;
            return true;
        }
    }
    gRandom = saved;
    return false;
}

// The values low .. high where the highest of the `drop` lowest of count dice is expected,
// `spread` standard deviations either side. The number of dice below a value v is binomial:
// count draws, each below v with chance (v - 1) / faces. The window is only a guess; the
// counts below tell whether it holds the boundary.
void windowAround(int32_t count, int32_t faces, int32_t drop, double spread, int32_t& low,
                  int32_t& high) {
    const double share = static_cast<double>(drop) / count;
    const double ranks = spread * std::sqrt(count * share * (1 - share)) + 1;
    auto valueAtRank = [count, faces](double rank) {
        const double value = 1 + rank * faces / count;
        return static_cast<int32_t>(std::clamp(value, 1.0, static_cast<double>(faces)));
    };
    low = valueAtRank(drop - ranks);
    high = std::max(low, valueAtRank(drop + ranks + 1));
}

} // namespace

bool rollAroundBoundary(int32_t* work, int32_t room, int32_t count, int32_t faces, int32_t drop,
                        double spread, int64_t& total) {
    int32_t low;
    int32_t high;
    windowAround(count, faces, drop, spread, low, high);

    const RandomSource saved = gRandom;
    const WindowTally tally = drawDiceAroundWindow(work, room, count, faces, low, high);
    const int32_t inWindow = tally.full ? 0 : keepWindowDice(work, tally.stored, low, high);
    const int32_t below = count - tally.above - inWindow;
    if (tally.full || below > drop || below + inWindow < drop) {
        gRandom = saved;
        return false;
    }
    int64_t windowSum = 0;
    for (int32_t i = 0; i < inWindow; ++i) {
        windowSum += work[i];
    }
    const int32_t droppedInWindow = drop - below;
    int64_t dropped = 0;
    if (droppedInWindow == inWindow) {
        dropped = windowSum;
    } else if (droppedInWindow > 0) {
        Bins bins;
        prepareBins(bins, inWindow, low, bitWidth(static_cast<uint32_t>(high - low)));
        countInBins(work, inWindow, bins);
        dropped = sumOfLowestBinned(work, inWindow, droppedInWindow, bins);
    }
    total = tally.aboveSum + windowSum - dropped;
    return true;
}

bool rollAroundBoundaryFace(int32_t count, int32_t faces, int32_t drop, double spread,
                            int64_t& total) {
    if (faces >= count) {
        // The window would be wider than three faces anyway; this keeps the sums small.
        return false;
    }
    int32_t low;
    int32_t high;
    windowAround(count, faces, drop, spread, low, high);
    // Limits low - 1 .. high tell whether the highest dropped die is one of low .. high.
    switch (high - low) {
    case 0:
        return rollBelowLimits<3>(count, faces, drop, low - 1, total);
    case 1:
        return rollBelowLimits<4>(count, faces, drop, low - 1, total);
    case 2:
        return rollBelowLimits<5>(count, faces, drop, low - 1, total);
    default:
        return false;
    }
}
