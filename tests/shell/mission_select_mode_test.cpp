#include "shell/mission_select_mode.h"

#include "core/main_loop.h"
#include "game/play_field.h"
#include "mode_test_app.h"
#include "shell/game_state.h"

#include <gtest/gtest.h>

namespace {

class MissionSelectModeTest : public ModeTestApp {
  protected:
    void SetUp() override {
        ModeTestApp::SetUp();
        SetDefaultOptions();
        ClearProgress();
    }
    void TearDown() override {
        delete NextMode;
        NextMode = nullptr;
        ModeTestApp::TearDown();
    }
    // Puts the pointer inside `row`, presses a key and ticks until the mode asks to close.
    int32_t Choose(MissionSelectMode& mode, int32_t row) {
        mode.menu->pointerY = mode.menu->top + mode.menu->rowHeight * static_cast<float>(row) + 5.0f;
        mode.menu->speedFactor = 0.0f;
        Queue(InputKeyDown, 0x20);
        int32_t ticks = 0;
        while (mode.status == 0 && ticks < 100) {
            mode.Tick();
            ++ticks;
        }
        return ticks;
    }
};

} // namespace

TEST_F(MissionSelectModeTest, OnlyTheFirstMissionGivesThreeRowsAndTheGapTakesNothing) {
    MissionSelectMode mode(0, "MISSION_SELECT_MODE");
    mode.Enter();
    ASSERT_EQ(mode.menu->count, 3);
    EXPECT_STREQ(mode.menu->labels[0], GetMissionName(0));
    EXPECT_STREQ(mode.menu->labels[1], "");
    EXPECT_STREQ(mode.menu->labels[2], "Cancel");
    EXPECT_FLOAT_EQ(mode.menu->rowHeight, 40.0f);
    EXPECT_EQ(Choose(mode, 1), 100);
    EXPECT_EQ(mode.status, 0);
    mode.Exit();
}

TEST_F(MissionSelectModeTest, MissionRowStartsItsPlayModeOnlyAfterTheBlink) {
    for (int32_t m = 0; m < 5; ++m)
        TheProgress.missions[m].unlocked = 1;
    TheOptions.gameSpeedFactor = 1.5f;
    MissionSelectMode mode(0, "MISSION_SELECT_MODE");
    mode.Enter();
    EXPECT_EQ(Choose(mode, 4), 47);
    EXPECT_EQ(mode.status, 2);
    ASSERT_NE(NextMode, nullptr);
    EXPECT_STREQ(NextMode->GetName(), "PLAY_MODE");
    ASSERT_NE(ThePlayField, nullptr);
    EXPECT_EQ(ThePlayField->mission, 4);
    EXPECT_FLOAT_EQ(ThePlayField->gameSpeed, 1.5f);
    mode.Exit();
}

TEST_F(MissionSelectModeTest, CancelAndEscapeReturnWithoutAGame) {
    MissionSelectMode cancelled(0, "MISSION_SELECT_MODE");
    cancelled.Enter();
    Choose(cancelled, 2);
    EXPECT_EQ(cancelled.status, 2);
    EXPECT_EQ(NextMode, nullptr);
    cancelled.Exit();

    MissionSelectMode escaped(0, "MISSION_SELECT_MODE");
    escaped.Enter();
    Queue(InputKeyDown, 27);
    Queue(InputKeyDown, 27);
    escaped.Tick();
    EXPECT_EQ(escaped.status, 2);
    EXPECT_EQ(NextMode, nullptr);
    escaped.Exit();
}

TEST_F(MissionSelectModeTest, ShipsAlternateColumnsEachLevelWithItsRow) {
    for (int32_t m = 0; m < 4; ++m)
        TheProgress.missions[m].unlocked = 1;
    MissionSelectMode mode(0, "MISSION_SELECT_MODE");
    mode.Enter();
    FakeTexture art(20, 20, D3DFMT_A8R8G8B8);
    for (int32_t m = 0; m < 4; ++m)
        mode.shipBitmaps[m]->texture = &art;
    device.draws.clear();
    mode.Tick();
    // Nothing else has art or a font here: the four draws are the ships.
    ASSERT_EQ(device.draws.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        for (const ScreenVertex& v : device.draws[i].vertices) {
            x += v.x / 4.0f;
            y += v.y / 4.0f;
        }
        EXPECT_NEAR(x, i % 2 == 0 ? 240.0f : 180.0f, 1.0f) << i;
        EXPECT_NEAR(y, static_cast<float>(i) * 40.0f + mode.menu->top + 20.0f, 1.0f) << i;
    }
    for (int32_t m = 0; m < 4; ++m)
        mode.shipBitmaps[m]->texture = nullptr;
    mode.Exit();
}
