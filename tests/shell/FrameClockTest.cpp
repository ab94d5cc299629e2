#include <gtest/gtest.h>

#include <vector>

#include "shell/FrameClock.h"

namespace {

TEST(FrameClock, FirstPassCountsOneMillisecondWhateverTheClockSays)
{
    FrameClock clock;
    clock.tick(123456);
    EXPECT_EQ(clock.delta, 1);
    EXPECT_EQ(clock.elapsed, 1);
    EXPECT_EQ(clock.fps, 0);

    clock.tick(123456 + 17);
    EXPECT_EQ(clock.delta, 17);
    EXPECT_EQ(clock.elapsed, 18);

    // Two passes in the same millisecond.
    clock.tick(123456 + 17);
    EXPECT_EQ(clock.delta, 0);
    EXPECT_EQ(clock.elapsed, 18);
}

TEST(FrameClock, LongPassIsClampedToOneHundred)
{
    FrameClock clock;
    clock.tick(1000);
    clock.tick(1250);
    EXPECT_EQ(clock.delta, 100);
    EXPECT_EQ(clock.elapsed, 101);
    EXPECT_EQ(clock.window.carry(), 101);
    EXPECT_EQ(clock.framesInWindow, 2);

    clock.tick(1350);  // exactly 100 stays 100
    EXPECT_EQ(clock.delta, 100);
    clock.tick(1451);
    EXPECT_EQ(clock.delta, 100);
    EXPECT_EQ(clock.elapsed, 301);
}

TEST(FrameClock, TickCountWrapGivesTheRealSmallStep)
{
    FrameClock clock;
    clock.tick(0xFFFFFFF0u);
    clock.tick(0x00000005u);
    EXPECT_EQ(clock.delta, 21);
    EXPECT_EQ(clock.elapsed, 22);
}

TEST(FrameClock, SeventeenMillisecondPassesGiveTheRunningAverage)
{
    FrameClock clock;
    Uint32 now = 5000;
    std::vector<int> updates;
    std::vector<int> passesPerUpdate;
    int passes = 0;
    int lastFps = clock.fps;
    for (int pass = 1; pass <= 60 + 59 * 6; pass++) {
        clock.tick(now);
        now += 17;
        passes++;
        if (clock.framesInWindow == 0) {
            updates.push_back(clock.fps);
            passesPerUpdate.push_back(passes);
            passes = 0;
        } else {
            // Between updates the figure holds still.
            EXPECT_EQ(clock.fps, lastFps);
        }
        lastFps = clock.fps;
    }
    // The first window holds 1 + 59 x 17 = 1004 ms in 60 passes; every later
    // one 59 passes and 1003 ms.
    EXPECT_EQ(updates, (std::vector<int>{30, 44, 51, 55, 57, 58, 58}));
    EXPECT_EQ(passesPerUpdate, (std::vector<int>{60, 59, 59, 59, 59, 59, 59}));
    EXPECT_EQ(clock.elapsed, 1 + (60 + 59 * 6 - 1) * 17);
}

TEST(FrameClock, WindowClosesAtExactlyOneSecond)
{
    FrameClock clock;
    clock.tick(0);   // counts 1
    clock.tick(99);  // 99
    for (Uint32 now = 199; now <= 899; now += 100)
        clock.tick(now);  // 8 x 100
    EXPECT_EQ(clock.window.carry(), 900);
    EXPECT_EQ(clock.fps, 0);
    clock.tick(999);  // +100: the window holds exactly 1000 ms
    EXPECT_EQ(clock.fps, 5);  // (0 + 11) / 2
    EXPECT_EQ(clock.window.carry(), 0);
    EXPECT_EQ(clock.framesInWindow, 0);
}

}  // namespace
