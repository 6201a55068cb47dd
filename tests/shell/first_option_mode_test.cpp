#include "shell/first_option_mode.h"

#include "core/main_loop.h"
#include "engine/font.h"
#include "game/mission_table.h"
#include "game/play_field.h"
#include "mode_test_app.h"
#include "shell/game_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

class FirstOptionModeTest : public ModeTestApp {
  protected:
    void SetUp() override {
        ModeTestApp::SetUp();
        mode = std::make_unique<FirstOptionMode>(0, "FIRSTOPTION_MODE");
        mode->Enter();
    }
    void TearDown() override {
        delete NextMode;
        NextMode = nullptr;
        mode->Exit();
        mode.reset();
        ModeTestApp::TearDown();
    }
    std::unique_ptr<FirstOptionMode> mode;
};

} // namespace

TEST_F(FirstOptionModeTest, RowsInOrderWithGapsAroundPlay) {
    const MenuList& menu = *mode->menu;
    ASSERT_EQ(menu.count, 10);
    const int32_t ids[10] = {3, 2, 4, 5, 7, 6, 8, 1, 8, 0};
    for (int32_t i = 0; i < 10; ++i)
        EXPECT_EQ(menu.ids[i], ids[i]);
    EXPECT_STREQ(menu.labels[1], "Sound: ON");
    EXPECT_STREQ(menu.labels[6], "");
    EXPECT_STREQ(menu.labels[9], "QUIT GAME");
    // 600 / 2 - 150 + 150
    EXPECT_FLOAT_EQ(menu.top, 300.0f);
    EXPECT_EQ(DefaultFill, static_cast<uint32_t>(WindowAlpha) << 24 | 0x323232u);
}

TEST_F(FirstOptionModeTest, TogglingSoundRelabelsAtOnceAndRestartsThePointer) {
    mode->menu->pointerY = mode->menu->top + 40.0f;
    mode->menu->Select();
    for (int32_t tick = 0; tick < 46; ++tick) {
        EXPECT_EQ(TheOptions.soundOn, 1);
        mode->Tick();
    }
    EXPECT_EQ(TheOptions.soundOn, 0);
    EXPECT_STREQ(mode->menu->labels[1], "Sound: OFF");
    EXPECT_EQ(mode->menu->selected, -1);
    EXPECT_FLOAT_EQ(mode->menu->pointerY, mode->menu->top);
    EXPECT_EQ(mode->status, 0);
}

TEST_F(FirstOptionModeTest, RowsPushTheirModes) {
    mode->Act(MainMenuThrustSpeed);
    EXPECT_EQ(mode->status, 1);
    ASSERT_NE(NextMode, nullptr);
    EXPECT_STREQ(NextMode->GetName(), "GAMETHRUSTMODE");
    // while the pushed menu is about to open the main menu does nothing
    const float pointer = mode->menu->pointerY;
    mode->Tick();
    EXPECT_FLOAT_EQ(mode->menu->pointerY, pointer);

    delete NextMode;
    NextMode = nullptr;

    // the very first game starts at once; later ones choose their mission
    mode->status = 0;
    mode->Act(MainMenuPlay);
    ASSERT_NE(NextMode, nullptr);
    EXPECT_STREQ(NextMode->GetName(), "PLAY_MODE");
    ASSERT_NE(ThePlayField, nullptr);
    EXPECT_EQ(ThePlayField->mission, 0);
    delete NextMode;
    TheProgress.gamesPlayed = 1;
    mode->Act(MainMenuPlay);
    ASSERT_NE(NextMode, nullptr);
    EXPECT_STREQ(NextMode->GetName(), "MISSION_SELECT_MODE");

    // a gap row's id lets the pointer run on
    delete NextMode;
    NextMode = nullptr;
    mode->status = 0;
    mode->menu->selected = 6;
    mode->Act(MainMenuGap);
    EXPECT_EQ(mode->menu->selected, -1);
    EXPECT_EQ(mode->status, 0);
}

TEST_F(FirstOptionModeTest, F4ReleaseUnlocksEveryMissionAndLeavingSavesTheOptions) {
    Queue(InputKeyUp, 0x73);
    mode->Tick();
    EXPECT_EQ(UnlockedMissionCount(), MissionCount);

    TheOptions.difficulty = 2;
    mode->Exit();
    mode.reset();
    ASSERT_TRUE(std::filesystem::exists("options.dat"));
    SetDefaultOptions();
    LoadOptions("options.dat");
    EXPECT_EQ(TheOptions.difficulty, 2);
    mode = std::make_unique<FirstOptionMode>(0, "FIRSTOPTION_MODE");
    mode->Enter();
}

TEST_F(FirstOptionModeTest, FirstRunStatusIsTheHelpTextAlone) {
    const std::vector<StatusText> status = MainMenuStatus();
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].text.rfind("This game is played entirely\nwith the SPACEBAR.", 0), 0u);
    EXPECT_EQ(status[0].left, 450);
    EXPECT_EQ(status[0].top, 320);
}

TEST_F(FirstOptionModeTest, StatusAfterGamesCountsMissionsAndShowsTheLastOneAndTheSettings) {
    TheProgress.gamesPlayed = 2;
    for (int32_t m = 0; m < 3; ++m)
        TheProgress.missions[m].unlocked = 1;
    TheProgress.missions[0].bestLevelIndex = 9;  // excelled: past level index 8
    TheProgress.missions[2].bestLevelIndex = 10; // one short of excelling mission 2
    TheProgress.lastMission = 2;
    TheProgress.lastScore = 123;
    TheProgress.lastLevelIndex = 4;
    TheProgress.missionTicks = 4500;
    TheProgress.bestScoreEver = 456;
    // an option menu that just popped
    TheOptions.difficulty = 2;
    TheOptions.gameSpeed = 4;
    const std::vector<StatusText> status = MainMenuStatus();
    ASSERT_EQ(status.size(), 7u);
    EXPECT_EQ(status[0].text, "Game Status       20.0% complete\n");
    EXPECT_EQ(status[1].text, "BEST SCORE 45600");
    EXPECT_EQ(status[3].text, "  3/10\n  1/10");
    EXPECT_EQ(status[3].flags, FontRightAligned);
    EXPECT_EQ(status[4].text, std::string("Last Mission:\n") + GetMissionName(2) +
                                  "\nScore: 12300\nLevel reached: 5\nMission duration: 2min");
    EXPECT_EQ(status[6].text, "Hard\nKinda Fast\nNormal\nNormal");
}
