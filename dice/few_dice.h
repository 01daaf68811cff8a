#pragma once

#include "dice/dice_draws.h"
#include "dice/random_source.h"

#include <cstdint>

// Rolls of this many dice or fewer, dropping none or the lowest, can be taken from a fixed
// number of draws ahead.
constexpr int32_t AHEAD_DICE = 4;
constexpr int32_t AHEAD_DRAWS = 8;

// How many of the 8 draws a roll of count dice takes, by which of them keep their die (bit i
// for draw i): up to and including the count-th that keeps one; 0 when fewer keep one. A
// table, since working it out from the bits is a chain of steps that the next roll waits
// for (it starts where this one ends).
struct AheadDrawCounts {
    uint8_t draws[AHEAD_DICE][1 << AHEAD_DRAWS];
};
constexpr AheadDrawCounts aheadDrawCounts() {
    AheadDrawCounts counts{};
    for (int32_t count = 1; count <= AHEAD_DICE; ++count) {
        for (int32_t kept = 0; kept < (1 << AHEAD_DRAWS); ++kept) {
            int32_t found = 0;
            for (int32_t draw = 0; draw < AHEAD_DRAWS && found < count; ++draw) {
                found += (kept >> draw) & 1;
                if (found == count) {
                    counts.draws[count - 1][kept] = static_cast<uint8_t>(draw + 1);
                }
            }
        }
    }
    return counts;
}
inline constexpr AheadDrawCounts AHEAD_DRAWS_NEEDED = aheadDrawCounts();

#if TARVO_DICE_SSE2
// The lowest of the 8 lanes of a and b, in every lane; all are below 2^31 (SSE2 has no
// 32-bit minimum).
inline __m128i minOfLanes(__m128i a, __m128i b) {
    auto min = [](__m128i x, __m128i y) {
        const __m128i greater = _mm_cmpgt_epi32(x, y);
        return _mm_or_si128(_mm_and_si128(greater, y), _mm_andnot_si128(greater, x));
    };
    const __m128i four = min(a, b);
    const __m128i two = min(four, _mm_shuffle_epi32(four, 0x4E));
    return min(two, _mm_shuffle_epi32(two, 0xB1));
}
#endif

// The total of a roll of 1 .. AHEAD_DICE dice of 2 .. 2^24 faces, dropping none (drop <= 0)
// or the lowest (drop 1), into `total`, when the next AHEAD_DRAWS outputs of the block keep
// enough dice; false, drawing nothing, for any other roll or when they do not (8 draws keep
// fewer than 4 dice of 6 faces about one time in 40). It takes exactly the draws that one
// uniformInt(1, faces) per die would.
//
// Fast because only the rare branch for too few kept dice depends on the draws, and they are
// looked at 4 at a time: drawing one at a time takes some 20 instructions a draw and ends on
// a mispredicted branch (how many draws a roll takes is random). Only the number of draws
// taken is on the path that the next roll waits for, hence the table. Without SSE2 every
// roll goes the plain way.
inline bool rollFewDiceAhead(int32_t count, int32_t faces, int32_t drop, int64_t& total) {
#if TARVO_DICE_SSE2
    if (count < 1 || count > AHEAD_DICE || drop > 1 || drop >= count || faces < 2 ||
        faces > RANDOM_SINGLE_DRAW_RANGE || gRandom.next > RANDOM_WORDS_END - AHEAD_DRAWS) {
        return false;
    }
    const __m128i* const words = reinterpret_cast<const __m128i*>(gRandom.words + gRandom.next);
    const __m128i mask = _mm_set1_epi32(static_cast<int32_t>(drawMask(faces)));
    // Offsets and faces are below 2^24, so the signed comparison is the unsigned one.
    const __m128i facesWide = _mm_set1_epi32(faces);
    const __m128i low = _mm_and_si128(_mm_srli_epi32(_mm_loadu_si128(words), 6), mask);
    const __m128i high = _mm_and_si128(_mm_srli_epi32(_mm_loadu_si128(words + 1), 6), mask);
    const __m128i acceptLow = _mm_cmpgt_epi32(facesWide, low);
    const __m128i acceptHigh = _mm_cmpgt_epi32(facesWide, high);
    // Bit i: draw i keeps its die.
    const uint32_t accepted = static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(acceptLow))) |
                              static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(acceptHigh)))
                                  << 4;
    const int32_t draws = AHEAD_DRAWS_NEEDED.draws[count - 1][accepted];
    if (draws == 0) {
        return false;
    }
    const uint32_t taken = (1u << draws) - 1; // bit i: draw i is needed
    // Lane i of the kept dice: all ones when bit i of accepted & taken is set.
    const __m128i kept = _mm_set1_epi32(static_cast<int32_t>(accepted & taken));
    const __m128i bitsLow = _mm_setr_epi32(1, 2, 4, 8);
    const __m128i bitsHigh = _mm_setr_epi32(16, 32, 64, 128);
    const __m128i keptLow = _mm_cmpeq_epi32(_mm_and_si128(kept, bitsLow), bitsLow);
    const __m128i keptHigh = _mm_cmpeq_epi32(_mm_and_si128(kept, bitsHigh), bitsHigh);

    // Sum of the kept offsets, the dice less one each.
    __m128i sum = _mm_add_epi32(_mm_and_si128(low, keptLow), _mm_and_si128(high, keptHigh));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0x4E));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xB1));
    int32_t result = _mm_cvtsi128_si32(sum) + count;
    if (drop == 1) {
        // The lowest kept offset; a draw not kept stands in as the mask, no lower than any.
        const __m128i lowest = minOfLanes(
            _mm_or_si128(_mm_and_si128(keptLow, low), _mm_andnot_si128(keptLow, mask)),
            _mm_or_si128(_mm_and_si128(keptHigh, high), _mm_andnot_si128(keptHigh, mask)));
        result -= _mm_cvtsi128_si32(lowest) + 1;
    }
    gRandom.next += draws;
    total = result;
    return true;
#else
    (void)count;
    (void)faces;
    (void)drop;
    (void)total;
    return false;
#endif
}
