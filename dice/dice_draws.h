#pragma once

#include "dice/lowest_dice.h"
#include "dice/random_source.h"

#include <cstdint>

// SSE2, part of every x86-64 processor, for the fast paths that use it; each has a plain
// fallback.
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TARVO_DICE_SSE2 1
#endif

// A roll's dice drawn in bulk from gRandom. Each function draws exactly what `count` calls of
// uniformInt(1, faces) would, in the same order and with the same mask and rejection, and
// leaves the generator where those calls would leave it. count >= 1, faces >= 2.

// The mask of uniformInt(1, faces): the smallest power of two, at least 2, not below faces,
// less one.
inline uint32_t drawMask(int32_t faces) {
#if defined(__GNUC__)
    // One instruction rather than a chain of ten that a small roll waits for; faces - 1 > 0.
    return ~uint32_t{0} >> __builtin_clz(static_cast<uint32_t>(faces) - 1);
#else
    // Every bit below the highest set bit of faces - 1 is set too.
    uint32_t mask = static_cast<uint32_t>(faces) - 1;
    mask |= mask >> 1;
    mask |= mask >> 2;
    mask |= mask >> 4;
    mask |= mask >> 8;
    mask |= mask >> 16;
    return mask | 1;
#endif
}

// Rolls of this many dice or fewer, of up to 2^24 faces, take their draws one at a time.
constexpr int32_t FEW_DICE = 16;

// Few dice into dice[0 .. count); returns their sum. One draw at a time, since setting up a
// batch costs more than such a roll's draws, and inline, since calls cost as much again.
// Branch-free: every draw is written at the next free place, and the place moves on only for
// a kept die.
inline int64_t drawFewDice(int32_t* dice, int32_t count, int32_t faces) {
    const uint32_t mask = drawMask(faces);
    // The cursor stays in a register: a write to dice[] might otherwise be the cursor.
    int32_t next = gRandom.next;
    int64_t sum = 0;
    for (int32_t drawn = 0; drawn < count;) {
        if (next >= RANDOM_WORDS_END) {
            computeNextBlock(gRandom);
            next = gRandom.next;
        }
        const uint32_t offset =
            (static_cast<uint32_t>(gRandom.words[next++]) >> RANDOM_OUTPUT_SHIFT) & mask;
        const uint32_t keep = offset < static_cast<uint32_t>(faces) ? 1 : 0;
        dice[drawn] = static_cast<int32_t>(offset + 1);
        drawn += static_cast<int32_t>(keep);
        sum += (offset + 1) & (0 - keep);
    }
    gRandom.next = next;
    return sum;
}

// The sum of the dice.
int64_t drawDiceSum(int32_t count, int32_t faces);
// The dice into dice[0 .. count), in the order drawn; returns their sum.
int64_t drawDice(int32_t* dice, int32_t count, int32_t faces);
// The dice into dice[0 .. count) as drawDice, also counted into `bins` (prepared for count
// values of 0 .. faces) by their high bits; returns their sum.
int64_t drawDiceBinned(int32_t* dice, int32_t count, int32_t faces, Bins& bins);
// Up to this many faces, counting compares every draw with each face at once (SSE2), which
// is quicker than any window.
constexpr int32_t COMPARED_FACES = 8;
// Face counts up to this can be counted by face.
constexpr int32_t MAX_COUNTED_FACES = 1024;
// How often each face came up: timesShown[face] for face 1 .. faces (timesShown[0] is
// scratch); timesShown has faces + 1 entries, faces <= MAX_COUNTED_FACES.
void countDice(int32_t* timesShown, int32_t count, int32_t faces);
