#pragma once

#include "dice/lowest_dice.h"

#include <cstdint>

// A roll's dice drawn in bulk from gRandom. Each function draws exactly what `count` calls of
// uniformInt(1, faces) would, in the same order and with the same mask and rejection, and
// leaves the generator where those calls would leave it. count >= 1, faces >= 2.

// The sum of the dice.
int64_t drawDiceSum(int32_t count, int32_t faces);
// The dice into dice[0 .. count), in the order drawn; returns their sum.
int64_t drawDice(int32_t* dice, int32_t count, int32_t faces);
// The dice into dice[0 .. count) as drawDice, also counted into `bins` (prepared for count
// values of 0 .. faces) by their high bits; returns their sum.
int64_t drawDiceBinned(int32_t* dice, int32_t count, int32_t faces, Bins& bins);
// Face counts up to this can be counted by face.
constexpr int32_t MAX_COUNTED_FACES = 1024;
// How often each face came up: timesShown[face] for face 1 .. faces (timesShown[0] is
// scratch); timesShown has faces + 1 entries, faces <= MAX_COUNTED_FACES.
void countDice(int32_t* timesShown, int32_t count, int32_t faces);
