#include <gtest/gtest.h>

#include "shell/turtle.h"

namespace {

// Feeds `frames` frames `step` milliseconds apart; returns the frame at which
// the turtle's visibility first became `showing`, or -1.
int FramesUntil(Turtle& turtle, uint32_t& now, uint32_t step, int frames, bool showing) {
    for (int frame = 1; frame <= frames; ++frame) {
        now += step;
        turtle.HandleAt(now);
        if (turtle.IsShowing() == showing)
            return frame;
    }
    return -1;
}

} // namespace

TEST(Turtle, ShowsAfterSlowFramesAndHidesAfterFastOnes) {
    Turtle turtle;
    EXPECT_EQ(turtle.averageRate, 100u);
    EXPECT_FALSE(turtle.IsShowing());
    uint32_t now = 0;
    // 40 fps frames never bring it up.
    EXPECT_EQ(FramesUntil(turtle, now, 25, 200, true), -1);
    // 10 fps frames do, but not on the first slow frame.
    const int slow = FramesUntil(turtle, now, 100, 100, true);
    EXPECT_GT(slow, 1);
    EXPECT_NE(slow, -1);
    EXPECT_LT(turtle.averageRate, 24u);
    // 100 fps frames hide it again within a few frames.
    const int fast = FramesUntil(turtle, now, 10, 100, false);
    EXPECT_GE(fast, 1);
    EXPECT_LE(fast, 5);
}

TEST(Turtle, SurvivesRepeatedTimesAndTheClockWrap) {
    Turtle turtle;
    turtle.lastTime = 0xFFFFFFF0u;
    // 32 ms later, across the wrap: 31 fps.
    turtle.HandleAt(0x10u);
    EXPECT_EQ(turtle.lastTime, 0x10u);
    EXPECT_EQ(turtle.averageRate, (7 * 100u + 31u) >> 3);
    // A frame at the same millisecond counts as 1 ms.
    turtle.HandleAt(0x10u);
    EXPECT_EQ(turtle.averageRate, (7 * ((7 * 100u + 31u) >> 3) + 1000u) >> 3);
    // A long stall counts as 5 fps, no slower.
    turtle.averageRate = 100;
    turtle.HandleAt(0x10u + 60000u);
    EXPECT_EQ(turtle.averageRate, (700u + 5u) >> 3);
}
