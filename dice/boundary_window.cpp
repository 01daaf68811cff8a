#include "dice/boundary_window.h"

#include "dice/dice_draws.h"
#include "dice/lowest_dice.h"
#include "dice/random_source.h"

#include <algorithm>
#include <cmath>

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
