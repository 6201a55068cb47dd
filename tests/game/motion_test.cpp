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

// Headings compared modulo 2 pi, in double so that large headings keep their precision.
void ExpectSameDirection(float heading, float turn, float wanted) {
    const double difference = static_cast<double>(heading) + turn - wanted;
    EXPECT_NEAR(std::remainder(difference, 2.0 * std::numbers::pi), 0.0, 1e-3);
}

} // namespace

TEST(TurnToward, TurnsTheShorterWayAndAtMostMaxTurn) {
    // From the origin: up is heading 0, right is pi/2, left is -pi/2.
    EXPECT_FLOAT_EQ(TurnToward(0, 0, 0, -10, 0.0f, 0.1f), 0.0f);
    EXPECT_FLOAT_EQ(TurnToward(0, 0, 10, 0, 0.0f, 0.1f), 0.1f);
    EXPECT_FLOAT_EQ(TurnToward(0, 0, -10, 0, 0.0f, 0.1f), -0.1f);
    EXPECT_FLOAT_EQ(TurnToward(0, 0, 10, 0, 0.0f, 5.0f), Pi / 2);
    // Facing right, a target up-left is reached by turning counter-clockwise.
    EXPECT_FLOAT_EQ(TurnToward(0, 0, -10, -10, Pi / 2, 5.0f), -3 * Pi / 4);
    // Just past straight behind, the other way round is shorter.
    EXPECT_LT(TurnToward(0, 0, -0.01f, 10, 0.0f, 5.0f), 0.0f);
    EXPECT_GT(TurnToward(0, 0, 0.01f, 10, 0.0f, 5.0f), 0.0f);
}

TEST(TurnToward, TargetStraightBehindKeepsTurningOneWay) {
    float heading = 0.0f;
    const float first = TurnToward(0, 0, 0, 10, heading, 0.2f);
    EXPECT_FLOAT_EQ(std::fabs(first), 0.2f);
    for (int tick = 0; tick < 10; ++tick) {
        const float turn = TurnToward(0, 0, 0, 10, heading, 0.2f);
        EXPECT_EQ(std::signbit(turn), std::signbit(first)) << "tick " << tick;
        heading += turn;
    }
}

TEST(TurnToward, WithoutMaxTurnGivesTheWantedHeadingNearTheCurrentOne) {
    // The target on the object itself: atan2(0, 0) is 0.
    EXPECT_FLOAT_EQ(TurnToward(5, 5, 5, 5, 0.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(TurnToward(5, 5, 5, 5, 0.0f, 1.0f), 0.0f);
    // Headings accumulate; the answer is the same direction within pi of them.
    const float wanted = TurnToward(0, 0, 10, 0, 4 * Pi + 0.1f, 0.0f);
    EXPECT_NEAR(wanted, 4 * Pi + Pi / 2, 1e-4f);
    const float negative = TurnToward(0, 0, 10, 0, -4 * Pi, 0.0f);
    EXPECT_NEAR(negative, -4 * Pi + Pi / 2, 1e-4f);
}

TEST(TurnToward, AnyHeadingYieldsATurnWithinPi) {
    const float targets[][2] = {{10, 0}, {-10, 0}, {0, 10}, {0, -10}, {3, -7}, {-6, 2}};
    for (float heading : {100.0f, -100.0f, 12345.6f, -98765.4f, 1e9f, -3e12f}) {
        for (const auto& target : targets) {
            SCOPED_TRACE(::testing::Message()
                         << "heading " << heading << " target " << target[0] << "," << target[1]);
            const float turn = TurnToward(0, 0, target[0], target[1], heading, 10.0f);
            EXPECT_GE(turn, -Pi - 1e-5f);
            EXPECT_LE(turn, Pi + 1e-5f);
            ExpectSameDirection(heading, turn, std::atan2(target[0], -target[1]));
        }
    }
    // A broken heading gets no turn rather than hanging the game.
    EXPECT_EQ(TurnToward(0, 0, 10, 0, std::numeric_limits<float>::infinity(), 0.1f), 0.0f);
    EXPECT_EQ(TurnToward(0, 0, 10, 0, std::nanf(""), 0.1f), 0.0f);
}

TEST(MotionHelpers, ArithmeticHelpers) {
    EXPECT_FLOAT_EQ(Distance(1, 2, 4, 6), 5.0f);
    EXPECT_FLOAT_EQ(Lerp(0.25f, 8.0f, 4.0f), 5.0f);
    EXPECT_FLOAT_EQ(Lerp(0.0f, 8.0f, 4.0f), 4.0f);
    EXPECT_EQ(ClampInt(-3, 0, 10), 0);
    EXPECT_EQ(ClampInt(12, 0, 10), 10);
    // An empty range: raised to lo, then lowered to hi.
    EXPECT_EQ(ClampInt(5, 8, 2), 2);
    EXPECT_FLOAT_EQ(ClampFloat(5.0f, 8.0f, 2.0f), 2.0f);
    EXPECT_FLOAT_EQ(ClampFloat(-1.0f, 0.0f, 10.0f), 0.0f);
}

TEST(MotionHelpers, WorldToScreenCentresTheCamera) {
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
    AddScore(2);
    EXPECT_EQ(TheProgress.lastScore, 2);
    TheProgress.BonusFlags[0] = 1;
    TheProgress.BonusFlags[3] = 1;
    AddScore(2);
    EXPECT_EQ(TheProgress.lastScore, 10);
    for (int32_t& flag : TheProgress.BonusFlags)
        flag = 1;
    AddScore(2);
    EXPECT_EQ(TheProgress.lastScore, 74);
    TheProgress.lastScore = std::numeric_limits<int32_t>::max() - 10;
    AddScore(2);
    EXPECT_EQ(TheProgress.lastScore, std::numeric_limits<int32_t>::max());
    ClearProgress();
}

TEST(TextHelpers, RectanglesAndStrings) {
    int32_t rect[4] = {50, 80, 10, 20};
    NormalizeRect(rect);
    EXPECT_EQ(rect[0], 10);
    EXPECT_EQ(rect[1], 20);
    EXPECT_EQ(rect[2], 50);
    EXPECT_EQ(rect[3], 80);

    char dst[8];
    CopyString("abcdefghij", 100, dst, sizeof(dst));
    EXPECT_STREQ(dst, "abcdefg");
    CopyString("abcdefghij", 4, dst, sizeof(dst));
    EXPECT_STREQ(dst, "abc");
    CopyString("ab", 100, dst, sizeof(dst));
    EXPECT_STREQ(dst, "ab");
    std::memset(dst, 'x', sizeof(dst));
    CopyString("abc", 100, dst, 0);
    EXPECT_EQ(dst[0], 'x');

    EXPECT_EQ(FirstLineLength("Best\nScore", 10), 4);
    EXPECT_EQ(FirstLineLength("\r\nx", 3), 0);
    EXPECT_EQ(FirstLineLength("abcdef", 3), 3);
    // A string shorter than the length given ends at its terminator.
    EXPECT_EQ(FirstLineLength("ab", 50), 2);
}
