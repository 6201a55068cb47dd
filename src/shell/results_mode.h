// The results screen after a mission: records the best values, unlocks the
// next mission when the level was high enough, saves game.dat (not for a
// watched replay), plays a fanfare and shows the animated results until a key
// is released.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/game_mode.h"
#include "engine/bitmap.h"
#include "engine/ui_window.h"

class Sound;

constexpr int32_t ResultsTimerCount = 6;
constexpr int32_t ResultsTipCount = 5;
extern const char* const ResultsTips[ResultsTipCount];

// The unlock line for the game that just ended (lastMission, lastLevelIndex),
// marking the next mission unlocked when it was earned; empty when there is
// nothing left to unlock. `unlocked` tells whether this result unlocked one.
std::string DecideUnlock(bool* unlocked);

class ResultsMode : public GameMode {
  public:
    std::unique_ptr<Window> window;
    std::unique_ptr<Sound> fanfare;
    std::unique_ptr<Bitmap> backgroundBitmap;
    int32_t scroll = 0;
    // The first runs from entry, the others from -1 (not running).
    int32_t animTimers[ResultsTimerCount] = {0, -1, -1, -1, -1, -1};
    TextBox* titleBox = nullptr;
    TextBox* nameBox = nullptr;

    ResultsMode();
    // Restarts the menu music when music is on.
    ~ResultsMode() override;
    int32_t Enter() override;
    int32_t Exit() override;
    int32_t Tick() override;

    // Title drop and name slide for the current timers.
    void Animate();
};

extern ResultsMode* TheResultsMode;
