#include "dice/dice_draws.h"

#include "dice/draw_batches.h"
#include "dice/random_source.h"

#include <algorithm>

namespace {

// Sum only; fast because it has no branch and vectorises in 32-bit lanes: offsets (below
// 2^31, so a signed comparison does) are added up in halves of 16 bits, which a batch cannot
// overflow, and each kept die's 1 is added as the count kept.
static_assert(int64_t{MAX_BATCH} * 0xFFFF <= UINT32_MAX, "a batch's halves fit in 32 bits");
struct SumSink {
    uint32_t faces;
    int64_t sum;
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        int32_t kept = 0;
        uint32_t sumLow = 0;
        uint32_t sumHigh = 0;
        for (int32_t i = 0; i < n; ++i) {
            const uint32_t offset = draws.offset(i);
            const uint32_t keep =
                static_cast<int32_t>(offset) < static_cast<int32_t>(faces) ? 1 : 0;
            const uint32_t die = offset & (0 - keep);
            kept += static_cast<int32_t>(keep);
            sumLow += die & 0xFFFF;
            sumHigh += die >> 16;
        }
        sum += int64_t{sumLow} + (int64_t{sumHigh} << 16) + kept;
        return kept;
    }
};

// The die of each draw, 0 for a rejected one, and the sum of the dice. Fast because it has no
// branch and vectorises, leaving only the few steps that cannot to the loops that follow.
template <class Draws>
void markDice(const Draws& draws, int32_t n, uint32_t faces, uint32_t* marks, int64_t& sum) {
    uint64_t batchSum = 0;
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t offset = draws.offset(i);
        const uint32_t die = (offset + 1) & (0 - static_cast<uint32_t>(offset < faces ? 1 : 0));
        marks[i] = die;
        batchSum += die;
    }
    sum += static_cast<int64_t>(batchSum);
}

// The dice in order, optionally counted into bins by their high bits. Branch-free: every mark
// is written at the next free place, and the place moves on only for a kept die; fewer than
// n dice are still needed before the last draw, so no write passes the roll's last die. A
// rejected draw (mark 0) counts in bin 0, and is taken off again.
struct StoreSink {
    StoreSink(int32_t faceCount, int32_t* firstDie, Bins* binsOrNull)
        : faces(static_cast<uint32_t>(faceCount)), dice(firstDie), bins(binsOrNull) {}
    uint32_t faces;
    int32_t* dice;
    int64_t sum = 0;
    Bins* bins;
    uint32_t marks[MAX_BATCH];
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        markDice(draws, n, faces, marks, sum);
        int32_t kept = 0;
        if (bins == nullptr) {
            for (int32_t i = 0; i < n; ++i) {
                const uint32_t mark = marks[i];
                dice[kept] = static_cast<int32_t>(mark);
                kept += mark != 0 ? 1 : 0;
            }
        } else {
            int32_t* const count = bins->count;
            const int shift = bins->shift;
            for (int32_t i = 0; i < n; ++i) {
                const uint32_t mark = marks[i];
                dice[kept] = static_cast<int32_t>(mark);
                kept += mark != 0 ? 1 : 0;
                ++count[mark >> shift];
            }
            count[0] -= n - kept;
        }
        dice += kept;
        return kept;
    }
};

