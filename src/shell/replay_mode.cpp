#include "shell/replay_mode.h"

#include "core/main_loop.h"
#include "shell/game_state.h"
#include "shell/play_mode.h"
#include "shell/services.h"

WatchedReplay* TheWatchedReplay = nullptr;

ReplayMode::ReplayMode() : GameMode(0, "REPLAY_MODE") {
    StartServices(SavedState::Untouched);
    if (TheWatchedReplay != nullptr) {
        TheOptions = TheWatchedReplay->replay.options;
        // The tip of a player's first game is part of what was seen.
        TheProgress.gamesPlayed = TheWatchedReplay->replay.firstGame != 0 ? 0 : 1;
    }
}

ReplayMode::~ReplayMode() {
    StopServices(SavedState::Untouched);
}

int32_t ReplayMode::Tick() {
    if (missionStarted || TheWatchedReplay == nullptr) {
        // Back on top: the mission and its results are over (or there was
        // nothing to watch).
        if (!quitAsked) {
            PostQuitMessage(0);
            quitAsked = true;
        }
        return 0;
    }
    missionStarted = true;
    NextMode = new PlayMode(TheWatchedReplay->replay.mission, TheOptions.gameSpeedFactor);
    status = 1;
    return 0;
}

GameMode* CreateReplayMode() {
    return new ReplayMode();
}
