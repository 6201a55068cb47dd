#include <gtest/gtest.h>

#include "game/ray_burst.h"
#include "platform/os/crt_rand.h"

TEST(RayBurst, RaysStartWithinTheirRanges) {
    crt::srand(3);
    RayBurst burst;
    for (int i = 0; i < RayCount; ++i) {
        EXPECT_GE(burst.rayAngle[i], 0.0f);
        EXPECT_LE(burst.rayAngle[i], 6.2832f);
        EXPECT_GE(burst.rayWidth[i], 0.1f);
        EXPECT_LE(burst.rayWidth[i], 0.5f);
        EXPECT_GE(burst.raySpin[i], -0.1f);
        EXPECT_LE(burst.raySpin[i], 0.1f);
    }
}

TEST(RayBurst, RaysTurnOncePerDrawAndNotAtRadiusZero) {
    crt::srand(3);
    RayBurst burst;
    float start[RayCount];
    for (int i = 0; i < RayCount; ++i)
        start[i] = burst.rayAngle[i];
    burst.Draw(100.0f, 100.0f, 0.0f, 255, 255, 255, 255);
    burst.Draw(100.0f, 100.0f, -5.0f, 255, 255, 255, 255);
    for (int i = 0; i < RayCount; ++i)
        EXPECT_EQ(burst.rayAngle[i], start[i]);
    burst.Draw(100.0f, 100.0f, 80.0f, 255, 255, 255, 255);
    burst.Draw(100.0f, 100.0f, 80.0f, 255, 255, 255, 255);
    for (int i = 0; i < RayCount; ++i)
        EXPECT_FLOAT_EQ(burst.rayAngle[i], start[i] + 2.0f * burst.raySpin[i]);
}
