// The whole-factor window enlargement, the letterbox and the pointer mapped
// back into the game's pixels.
#include "platform/win32/window_scale.h"

#include <gtest/gtest.h>

using platform::ChooseWindowScale;
using platform::FitFrame;
using platform::FrameFit;
using platform::OutputToFrame;

TEST(WindowScale, LargestWholeFactorThatFitsTheDesktop) {
    // The game's windowed client area: 800 x 600 plus one menu-bar height.
    EXPECT_EQ(ChooseWindowScale(1024, 768, 0, 0, 800, 620), 1);
    EXPECT_EQ(ChooseWindowScale(2560, 1440, 0, 0, 800, 620), 2);
    EXPECT_EQ(ChooseWindowScale(3840, 2160, 0, 0, 800, 620), 3);
    EXPECT_EQ(ChooseWindowScale(1920, 1080, 0, 0, 800, 620), 1); // height decides
    EXPECT_EQ(ChooseWindowScale(1600, 1240, 0, 0, 800, 620), 2); // an exact fit fits
}

TEST(WindowScale, DecorationsAndOddInputsNeverGiveLessThanOne) {
    // A title bar that leaves 1239 rows for 2 x 620 drops the factor to 1.
    EXPECT_EQ(ChooseWindowScale(2560, 1440, 10, 201, 800, 620), 1);
    EXPECT_EQ(ChooseWindowScale(2560, 1440, 10, 200, 800, 620), 2);
    EXPECT_EQ(ChooseWindowScale(640, 480, 0, 0, 800, 620), 1); // smaller than the game: no shrinking
    EXPECT_EQ(ChooseWindowScale(0, 0, 0, 0, 800, 620), 1);     // no display information
    EXPECT_EQ(ChooseWindowScale(2560, 1440, -50, -50, 800, 620), 2);
    EXPECT_EQ(ChooseWindowScale(2560, 1440, 0, 0, 0, 620), 1);
    EXPECT_EQ(ChooseWindowScale(2560, 1440, 0, 0, 800, -1), 1);
}

TEST(FrameFitting, WholeEnlargementFillsTheWindowExactly) {
    FrameFit fit = FitFrame(1600, 1240, 800, 620);
    EXPECT_EQ(fit.x, 0);
    EXPECT_EQ(fit.y, 0);
    EXPECT_EQ(fit.width, 1600);
    EXPECT_EQ(fit.height, 1240);
    EXPECT_TRUE(fit.wholeFactor);
    EXPECT_TRUE(FitFrame(800, 600, 800, 600).wholeFactor);
}

TEST(FrameFitting, ScreenIsLetterboxedOnTheShortSides) {
    // 800 x 600 on 2560 x 1440: bars left and right.
    FrameFit wide = FitFrame(2560, 1440, 800, 600);
    EXPECT_EQ(wide.width, 1920);
    EXPECT_EQ(wide.height, 1440);
    EXPECT_EQ(wide.x, 320);
    EXPECT_EQ(wide.y, 0);
    EXPECT_FALSE(wide.wholeFactor);
    // 1024 x 768 on 1280 x 1024: bars above and below.
    FrameFit tall = FitFrame(1280, 1024, 1024, 768);
    EXPECT_EQ(tall.width, 1280);
    EXPECT_EQ(tall.height, 960);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 32);
    // 800 x 620 on 2560 x 1440 rounds its width to the nearest pixel.
    FrameFit odd = FitFrame(2560, 1440, 800, 620);
    EXPECT_EQ(odd.width, 1858);
    EXPECT_EQ(odd.height, 1440);
    EXPECT_EQ(odd.x, 351);
    // Twice in both directions with bars is still pixel-sharp.
    FrameFit twice = FitFrame(1700, 1200, 800, 600);
    EXPECT_EQ(twice.width, 1600);
    EXPECT_TRUE(twice.wholeFactor);
    // Whole factors alone: 3 x on 3840 x 2160, bars on both axes; a screen
    // smaller than the frame still shows all of it.
    FrameFit whole = FitFrame(3840, 2160, 800, 600, platform::FrameScaling::Whole);
    EXPECT_EQ(whole.x, 720);
    EXPECT_EQ(whole.y, 180);
    EXPECT_EQ(whole.width, 2400);
    EXPECT_EQ(whole.height, 1800);
    EXPECT_TRUE(whole.wholeFactor);
    FrameFit small = FitFrame(640, 480, 800, 600, platform::FrameScaling::Whole);
    EXPECT_EQ(small.width, 640);
    EXPECT_FALSE(small.wholeFactor);
    // Smooth places the picture as Sharp does.
    FrameFit smooth = FitFrame(3840, 2160, 800, 600, platform::FrameScaling::Smooth);
    EXPECT_EQ(smooth.width, 2880);
    EXPECT_EQ(smooth.x, 480);
}

TEST(FrameFitting, EmptyOutputOrFrameDrawsNothing) {
    FrameFit none = FitFrame(0, 600, 800, 600);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
    EXPECT_EQ(FitFrame(800, 600, 0, 0).width, 0);
}

TEST(PointerMapping, WindowPixelsScaleBackToClientPixels) {
    FrameFit fit = FitFrame(1600, 1240, 800, 620);
    platform::FramePoint p = OutputToFrame(600, 400, fit, 800, 620);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 200);
    p = OutputToFrame(601, 401, fit, 800, 620); // both window pixels of a game pixel give it
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 200);
    p = OutputToFrame(1599, 1239, fit, 800, 620);
    EXPECT_EQ(p.x, 799);
    EXPECT_EQ(p.y, 619);
    p = OutputToFrame(-1, -3, fit, 800, 620); // a captured drag past the edge stays outside
    EXPECT_EQ(p.x, -1);
    EXPECT_EQ(p.y, -2);
}

TEST(PointerMapping, LetterboxBarsLieOutsideTheFrame) {
    FrameFit fit = FitFrame(2560, 1440, 800, 600);
    platform::FramePoint p = OutputToFrame(320, 0, fit, 800, 600);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = OutputToFrame(320 + 960, 720, fit, 800, 600);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    EXPECT_LT(OutputToFrame(100, 720, fit, 800, 600).x, 0);
    EXPECT_GE(OutputToFrame(2500, 720, fit, 800, 600).x, 800);
    // Without a fit the position passes unchanged.
    p = OutputToFrame(17, 23, FrameFit{}, 800, 600);
    EXPECT_EQ(p.x, 17);
    EXPECT_EQ(p.y, 23);
}
