#include "platform/win32/clock.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

class VirtualClock : public testing::Test {
  protected:
    void TearDown() override { platform::UseRealClock(); }
};

TEST_F(VirtualClock, StandsStillUntilAdvancedAndWrapsAt32Bits) {
    platform::UseVirtualClock(0xFFFFFFF0u);
    EXPECT_TRUE(platform::ClockIsVirtual());
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    platform::AdvanceVirtualClock(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);
}

TEST_F(VirtualClock, SleepAdvancesVirtualTimeInsteadOfBlocking) {
    platform::UseVirtualClock(500);
    Sleep(40);
    EXPECT_EQ(timeGetTime(), 540u);
}

TEST_F(VirtualClock, RealClockIgnoresAdvancesAndPeriodCallsSucceed) {
    platform::UseRealClock();
    EXPECT_FALSE(platform::ClockIsVirtual());
    uint32_t before = timeGetTime();
    platform::AdvanceVirtualClock(1000000);
    uint32_t after = timeGetTime();
    EXPECT_LT(after - before, 1000000u); // unsigned difference: correct across a wrap
    EXPECT_EQ(timeBeginPeriod(1), 0u);
    EXPECT_EQ(timeEndPeriod(1), 0u);
}

// An idle loop sleeps until the next tick is due (more than 25 ms after the
// last one began), never less than 1 ms nor more than 26, across the wrap.
TEST_F(VirtualClock, IdleWaitEndsWhenTheNextTickIsDue) {
    platform::UseVirtualClock(1000);
    platform::NoteTickStarted(1000);
    EXPECT_EQ(platform::IdleWaitMilliseconds(), 26);
    platform::AdvanceVirtualClock(10);
    EXPECT_EQ(platform::IdleWaitMilliseconds(), 16);
    platform::AdvanceVirtualClock(15);
    EXPECT_EQ(platform::IdleWaitMilliseconds(), 1); // 25 ms: not due yet, one more
    platform::AdvanceVirtualClock(1);
    EXPECT_EQ(platform::IdleWaitMilliseconds(), 1); // due: the loop looks again soon
    platform::AdvanceVirtualClock(5000);
    EXPECT_EQ(platform::IdleWaitMilliseconds(), 1); // no tick for long: as before any tick

    platform::UseVirtualClock(0xFFFFFFF0u);
    platform::NoteTickStarted(0xFFFFFFF0u);
    platform::AdvanceVirtualClock(0x14);
    EXPECT_EQ(platform::IdleWaitMilliseconds(), 6);
}
