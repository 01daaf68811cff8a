#include "dice/roll_evaluation.h"

#include "dice/random_source.h"

#include <algorithm>
#include <cmath>

// Removing the lowest die `drop` times, first of equals first, takes away exactly the `drop`
// smallest values, so the total is the sum of the dice less the sum of their `drop` lowest,
// which the rolls below find in linear time.
namespace {

// The dice a roll keeps to look at again. Static rather than automatic: 400 KB on the stack
// would take a large bite of the 1 MB main-thread stack Windows gives by default. Only the UI
// thread rolls, and no die outlives the call.
int32_t work[WORK_CAPACITY];

// Up to this many faces a roll that drops dice counts them by face, and so does a window of
// up to this many faces of a die of up to COUNTED_WINDOW_FACES: each face then holds enough
// of the dice that storing them would look again at most chunks of draws, and each face
// counted costs a pass over them.
constexpr int32_t COUNTED_FACES = 8;
constexpr int32_t COUNTED_WINDOW_FACES = 512;
// This many dice or fewer are scanned for their lowest rather than sorted into bins.
constexpr int32_t SCANNED_VALUES = 32;
// A pass sorts values into at most 2^12 bins (16 KB of counts).
constexpr int MAX_BIN_BITS = 12;
// How far a window reaches either side of where the lowest kept die is expected, in standard
// deviations: 2.5 leave it outside about one roll in 80, which is then drawn again; a wider
// window holds more dice, which cost more than the rolls drawn again.
constexpr double SPREAD = 2.5;
// Values are tallied without a branch in chunks of this many, and a chunk that holds one to
// be kept is looked at again.
constexpr int32_t CHUNK = 16;

// A batch of a roll's draws straight from the block, by the offset each gives: one output
// per draw up to 2^24 faces, as uniformInt(1, faces) draws, and two joined beyond, the first
// in the high bits. The mask keeps at most 31 bits, so the join can be made in 32: the high
// output's top bits fall away.
struct SingleDraws {
    const int32_t* words;
    uint32_t mask;
    uint32_t offset(int32_t i) const {
        return (static_cast<uint32_t>(words[i]) >> RANDOM_OUTPUT_SHIFT) & mask;
    }
};
struct JoinedDraws {
    const int32_t* words;
    uint32_t mask;
    uint32_t offset(int32_t i) const {
        const uint32_t high = static_cast<uint32_t>(words[2 * i]) >> RANDOM_OUTPUT_SHIFT;
        const uint32_t low = static_cast<uint32_t>(words[2 * i + 1]) >> RANDOM_OUTPUT_SHIFT;
        return ((high << RANDOM_OUTPUT_BITS) | low) & mask;
    }
};

// Feeds a roll of count dice of faces (2 .. INT32_MAX) to `take(draws, n)` a batch at a
// time, which returns how many dice the batch kept: a draw keeps the die offset + 1 when its
// offset is below the face count. A batch holds at most as many draws as dice are still
// needed, since each keeps at most one, so a roll takes exactly the outputs that one
// uniformInt(1, faces) per die takes.
template <class Take> void drawRoll(int32_t count, int32_t faces, Take&& take) {
    const uint32_t mask = static_cast<uint32_t>(drawMask(static_cast<uint64_t>(faces)));
    const bool joined = faces > RANDOM_SINGLE_DRAW_RANGE;
    for (int32_t needed = count; needed > 0;) {
        const int32_t available = undrawnWords(gRandom, joined ? 2 : 1);
        const int32_t* const words = gRandom.words + gRandom.next;
        if (joined) {
            const int32_t n = std::min(needed, available / 2);
            gRandom.next += 2 * n;
            needed -= take(JoinedDraws{words, mask}, n);
        } else {
            const int32_t n = std::min(needed, available);
            gRandom.next += n;
            needed -= take(SingleDraws{words, mask}, n);
        }
    }
}

// The sum of a roll's dice, none kept. Branch-free, so it vectorises.
int64_t rollSum(int32_t count, int32_t faces) {
    uint64_t sum = 0;
    const uint32_t limit = static_cast<uint32_t>(faces);
    drawRoll(count, faces, [&sum, limit](const auto& draws, int32_t n) {
        int32_t kept = 0;
        for (int32_t i = 0; i < n; ++i) {
            const uint32_t offset = draws.offset(i);
            const uint32_t keep = offset < limit ? 1 : 0;
            kept += static_cast<int32_t>(keep);
            sum += (offset + 1) & (0 - keep);
        }
        return kept;
    });
    return static_cast<int64_t>(sum);
}

// The total of a roll of up to COUNTED_FACES faces less its `drop` lowest dice, none kept:
// the draws are compared with every face, a byte each, which vectorises 16 at a time, rather
// than counted into a table, where every increment waits on the one before it to the same
// face. A byte counts up to 255 draws; chunks of 15 times 16 leave no draw to a loop of one
// at a time.
constexpr int32_t BYTE_CHUNK = 240;
int64_t rollCounted(int32_t count, int32_t faces, int32_t drop) {
    int32_t shown[COUNTED_FACES + 1] = {};
    drawRoll(count, faces, [&shown, faces](const auto& draws, int32_t n) {
        uint8_t offsets[RANDOM_BLOCK_LENGTH];
        for (int32_t i = 0; i < n; ++i) {
            offsets[i] = static_cast<uint8_t>(draws.offset(i)); // below 8
        }
        int32_t kept = 0;
        for (int32_t face = 1; face <= faces; ++face) {
            for (int32_t begin = 0; begin < n; begin += BYTE_CHUNK) {
                const int32_t end = std::min(n, begin + BYTE_CHUNK);
                const uint8_t offset = static_cast<uint8_t>(face - 1);
                uint8_t times = 0;
                for (int32_t i = begin; i < end; ++i) {
                    times += offsets[i] == offset ? 1 : 0;
                }
                shown[face] += times;
                kept += times;
            }
        }
        return kept;
    });
    int64_t total = 0;
    for (int32_t face = 1; face <= faces; ++face) {
        const int32_t dropped = std::min(drop, shown[face]);
        drop -= dropped;
        total += int64_t{face} * (shown[face] - dropped);
    }
    return total;
}

// A roll's dice in order into dice[0 .. count). Branch-free: every die is written at the next
// free place, which moves on only for a kept one; fewer than n dice are needed before a
// batch's last draw, so no write passes the roll's last die.
void rollStored(int32_t* dice, int32_t count, int32_t faces) {
    const uint32_t limit = static_cast<uint32_t>(faces);
    drawRoll(count, faces, [&dice, limit](const auto& draws, int32_t n) {
        int32_t* const first = dice;
        for (int32_t i = 0; i < n; ++i) {
            const uint32_t offset = draws.offset(i);
            *dice = static_cast<int32_t>(offset + 1);
            dice += offset < limit ? 1 : 0;
        }
        return static_cast<int32_t>(dice - first);
    });
}

int bitWidth(uint32_t value) {
    int bits = 0;
    for (; value != 0; value >>= 1) {
        ++bits;
    }
    return bits;
}

// The sum of values[0 .. n) less their `drop` lowest, for a handful of values: takes the
// lowest value left `drop` times. Reorders the values. Branch-free, each pass carrying the
// lowest value seen along and leaving the higher one of each pair behind.
int64_t sumByScan(int32_t* values, int32_t n, int32_t drop) {
    int64_t total = 0;
    for (int32_t i = 0; i < n; ++i) {
        total += values[i];
    }
    for (int32_t taken = 0; taken < drop; ++taken) {
        int32_t lowest = values[taken];
        for (int32_t i = taken + 1; i < n; ++i) {
            const int32_t value = values[i];
            const int32_t swap = (value ^ lowest) & -static_cast<int32_t>(value < lowest);
            values[i] = value ^ swap;
            lowest ^= swap;
        }
        total -= lowest;
    }
    return total;
}

// Adds the values of values[0 .. n) from low + size up to `above`, and moves those of low ..
// low + size - 1 to the front; returns how many moved. Fast because each chunk is added up
// without a branch, which vectorises, and only the chunks that hold a value of the range (a
// small share of them) are looked at again.
int32_t keepRange(int32_t* values, int32_t n, uint32_t low, uint32_t size, int64_t& above) {
    // low + size fits in 32 bits unsigned, where a value below low wraps round, above any.
    const uint32_t high = low + size;
    int32_t* front = values;
    for (int32_t begin = 0; begin < n; begin += CHUNK) {
        const int32_t end = std::min(n, begin + CHUNK);
        uint64_t sum = 0;
        uint32_t inRange = 0;
        for (int32_t i = begin; i < end; ++i) {
            const uint32_t value = static_cast<uint32_t>(values[i]);
            sum += value >= high ? value : 0;
            inRange |= value - low < size ? 1 : 0;
        }
        above += static_cast<int64_t>(sum);
        for (int32_t i = begin; inRange != 0 && i < end; ++i) {
            const int32_t value = values[i];
            *front = value;
            front += static_cast<uint32_t>(value) - low < size ? 1 : 0;
        }
    }
    return static_cast<int32_t>(front - values);
}

// About eight values to a bin: fewer bins would leave more values for the next pass, more
// would cost more to clear than the values take to count.
int binBits(int32_t n, int width) {
    return std::min({width, std::max(bitWidth(static_cast<uint32_t>(n)) - 3, 1), MAX_BIN_BITS});
}

// The sum of values[0 .. n) less their `drop` lowest, 0 <= drop < n, all of low ..
// low + 2^width - 1, in time linear in n. Reorders the values. Each pass counts the values
// into bins by their high bits, finds the bin of the lowest value kept, adds up the values
// above it and keeps only its own values for the next pass, binned by their next bits.
int64_t sumByBins(int32_t* values, int32_t n, int32_t drop, int32_t low, int width) {
    int64_t total = 0;
    int32_t bins[1 << MAX_BIN_BITS];
    while (n > SCANNED_VALUES) {
        const int bits = binBits(n, width);
        const int shift = width - bits;
        std::fill_n(bins, 1 << bits, 0);
        for (int32_t i = 0; i < n; ++i) {
            ++bins[(static_cast<uint32_t>(values[i]) - static_cast<uint32_t>(low)) >> shift];
        }
        int32_t bin = 0;
        for (; drop >= bins[bin]; ++bin) {
            drop -= bins[bin];
        }
        if (shift == 0) {
            // One value to a bin: the counts give the sum.
            for (int32_t above = bin + 1; above < (1 << bits); ++above) {
                total += bins[above] * (int64_t{low} + above);
            }
            return total + (bins[bin] - drop) * (int64_t{low} + bin);
        }
        low += bin << shift;
        width = shift;
        n = keepRange(values, n, static_cast<uint32_t>(low), uint32_t{1} << shift, total);
    }
    return total + sumByScan(values, n, drop);
}

// The total of a roll of count dice less its `drop` lowest, 0 < drop < count, into `total`,
// when the lowest kept die lies in a window of offsets placed around where it is expected,
// SPREAD standard deviations of its rank either side (the number of dice below a value is
// binomial); false, when it does not. The dice below the window are counted, those above it
// counted and added up, and those in it counted by face when it spans few, or else stored in
// work[] for bins. Fast because only the storing branches, on chunks that hold a window die,
// and the rest vectorises; storing every die and counting it into bins cannot.
bool rollAroundWindow(int32_t count, int32_t faces, int32_t drop, int64_t& total) {
    const double share = static_cast<double>(drop) / count;
    const double ranks = SPREAD * std::sqrt(count * share * (1 - share)) + 1;
    auto offsetAtRank = [count, faces](double rank) {
        return static_cast<uint32_t>(
            std::clamp(rank * faces / count, 0.0, static_cast<double>(faces)));
    };
    const uint32_t limit = static_cast<uint32_t>(faces);
    const uint32_t low = offsetAtRank(drop - ranks);
    const uint32_t high = std::min(limit, offsetAtRank(drop + ranks + 1) + 1);
    const uint32_t width = high - low;
    const bool counted = width <= COUNTED_FACES && faces <= COUNTED_WINDOW_FACES;
    int32_t below = 0;
    int64_t aboveSum = 0;
    int32_t shown[COUNTED_FACES] = {}; // by offset - low
    int32_t* window = work;            // at most count dice, and a write past them
    drawRoll(count, faces, [&](const auto& draws, int32_t n) {
        uint32_t offsets[RANDOM_BLOCK_LENGTH];
        for (int32_t i = 0; i < n; ++i) {
            offsets[i] = draws.offset(i);
        }
        int32_t kept = 0;
        int32_t batchBelow = 0;
        uint64_t sum = 0;
        for (int32_t i = 0; i < n; ++i) {
            // Unsigned: an offset below `high` wraps round, above any difference.
            const uint32_t offset = offsets[i];
            kept += offset < limit ? 1 : 0;
            batchBelow += offset < low ? 1 : 0;
            sum += offset - high < limit - high ? offset + 1 : 0;
        }
        below += batchBelow;
        aboveSum += static_cast<int64_t>(sum);
        for (uint32_t face = 0; counted && face < width; ++face) {
            int32_t times = 0;
            for (int32_t i = 0; i < n; ++i) {
                times += offsets[i] == low + face ? 1 : 0;
            }
            shown[face] += times;
        }
        for (int32_t begin = 0; !counted && begin < n; begin += CHUNK) {
            const int32_t end = std::min(n, begin + CHUNK);
            uint32_t inWindow = 0;
            for (int32_t i = begin; i < end; ++i) {
                inWindow |= offsets[i] - low < width ? 1 : 0;
            }
            for (int32_t i = begin; inWindow != 0 && i < end; ++i) {
                *window = static_cast<int32_t>(offsets[i] + 1);
                window += offsets[i] - low < width ? 1 : 0;
            }
        }
        return kept;
    });
    int32_t n = static_cast<int32_t>(window - work);
    for (const int32_t times : shown) {
        n += times;
    }
    drop -= below;
    if (drop < 0 || drop >= n) {
        return false;
    }
    if (!counted) {
        total =
            aboveSum + sumByBins(work, n, drop, static_cast<int32_t>(low + 1), bitWidth(width - 1));
        return true;
    }
    total = aboveSum;
    for (uint32_t face = 0; face < width; ++face) {
        const int32_t dropped = std::min(drop, shown[face]);
        drop -= dropped;
        total += (shown[face] - dropped) * (int64_t{low} + face + 1);
    }
    return true;
}

// How many of the next AHEAD_DRAWS draws a roll of up to AHEAD_DICE dice takes, by which of
// them keep a die (bit i for draw i): up to and including the one that keeps the last die; 0
// when too few keep one. A table, since working it out from the bits is a chain of steps that
// the next roll waits for (it starts where this one ends).
constexpr int32_t AHEAD_DICE = 4;
constexpr int32_t AHEAD_DRAWS = 8;
struct AheadTable {
    uint8_t draws[AHEAD_DICE][1 << AHEAD_DRAWS];
};
constexpr AheadTable aheadTable() {
    AheadTable table{};
    for (int32_t count = 1; count <= AHEAD_DICE; ++count) {
        for (int32_t kept = 0; kept < (1 << AHEAD_DRAWS); ++kept) {
            for (int32_t draw = 0, found = 0; draw < AHEAD_DRAWS && found < count; ++draw) {
                found += (kept >> draw) & 1;
                table.draws[count - 1][kept] = found == count ? static_cast<uint8_t>(draw + 1) : 0;
            }
        }
    }
    return table;
}
constexpr AheadTable AHEAD_DRAWS_TAKEN = aheadTable();

// The total of a roll of 1 .. AHEAD_DICE dice of 2 .. 2^24 faces dropping none or the lowest
// (0 <= drop <= 1), when the next AHEAD_DRAWS outputs of the block keep enough dice; false,
// drawing nothing, when they do not (8 draws keep fewer than 4 dice of 6 faces about one time
// in 40). Fast because only that rare branch depends on the draws, and the fixed number of
// draws vectorises: drawing one at a time ends on a mispredicted branch, as how many draws a
// roll takes is random.
bool rollAhead(int32_t count, int32_t faces, int32_t drop, int64_t& total) {
    // Offsets and faces are below 2^24 + 1, so signed comparisons do; bit i stands for draw i.
    constexpr int32_t DRAW_BITS[AHEAD_DRAWS] = {1, 2, 4, 8, 16, 32, 64, 128};
    const int32_t* const words = gRandom.words + gRandom.next;
    const int32_t mask = static_cast<int32_t>(drawMask(static_cast<uint64_t>(faces)));
    int32_t offsets[AHEAD_DRAWS];
    int32_t keeps = 0;
    for (int32_t i = 0; i < AHEAD_DRAWS; ++i) {
        offsets[i] = (words[i] >> RANDOM_OUTPUT_SHIFT) & mask;
        keeps |= offsets[i] < faces ? DRAW_BITS[i] : 0;
    }
    const int32_t draws = AHEAD_DRAWS_TAKEN.draws[count - 1][keeps];
    if (draws == 0) {
        return false;
    }
    keeps &= (1 << draws) - 1;
    // The kept offsets are the dice less one each; a draw not kept stands in as the mask, no
    // lower than any of them.
    int32_t sum = 0;
    int32_t lowest = mask;
    for (int32_t i = 0; i < AHEAD_DRAWS; ++i) {
        const int32_t kept = -static_cast<int32_t>((keeps & DRAW_BITS[i]) != 0);
        sum += offsets[i] & kept;
        lowest = std::min(lowest, (offsets[i] & kept) | (mask & ~kept));
    }
    gRandom.next += draws;
    total = int64_t{sum} + count - (drop == 1 ? int64_t{lowest} + 1 : 0);
    return true;
}

int64_t evaluateAnyRoll(int32_t count, int32_t faces, int32_t drop) {
    if (faces <= 0 || count <= 0 || drop >= count || count > MAX_DICE) {
        return 0;
    }
    drop = std::max(drop, 0);
    if (faces == 1) {
        // uniformInt(1, 1) is 1 without a step.
        return count - drop;
    }
    if (drop == 0) {
        return rollSum(count, faces);
    }
    if (faces <= COUNTED_FACES) {
        return rollCounted(count, faces, drop);
    }
    if (count > SCANNED_VALUES) {
        // A window that misses leaves the generator where it was, and the roll is drawn again.
        const RandomSource saved = gRandom;
        int64_t total;
        if (rollAroundWindow(count, faces, drop, total)) {
            return total;
        }
        gRandom = saved;
    }
    rollStored(work, count, faces);
    return sumByBins(work, count, drop, 1, bitWidth(static_cast<uint32_t>(faces - 1)));
}

} // namespace

int64_t evaluateRoll(int32_t count, int32_t faces, int32_t drop) {
    // The commonest rolls first: the checks for every other kind of roll cost as much as
    // their draws.
    int64_t total;
    if (count >= 1 && count <= AHEAD_DICE && drop <= 1 && drop < count && faces >= 2 &&
        faces <= RANDOM_SINGLE_DRAW_RANGE && gRandom.next <= RANDOM_WORDS_END - AHEAD_DRAWS &&
        rollAhead(count, faces, std::max(drop, 0), total)) {
        return total;
    }
    return evaluateAnyRoll(count, faces, drop);
}
