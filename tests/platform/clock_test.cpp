#include "platform/clock.h"
#include "platform/win32.h"

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
