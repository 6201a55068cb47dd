#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "game/motion.h"
#include "shell/game_state.h"

namespace {
constexpr float Pi = std::numbers::pi_v<float>;
}

TEST(TurnToward, TurnsTheShorterWayAndAtMostMaxTurn) {
    EXPECT_FLOAT_EQ(TurnToward(0, 0, 10, 0, 0.0f, 0.1f), 0.1f);
    EXPECT_FLOAT_EQ(TurnToward(0, 0, -10, 0, 0.0f, 0.1f), -0.1f);
    // Facing right, a target up-left is reached turning counter-clockwise.
    EXPECT_FLOAT_EQ(TurnToward(0, 0, -10, -10, Pi / 2, 5.0f), -3 * Pi / 4);
    EXPECT_LT(TurnToward(0, 0, -0.01f, 10, 0.0f, 5.0f), 0.0f);
    EXPECT_GT(TurnToward(0, 0, 0.01f, 10, 0.0f, 5.0f), 0.0f);
    // The target on the object itself: atan2(0, 0) is 0.
    EXPECT_FLOAT_EQ(TurnToward(5, 5, 5, 5, 0.0f, 1.0f), 0.0f);
    // Without maxTurn: the wanted heading itself, within pi of the current one.
    EXPECT_NEAR(TurnToward(0, 0, 10, 0, 4 * Pi + 0.1f, 0.0f), 4 * Pi + Pi / 2, 1e-4f);
    EXPECT_NEAR(TurnToward(0, 0, 10, 0, -4 * Pi, 0.0f), -4 * Pi + Pi / 2, 1e-4f);
}

TEST(TurnToward, TargetStraightBehindKeepsTurningOneWay) {
    float heading = 0.0f;
    const float first = TurnToward(0, 0, 0, 10, heading, 0.2f);
    EXPECT_FLOAT_EQ(std::fabs(first), 0.2f);
    for (int tick = 0; tick < 10; ++tick) {
        const float turn = TurnToward(0, 0, 0, 10, heading, 0.2f);
        EXPECT_EQ(std::signbit(turn), std::signbit(first)) << tick;
        heading += turn;
    }
}

TEST(TurnToward, AnyHeadingYieldsTheRightTurnWithinPi) {
    const float targets[][2] = {{10, 0}, {-10, 0}, {0, 10}, {3, -7}, {-6, 2}};
    for (float heading : {100.0f, -100.0f, 12345.6f, 1e9f, -3e12f}) {
        for (const auto& target : targets) {
            const float turn = TurnToward(0, 0, target[0], target[1], heading, 10.0f);
            EXPECT_LE(std::fabs(turn), Pi + 1e-5f) << heading;
            // heading + turn points at the target, compared modulo 2 pi in double.
            const double off = static_cast<double>(heading) + turn - std::atan2(target[0], -target[1]);
            EXPECT_NEAR(std::remainder(off, 2.0 * std::numbers::pi), 0.0, 1e-3) << heading;
        }
    }
    // A broken heading gets no turn instead of hanging the game.
    EXPECT_EQ(TurnToward(0, 0, 10, 0, std::numeric_limits<float>::infinity(), 0.1f), 0.0f);
    EXPECT_EQ(TurnToward(0, 0, 10, 0, std::nanf(""), 0.1f), 0.0f);
}

TEST(WorldToScreen, CentresTheCameraOnIntegerHalves) {
    GameApplication application;
    application.presentParams.BackBufferWidth = 801;
    application.presentParams.BackBufferHeight = 601;
    GameApplication* previous = TheApplication;
    TheApplication = &application;
    camX = 100.0f;
    camY = -50.0f;
    zoom = 2.0f;
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(110.0f, -40.0f, &sx, &sy);
    TheApplication = previous;
    zoom = 1.0f;
    camX = camY = 0.0f;
    EXPECT_FLOAT_EQ(sx, 420.0f);
    EXPECT_FLOAT_EQ(sy, 320.0f);
}

TEST(AddScore, DoublesOncePerSetBonusFlag) {
    ClearProgress();
    TheProgress.BonusFlags[0] = 1;
    TheProgress.BonusFlags[3] = 1;
    AddScore(2);
    EXPECT_EQ(TheProgress.lastScore, 8);
    TheProgress.lastScore = std::numeric_limits<int32_t>::max() - 5;
    AddScore(2);
    EXPECT_EQ(TheProgress.lastScore, std::numeric_limits<int32_t>::max());
    ClearProgress();
}

TEST(TextHelpers, CopyAndLineLengthStayInsideTheirBuffers) {
    char dst[8];
    CopyString("abcdefghij", 100, dst, sizeof(dst));
    EXPECT_STREQ(dst, "abcdefg");
    CopyString("abcdefghij", 4, dst, sizeof(dst));
    EXPECT_STREQ(dst, "abc");
    std::memset(dst, 'x', sizeof(dst));
    CopyString("abc", 100, dst, 0);
    EXPECT_EQ(dst[0], 'x');
    EXPECT_EQ(FirstLineLength("Best\nScore", 10), 4);
    EXPECT_EQ(FirstLineLength("\r\nx", 3), 0);
    EXPECT_EQ(FirstLineLength("abcdef", 3), 3);
    EXPECT_EQ(FirstLineLength("ab", 50), 2);
    int32_t rect[4] = {50, 80, 10, 20};
    NormalizeRect(rect);
    EXPECT_THAT(rect, ::testing::ElementsAre(10, 20, 50, 80));
}
