#include "dice/dice_draws.h"

#include "dice/random_source.h"

#include <algorithm>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TARVO_DICE_SSE2 1
#endif

namespace {

// The most draws in one batch: a block's worth of one-output draws.
constexpr int32_t MAX_BATCH = RANDOM_BLOCK_LENGTH;

// Draws of one output each, read straight from the block.
struct SingleOutputDraws {
    static constexpr int32_t OUTPUTS = 1;
    const int32_t* words;
    uint32_t mask;
    uint32_t offset(int32_t i) const {
        return (static_cast<uint32_t>(words[i]) >> RANDOM_OUTPUT_SHIFT) & mask;
    }
};

// Draws of two outputs each, the first in the high bits. The mask keeps at most 31 bits, so
// the 48-bit join can be formed in 32 bits: the high output's top bits fall away unmasked.
struct JoinedOutputDraws {
    static constexpr int32_t OUTPUTS = 2;
    const int32_t* words;
    uint32_t mask;
    uint32_t offset(int32_t i) const {
        const uint32_t high = static_cast<uint32_t>(words[2 * i]) >> RANDOM_OUTPUT_SHIFT;
        const uint32_t low = static_cast<uint32_t>(words[2 * i + 1]) >> RANDOM_OUTPUT_SHIFT;
        return ((high << RANDOM_OUTPUT_BITS) | low) & mask;
    }
};

// One draw made beforehand, for a pair of outputs that a block boundary splits.
struct MadeDraw {
    uint32_t made;
    uint32_t offset(int32_t) const {
        return made;
    }
};

// A draw keeps the die offset + 1 when its offset is below the face count. Each sink below
// takes n draws, every one of which uniformInt would make, and returns how many dice they
// kept.

// Sum only; fast because it has no branch and vectorises.
struct SumSink {
    uint32_t faces;
    int64_t sum;
    template <class Draws> int32_t take(const Draws& draws, int32_t n) {
        int32_t kept = 0;
        uint64_t batchSum = 0;
        for (int32_t i = 0; i < n; ++i) {
            const uint32_t offset = draws.offset(i);
            const uint32_t keep = offset < faces ? 1 : 0;
            kept += static_cast<int32_t>(keep);
            batchSum += (offset + 1) & (0 - keep);
        }
        sum += static_cast<int64_t>(batchSum);
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
constexpr int32_t COMPARED_OFFSETS = 8;
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

// The dice of a window of offsets low .. low + width - 1 (low + width <= faces) moved out in
// order, and tallies of the dice above it. Fast because the tallies have no branch and
// vectorise, a chunk at a time; only a chunk that holds a die of the window (the window is
// a small share of the faces) is looked at again to move it out.
constexpr int32_t WINDOW_CHUNK = 16;
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
    // 16 draws at a time in SSE2, the tallies kept in lanes across the whole batch: the plain
    // loop spends most of its time adding up each chunk's lanes.
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
        // The dice above the window: two 64-bit lanes, from sums of 16 draws in 32-bit lanes
        // (4 dice of one output each fit; wider dice are added up in halves of 16 bits).
        __m128i aboveSum = _mm_setzero_si128();
        int32_t i = 0;
        for (; i + 16 <= n; i += 16) {
            __m128i inWindow = _mm_setzero_si128();
            __m128i sumLow = _mm_setzero_si128();
            __m128i sumHigh = _mm_setzero_si128();
            for (int32_t j = i; j < i + 16; j += 4) {
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
            const __m128i zero = _mm_setzero_si128();
            aboveSum = _mm_add_epi64(aboveSum, _mm_unpacklo_epi32(sumLow, zero));
            aboveSum = _mm_add_epi64(aboveSum, _mm_unpackhi_epi32(sumLow, zero));
            if (Draws::OUTPUTS != 1) {
                aboveSum =
                    _mm_add_epi64(aboveSum, _mm_slli_epi64(_mm_unpacklo_epi32(sumHigh, zero), 16));
                aboveSum =
                    _mm_add_epi64(aboveSum, _mm_slli_epi64(_mm_unpackhi_epi32(sumHigh, zero), 16));
            }
            if (_mm_movemask_epi8(inWindow) != 0) {
                moveWindowDice(draws, i, i + 16);
            }
        }
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

// Feeds a roll's draws to the sink in batches taken straight from the block. A batch never
// holds more draws than dice are still needed, since each draw keeps at most one die, so the
// roll takes exactly the outputs that uniformInt would take.
template <class Sink> void drawRoll(int32_t count, int32_t faces, Sink& sink) {
    const uint32_t mask = drawMask(faces);
    const bool joined = faces > RANDOM_SINGLE_DRAW_RANGE;
    for (int32_t needed = count; needed > 0;) {
        const int32_t available = undrawnWords(gRandom);
        const int32_t* const words = gRandom.words + gRandom.next;
        if (!joined) {
            const int32_t n = std::min(needed, available);
            gRandom.next += n;
            needed -= sink.take(SingleOutputDraws{words, mask}, n);
        } else if (available >= JoinedOutputDraws::OUTPUTS) {
            const int32_t n = std::min(needed, available / JoinedOutputDraws::OUTPUTS);
            gRandom.next += n * JoinedOutputDraws::OUTPUTS;
            needed -= sink.take(JoinedOutputDraws{words, mask}, n);
        } else {
            const uint32_t high = static_cast<uint32_t>(nextRandom());
            const uint32_t low = static_cast<uint32_t>(nextRandom());
            needed -= sink.take(MadeDraw{((high << RANDOM_OUTPUT_BITS) | low) & mask}, 1);
        }
    }
}

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

WindowTally drawDiceAroundWindow(int32_t* window, int32_t count, int32_t faces, int32_t low,
                                 int32_t high) {
    WindowSink sink{static_cast<uint32_t>(faces),
                    static_cast<uint32_t>(low - 1),
                    static_cast<uint32_t>(high + 1 - low),
                    window,
                    {0, 0, 0}};
    drawRoll(count, faces, sink);
    return sink.tally;
}
