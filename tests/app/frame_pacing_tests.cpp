#include "app/frame_pacing.h"

#include <gtest/gtest.h>

namespace {

// Makes `tick` the time of the last paced repaint.
void repaintAt(uint32_t tick) {
    lastFrameTime = tick - 1000;
    ASSERT_TRUE(frameDueAt(tick, 30));
}

TEST(FramePacing, repaintsOnlyWhenMoreThanAThirtiethOfASecondHasPassed) {
    const uint32_t T = 5000000;
    repaintAt(T);
    EXPECT_FALSE(frameDueAt(T + 10, 30));
    EXPECT_FALSE(frameDueAt(T + 20, 30));
    EXPECT_FALSE(frameDueAt(T + 33, 30)); // 33 ms is just under 1/30 s
    EXPECT_TRUE(frameDueAt(T + 34, 30));
    // The next frame is paced from T + 34, not from T.
    EXPECT_FALSE(frameDueAt(T + 60, 30));
    EXPECT_TRUE(frameDueAt(T + 68, 30));
}

TEST(FramePacing, exactlyOneFramePeriodIsNotYetDue) {
    repaintAt(1000);
    EXPECT_FALSE(frameDueAt(1040, 25)); // 40 ms is 1/25 s exactly: strictly more is needed
    EXPECT_TRUE(frameDueAt(1041, 25));
}

TEST(FramePacing, keepsRepaintingWhenTheTickCountWrapsPastZero) {
    const uint32_t T = 0xFFFFFFF0u;
    repaintAt(T);
    EXPECT_FALSE(frameDueAt(T + 10, 30));
    EXPECT_FALSE(frameDueAt(T + 20, 30)); // 0x00000004, already past the wrap
    EXPECT_TRUE(frameDueAt(T + 34, 30));  // 0x00000012
    EXPECT_EQ(lastFrameTime, 0x12u);
    EXPECT_FALSE(frameDueAt(0x20, 30));
    EXPECT_TRUE(frameDueAt(0x12 + 34, 30));
}

TEST(FramePacing, theFirstIdlePassAfterALongPauseRepaints) {
    repaintAt(100);
    EXPECT_TRUE(frameDueAt(100 + 0x7FFFFFFFu, 30));
    EXPECT_TRUE(frameDueAt(0xFFFFFFFFu, 30));
}

} // namespace
