// Watching a recorded mission (--replay): the first and bottom mode of such a
// run. It starts the services without the saved state, puts the recorded
// options in place and pushes the mission, which then plays the recorded
// events instead of the player's. Once the mission (and its results screen)
// is over, the game ends. Nothing is recorded, loaded or saved.
#pragma once

#include <optional>

#include "core/game_mode.h"
#include "shell/replay_file.h"

struct WatchedReplay {
    Replay replay;
    // A headless check of the outcome: the game ends as the mission does.
    bool verify = false;
    // Set as the played-back mission ends.
    std::optional<ReplayOutcome> reached;
};

// The replay being watched; null in normal play, where every mission is
// recorded instead.
extern WatchedReplay* TheWatchedReplay;

class ReplayMode : public GameMode {
  public:
    ReplayMode();
    ~ReplayMode() override;
    int32_t Tick() override;

  private:
    bool missionStarted = false;
    bool quitAsked = false;
};

// For main_loop's FirstModeFactory.
GameMode* CreateReplayMode();
