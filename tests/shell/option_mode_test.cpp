#include "shell/option_mode.h"

#include "mode_test_app.h"
#include "shell/game_state.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr int32_t Space = 0x20;
constexpr int32_t Escape = 27;

class OptionModeTest : public ModeTestApp {
  protected:
    void SetUp() override {
        ModeTestApp::SetUp();
        SetDefaultOptions();
    }
    // Puts the pointer inside `row`, presses a key and ticks until the mode asks to close.
    int32_t Choose(OptionMode& mode, int32_t row) {
        mode.menu->pointerY = mode.menu->top + mode.menu->rowHeight * static_cast<float>(row) + 5.0f;
        Queue(InputKeyDown, Space);
        int32_t ticks = 0;
        while (mode.status == 0 && ticks < 100) {
            mode.Tick();
            ++ticks;
        }
        return ticks;
    }
};

} // namespace

TEST_F(OptionModeTest, KindaFastGameSpeedStoresSettingAndFactorAfterTheBlink) {
    OptionMode mode(0, "GAMESPEEDMODE");
    mode.Enter();
    EXPECT_EQ(mode.menu->count, 9);
    EXPECT_STREQ(mode.menu->labels[4], "Kinda Fast");
    EXPECT_EQ(Choose(mode, 4), 47);
    EXPECT_EQ(mode.status, 2);
    EXPECT_EQ(TheOptions.gameSpeed, 4);
    EXPECT_FLOAT_EQ(TheOptions.gameSpeedFactor, 1.25f);
    EXPECT_FALSE(std::filesystem::exists("options.dat"));
    mode.Exit();
    EXPECT_EQ(std::filesystem::file_size("options.dat"), sizeof(Options));
}

TEST_F(OptionModeTest, EachMenuSetsOnlyItsOwnOption) {
    OptionMode difficulty(0, "GAMEDIFFMODE");
    difficulty.Enter();
    Choose(difficulty, 2);
    OptionMode menuSpeed(0, "GAMEMENUMODE");
    menuSpeed.Enter();
    Choose(menuSpeed, 0);
    OptionMode thrust(0, "GAMETHRUSTMODE");
    thrust.Enter();
    Choose(thrust, 6);
    EXPECT_EQ(TheOptions.difficulty, 2);
    EXPECT_EQ(TheOptions.menuSpeed, 0);
    EXPECT_EQ(TheOptions.thrustSpeed, 6);
    EXPECT_EQ(TheOptions.gameSpeed, 3);
}

TEST_F(OptionModeTest, CancelAndEscapeChangeNothingButStillSave) {
    const Options before = TheOptions;
    OptionMode mode(0, "GAMEDIFFMODE");
    mode.Enter();
    EXPECT_STREQ(mode.menu->labels[4], "Cancel");
    Choose(mode, 4);
    EXPECT_EQ(mode.status, 2);
    mode.Exit();
    EXPECT_TRUE(std::filesystem::exists("options.dat"));

    OptionMode escaped(0, "GAMETHRUSTMODE");
    escaped.Enter();
    Queue(InputKeyDown, Escape);
    escaped.Tick();
    EXPECT_EQ(escaped.status, 2);
    EXPECT_EQ(TheOptions.difficulty, before.difficulty);
    EXPECT_EQ(TheOptions.thrustSpeed, before.thrustSpeed);
}

TEST_F(OptionModeTest, GapRowBeforeCancelCannotBeChosen) {
    OptionMode mode(0, "GAMESPEEDMODE");
    mode.Enter();
    EXPECT_EQ(Choose(mode, 7), 100);
    EXPECT_EQ(mode.status, 0);
    EXPECT_EQ(mode.menu->selected, -1);
}
