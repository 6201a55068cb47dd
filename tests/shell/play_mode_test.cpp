#include "shell/play_mode.h"

#include "core/main_loop.h"
#include "file_bytes.h"
#include "game/play_field.h"
#include "mode_test_app.h"
#include "shell/game_state.h"
#include "shell/replay_mode.h"
#include "shell/replay_store.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class PlayModeTest : public ModeTestApp {
  protected:
    void SetUp() override {
        ModeTestApp::SetUp();
        SetDefaultOptions();
        ClearProgress();
    }

    // Mission 3 for three ticks, SPACE tapped in the first, ended in the
    // third with `score`.
    void PlayToTheEnd(int32_t score) {
        PlayMode play(2, 1.0f);
        play.Enter();
        Queue(InputKeyDown, 32);
        Queue(InputKeyUp, 32);
        play.Tick();
        play.Tick();
        TheProgress.lastScore = score;
        play.field->finished = 1;
        play.Tick();
        EXPECT_EQ(play.status, 2);
        delete NextMode; // the results screen
        NextMode = nullptr;
        play.Exit();
    }
};

} // namespace

TEST_F(PlayModeTest, EscapeLeavesAtOnceWithoutResultsOrSaving) {
    PlayMode play(0, 1.0f);
    play.Enter();
    EXPECT_EQ(ThePlayMode, &play);
    EXPECT_EQ(ThePlayField, play.field.get());
    Queue(InputKeyDown, 27);
    Queue(InputKeyUp, 27);
    play.Tick();
    EXPECT_EQ(play.status, 2);
    EXPECT_EQ(NextMode, nullptr);
    EXPECT_EQ(play.pauseOpen, 0);
    EXPECT_FALSE(std::filesystem::exists("game.dat"));
    play.Exit();
}

TEST_F(PlayModeTest, MissionIsStillDrawnWhenThePointerArtIsMissing) {
    // The scratch folder holds no art, so the pointer's texture fails to load.
    PlayMode play(0, 1.0f);
    play.Enter();
    ASSERT_EQ(play.mousePointer->created, 0);
    play.Tick();
    play.pauseOpen = 1; // where the pointer would be drawn over the pause buttons
    play.Tick();
    EXPECT_EQ(device.presents, 2);
    play.Exit();
}

TEST_F(PlayModeTest, PlayHintIsGivenOnlyInTheVeryFirstGame) {
    {
        PlayMode first(0, 1.0f);
        first.Enter();
        first.Tick();
        EXPECT_EQ(first.tipShown, 1);
        first.Exit();
    }
    EXPECT_EQ(ThePlayField, nullptr);
    TheProgress.gamesPlayed = 3;
    PlayMode later(0, 1.0f);
    later.Enter();
    later.Tick();
    EXPECT_EQ(later.tipShown, 0);
    later.Exit();
}

TEST_F(PlayModeTest, TheRunCountsAsFinishedFromTheThreeHundredAndFirstTickOfPlay) {
    PlayTicks = 0;
    PlayMode play(0, 1.0f);
    play.Enter();
    for (int32_t tick = 0; tick < 300; ++tick)
        play.Tick();
    EXPECT_FALSE(std::filesystem::exists("als.dat"));
    play.Tick();
    EXPECT_EQ(test_files::Read("als.dat"), "1");
    play.Exit();
}

TEST_F(PlayModeTest, PauseButtonsContinueOrQuit) {
    PlayMode play(0, 1.0f);
    play.Enter();
    play.pauseOpen = 1;
    const int32_t cx = 400;
    const int32_t cy = 300;
    play.pauseWindow->HandleEvent(PaneLeftDown, cx, cy - 20);
    play.pauseWindow->HandleEvent(PaneLeftUp, cx, cy - 20);
    EXPECT_EQ(play.pauseOpen, 0);
    EXPECT_EQ(play.status, 0);
    play.pauseWindow->HandleEvent(PaneLeftDown, cx, cy + 30);
    play.pauseWindow->HandleEvent(PaneLeftUp, cx, cy + 30);
    EXPECT_EQ(play.status, 2);
    play.Exit();
}

TEST_F(PlayModeTest, EscapeDuringTheGameOverSequenceLeavesGameDatAsItWas) {
    TheProgress.gamesPlayed = 3;
    TheProgress.missions[0].bestScore = 77;
    ASSERT_TRUE(SaveProgress("game.dat"));
    const std::string before = test_files::Read("game.dat");
    PlayMode play(0, 1.0f);
    play.Enter();
    play.Tick();
    play.field->gameOverTimer = 100;
    play.Tick();
    Queue(InputKeyDown, 27);
    Queue(InputKeyUp, 27);
    play.Tick();
    EXPECT_EQ(play.status, 2);
    EXPECT_EQ(NextMode, nullptr);
    // the release during game over opens no pause window either
    EXPECT_EQ(play.pauseOpen, 0);
    play.Exit();
    EXPECT_EQ(test_files::Read("game.dat"), before);
}

TEST_F(PlayModeTest, FinishedMissionsAreKeptAsReplaysAndTheBestBeforeStaysUntilGameDatIsSaved) {
    TheProgress.gamesPlayed = 3;
    TheProgress.missions[2].bestScore = 5;
    PlayToTheEnd(9);
    Replay first;
    std::string error;
    ASSERT_TRUE(ReadReplayFile("replays/last.bfr", &first, &error)) << error;
    EXPECT_EQ(first.mission, 2);
    EXPECT_EQ(first.firstGame, 0);
    EXPECT_EQ(first.outcome.score, 9);
    EXPECT_EQ(first.outcome.ticks, 3u);
    ASSERT_EQ(first.events.size(), 3u);
    EXPECT_EQ(first.events[0], (ReplayEvent{0, ReplayEventKind::KeyDown, 0, 32, -1, -1}));
    EXPECT_EQ(first.events[1].kind, ReplayEventKind::KeyUp);
    EXPECT_EQ(first.events[2].kind, ReplayEventKind::Pointer); // the pointer as the field got it
    EXPECT_EQ(test_files::Read("replays/mission-3-best.bfr"), test_files::Read("replays/last.bfr"));
    EXPECT_FALSE(std::filesystem::exists("replays/mission-3-best.prev.bfr"));

    // A better one: the best it beats waits beside it for game.dat.
    TheProgress.missions[2].bestScore = 9;
    const std::string firstBest = test_files::Read("replays/mission-3-best.bfr");
    PlayToTheEnd(12);
    EXPECT_EQ(test_files::Read("replays/mission-3-best.prev.bfr"), firstBest);
    EXPECT_NE(test_files::Read("replays/mission-3-best.bfr"), firstBest);
    // Not a best: only last.bfr changes, and the waiting one stays.
    TheProgress.missions[2].bestScore = 12;
    PlayToTheEnd(1);
    EXPECT_EQ(test_files::Read("replays/mission-3-best.prev.bfr"), firstBest);
    ForgetPreviousBest();
    EXPECT_FALSE(std::filesystem::exists("replays/mission-3-best.prev.bfr"));

    // Watched, it ends as it was recorded, and nothing is recorded.
    WatchedReplay watched{first, false, {}};
    TheWatchedReplay = &watched;
    std::filesystem::remove_all("replays");
    PlayToTheEnd(9);
    TheWatchedReplay = nullptr;
    ASSERT_TRUE(watched.reached.has_value());
    EXPECT_EQ(*watched.reached, first.outcome);
    EXPECT_FALSE(std::filesystem::exists("replays"));
}