#if TARVO_DICE_SSE2
// Counts of each offset 0 .. COMPARED_OFFSETS - 1 among n <= MAX_BATCH draws of one output
// each, masked to at most that many values, added to counts[]. Fast because it is all
// comparisons 16 draws at a time, one byte per draw, with no increment in memory: counting
// into tables waits on the table for every draw, and a roll of many dice of few faces spent
// most of its time so. A byte counts at most 255; a batch puts at most 83 draws in each.
constexpr int32_t COMPARED_OFFSETS = COMPARED_FACES;
static_assert(MAX_BATCH / 16 <= 255, "a byte counts every draw of its lane in a batch");
void countByComparison(const int32_t* words, int32_t n, uint32_t mask, int32_t* counts) {
    __m128i wide[COMPARED_OFFSETS];
    for (__m128i& count : wide) {
        count = _mm_setzero_si128();
    }
    const __m128i maskWide = _mm_set1_epi32(static_cast<int32_t>(mask));
    auto offsetsAt = [&](int32_t i) {
        const __m128i word = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + i));
        return _mm_and_si128(_mm_srli_epi32(word, RANDOM_OUTPUT_SHIFT), maskWide);
    };
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        // Offsets are below 8, so packing to bytes keeps them whole.
        const __m128i offsets =
            _mm_packus_epi16(_mm_packs_epi32(offsetsAt(i), offsetsAt(i + 4)),
                             _mm_packs_epi32(offsetsAt(i + 8), offsetsAt(i + 12)));
        for (int32_t offset = 0; offset < COMPARED_OFFSETS; ++offset) {
            // A byte that matches is all ones, -1.
            wide[offset] = _mm_sub_epi8(
                wide[offset], _mm_cmpeq_epi8(offsets, _mm_set1_epi8(static_cast<char>(offset))));
        }
    }
    for (int32_t offset = 0; offset < COMPARED_OFFSETS; ++offset) {
        // The bytes added up in two halves of 8.
        const __m128i halves = _mm_sad_epu8(wide[offset], _mm_setzero_si128());
        counts[offset] +=
            _mm_cvtsi128_si32(halves) + _mm_cvtsi128_si32(_mm_shuffle_epi32(halves, 0x4E));
    }
    for (; i < n; ++i) {
        ++counts[(static_cast<uint32_t>(words[i]) >> RANDOM_OUTPUT_SHIFT) & mask];
    }
}
#endif

// Counts by face (face 0 counting the rejected draws). Consecutive draws count in different
// tables, so that an increment need not wait for the one before it on the same face.
constexpr int32_t COUNT_TABLES = 4;
struct CountSink {
    CountSink(int32_t faceCount, int32_t (*faceTables)[MAX_COUNTED_FACES + 1])
        : faces(static_cast<uint32_t>(faceCount)), tables(faceTables) {}
    uint32_t faces;
    int32_t (*tables)[MAX_COUNTED_FACES + 1];
    uint32_t marks[MAX_BATCH];
#if TARVO_DICE_SSE2
    int32_t take(const SingleOutputDraws& draws, int32_t n) {
        if (faces > static_cast<uint32_t>(COMPARED_OFFSETS)) {
            return takeByTables(draws, n);
        }
        int32_t counts[COMPARED_OFFSETS] = {};
        countByComparison(draws.words, n, draws.mask, counts);
        int32_t kept = 0;
        for (uint32_t offset = 0; offset < faces; ++offset) {
            tables[0][offset + 1] += counts[offset];
            kept += counts[offset];
        }
        return kept;
    }
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        return takeByTables(draws, n);
    }
#else
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        return takeByTables(draws, n);
    }
#endif
    template <class Draws> int32_t takeByTables(const Draws& draws, int32_t n) {
        int64_t unusedSum = 0;
        markDice(draws, n, faces, marks, unusedSum);
        int32_t i = 0;
        for (; i + COUNT_TABLES <= n; i += COUNT_TABLES) {
            for (int32_t t = 0; t < COUNT_TABLES; ++t) {
                ++tables[t][marks[i + t]];
            }
        }
        for (; i < n; ++i) {
            ++tables[0][marks[i]];
        }
        int32_t rejected = 0;
        for (int32_t t = 0; t < COUNT_TABLES; ++t) {
            rejected += tables[t][0];
            tables[t][0] = 0;
        }
        return n - rejected;
    }
};

} // namespace

int64_t drawDiceSum(int32_t count, int32_t faces) {
    SumSink sink{static_cast<uint32_t>(faces), 0};
    drawRoll(count, faces, sink);
    return sink.sum;
}

int64_t drawDice(int32_t* dice, int32_t count, int32_t faces) {
    StoreSink sink(faces, dice, nullptr);
    drawRoll(count, faces, sink);
    return sink.sum;
}

int64_t drawDiceBinned(int32_t* dice, int32_t count, int32_t faces, Bins& bins) {
    StoreSink sink(faces, dice, &bins);
    drawRoll(count, faces, sink);
    return sink.sum;
}

void countDice(int32_t* timesShown, int32_t count, int32_t faces) {
    int32_t tables[COUNT_TABLES][MAX_COUNTED_FACES + 1];
    for (auto& table : tables) {
        std::fill_n(table, faces + 1, 0);
    }
    CountSink sink(faces, tables);
    drawRoll(count, faces, sink);
    for (int32_t face = 0; face <= faces; ++face) {
        timesShown[face] = tables[0][face] + tables[1][face] + tables[2][face] + tables[3][face];
    }
}
