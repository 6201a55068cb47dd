#include "shell/intro_mode.h"

#include "core/main_loop.h"
#include "mode_test_app.h"
#include "shell/first_option_mode.h"

#include <gtest/gtest.h>

namespace {

class IntroModeTest : public ModeTestApp {
  protected:
    void TearDown() override {
        delete NextMode;
        NextMode = nullptr;
        ModeTestApp::TearDown();
    }
};

} // namespace

TEST_F(IntroModeTest, KeyReleaseBringsTheMainMenuAtOnceAndPressesDoNot) {
    IntroMode intro(0, "INTRO_MODE");
    Queue(InputKeyDown, 0x20);
    intro.Tick();
    EXPECT_EQ(intro.status, 0);
    EXPECT_EQ(NextMode, nullptr);

    Queue(InputKeyUp, 0x20);
    Queue(InputKeyUp, 0x41);
    intro.Tick();
    EXPECT_EQ(intro.status, 2);
    ASSERT_NE(NextMode, nullptr);
    EXPECT_STREQ(NextMode->GetName(), "FIRSTOPTION_MODE");
    EXPECT_TRUE(app.events.IsEmpty());
}

TEST_F(IntroModeTest, MainMenuFollowsAfterTwoHundredTicks) {
    IntroMode intro(0, "INTRO_MODE");
    for (int32_t tick = 0; tick < 200; ++tick)
        intro.Tick();
    EXPECT_EQ(intro.status, 0);
    intro.Tick();
    EXPECT_EQ(intro.count, 201);
    EXPECT_EQ(intro.status, 2);
    GameMode* menu = NextMode;
    // a release on that very tick asks for no second menu
    Queue(InputKeyUp, 0x20);
    intro.Tick();
    EXPECT_EQ(NextMode, menu);
}
