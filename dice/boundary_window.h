#pragma once

#include <cstdint>

// Rolls of at least this many dice, of at least this many faces, look for the lowest dice in
// a window first. With fewer faces even the narrowest window, one face, holds too large a
// share of the dice, and counting them by face costs less.
constexpr int32_t WINDOW_DICE = 4096;
constexpr int32_t WINDOW_FACES = 32;
// How far the window reaches either side of where the highest dropped die is expected, in
// standard deviations of the number of dice below a value. Four leave it outside about once
// in fifteen thousand rolls, and a roll that misses is drawn again into bins; a wider window
// stores more of the dice for nothing.
constexpr double WINDOW_SPREAD = 4;

// The total of count dice of `faces` faces less the `drop` lowest, 0 < drop < count, into
// `total`, drawn as evaluateRoll draws them; work has `room` entries for the draws kept. True
// when the highest dropped die lies in the window `spread` wide; otherwise false, with the
// generator where it was. Also false, so, in the unlikely case that the draws kept for the
// window need more than `room` entries.
//
// Fast because the dice are drawn once and only those near the window are kept: the dice
// below it are dropped and those above it kept without being stored or sorted into bins,
// which is most of the time that binning every die takes.
bool rollAroundBoundary(int32_t* work, int32_t room, int32_t count, int32_t faces, int32_t drop,
                        double spread, int64_t& total);

// The same for fewer faces than dice, without storing any die: true, with the total, when
// the highest dropped die is one of the one to three faces of the window; otherwise false,
// with the generator where it was. Also false, without drawing, when the window is wider or
// the faces are not fewer than the dice.
bool rollAroundBoundaryFace(int32_t count, int32_t faces, int32_t drop, double spread,
                            int64_t& total);
