#pragma once

// How a roll's draws are taken from the block in batches, for the sinks that use them (in
// dice_draws.cpp and boundary_window.cpp).
#include "dice/dice_draws.h"
#include "dice/random_source.h"

#include <algorithm>
#include <cstdint>

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

// A sink takes n draws, every one of which uniformInt would make, with
// `int32_t take(const Draws& draws, int32_t n)`, and returns how many dice they kept; a draw
// keeps the die offset + 1 when its offset is below the face count.

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
