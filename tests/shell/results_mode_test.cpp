#include "shell/results_mode.h"

#include "core/main_loop.h"
#include "engine/sound.h"
#include "engine/sound_test_files.h"
#include "game/mission_table.h"
#include "mode_test_app.h"
#include "platform/dsound/dsound.h"
#include "shell/game_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class ResultsModeTest : public ModeTestApp {
  protected:
    void SetUp() override {
        ModeTestApp::SetUp();
        SetDefaultOptions();
        ClearProgress();
    }
    void Finish(int32_t mission, int32_t levelIndex, int32_t score) {
        TheProgress.lastMission = mission;
        TheProgress.lastLevelIndex = levelIndex;
        TheProgress.lastScore = score;
        for (int32_t m = 0; m <= mission; ++m)
            TheProgress.missions[m].unlocked = 1;
        results = std::make_unique<ResultsMode>();
        results->Enter();
    }
    void TearDown() override {
        if (results)
            results->Exit();
        results.reset();
        ModeTestApp::TearDown();
    }
    std::string Text(int32_t id) const {
        return static_cast<TextBox*>(results->window->children.FindByTag(id))->text;
    }
    std::unique_ptr<ResultsMode> results;
};

} // namespace

TEST_F(ResultsModeTest, LevelSevenUnlocksTheNextMissionAndSavesIt) {
    Finish(0, 6, 120);
    EXPECT_EQ(Text(4), std::string(" Mission '") + GetMissionName(1) + "' is now unlocked!\n");
    ClearProgress();
    LoadProgress("game.dat");
    EXPECT_EQ(TheProgress.missions[1].unlocked, 1);
    EXPECT_EQ(TheProgress.missions[0].bestScore, 120);
    EXPECT_EQ(TheProgress.bestScoreEver, 120);
}

TEST_F(ResultsModeTest, OneLevelShortNamesTheLevelStillNeeded) {
    Finish(0, 5, 10);
    EXPECT_EQ(Text(4),
              std::string(" Unlock the '") + GetMissionName(1) + "' mission by making it to level 7!\n");
    EXPECT_EQ(TheProgress.missions[1].unlocked, 0);
}

TEST_F(ResultsModeTest, LastMissionOrAnUnlockedNextOneShowsNoUnlockLine) {
    Finish(9, 40, 10);
    EXPECT_EQ(Text(4), " ");
    results->Exit();
    Finish(2, 1, 10);
    EXPECT_EQ(Text(4), " ");
}

TEST_F(ResultsModeTest, BestColumnKeepsToTheMissionJustPlayed) {
    TheProgress.missions[3].bestScore = 900;
    TheProgress.missions[3].bestLevelIndex = 8;
    TheProgress.missions[0].bestScore = 50;
    TheProgress.missions[0].bestLevelIndex = 2;
    Finish(0, 1, 30);
    EXPECT_EQ(Text(2), "Last\n3000\n2\n");
    EXPECT_EQ(Text(3), "Best\n5000\n3\n");
    EXPECT_EQ(Text(9), GetMissionName(0));
}

TEST_F(ResultsModeTest, TipAdvancesOnEveryEntryAndWraps) {
    TheProgress.tipCounter = 3;
    Finish(9, 0, 0);
    EXPECT_EQ(Text(6), ResultsTips[4]);
    results->Exit();
    Finish(9, 0, 0);
    EXPECT_EQ(Text(6), ResultsTips[0]);
    EXPECT_EQ(TheProgress.tipCounter, 5);
}

TEST_F(ResultsModeTest, TitleDropsInTenTicksAndClicksDoNotLeave) {
    Finish(9, 0, 0);
    TextBox* title = static_cast<TextBox*>(results->window->children.FindByTag(8));
    results->Tick();
    EXPECT_EQ(title->rect.top, 30 - 81);
    for (int32_t tick = 0; tick < 9; ++tick)
        results->Tick();
    EXPECT_EQ(title->rect.top, 30);
    EXPECT_EQ(title->rect.bottom, 90);

    Queue(InputLeftDown, 0);
    Queue(InputLeftUp, 0);
    results->Tick();
    EXPECT_EQ(results->status, 0);
    Queue(InputKeyUp, 0x20);
    results->Tick();
    EXPECT_EQ(results->status, 2);
    EXPECT_EQ(NextMode, nullptr);
}

TEST_F(ResultsModeTest, UnlockingResultPlaysTheUnlockFanfareOthersTheNormalOne) {
    // Two fanfares told apart by their sample rates.
    using namespace sound_test_files;
    std::filesystem::create_directories("dat");
    const std::string samples = Samples16({0, 100, -100, 0});
    std::ofstream("dat/fanfareUnlock.wav", std::ios::binary) << Wave(Format(1, 11025, 16), samples);
    std::ofstream("dat/fanfareNormal.wav", std::ios::binary) << Wave(Format(1, 22050, 16), samples);
    platform::ForceAudioBackend(platform::AudioBackend::ManualNull);
    StartSound();
    ASSERT_EQ(soundReady, 1);
    Finish(0, 6, 120);
    ASSERT_NE(results->fanfare, nullptr);
    EXPECT_EQ(results->fanfare->baseFrequency, 11025u);
    results->Exit();
    results.reset();
    ClearProgress();
    Finish(0, 5, 10);
    EXPECT_EQ(results->fanfare->baseFrequency, 22050u);
    results->Exit();
    results.reset();
    StopSoundSystem();
    platform::ForceAudioBackend(platform::AudioBackend::Automatic);
}
