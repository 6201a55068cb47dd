// One mission: owns the play field, ticks and draws it, routes the keyboard
// and mouse to it, switches the music, and hands over to the results screen
// when the field has finished. Escape leaves at once, without results.
#pragma once

#include <cstdint>
#include <memory>

#include "core/game_mode.h"
#include "engine/ui_window.h"

class PlayField;
class VideoDataObject;

// Play ticks of the whole run; the run log closes past 300.
extern int32_t PlayTicks;

class PlayMode : public GameMode {
  public:
    // Owned by TheVideoList between Enter and Exit.
    VideoDataObject* mousePointer = nullptr;
    // Hidden "Continue Mission" / "Quit Mission" window over the screen.
    std::unique_ptr<Window> pauseWindow;
    int32_t tipShown = 0;
    int32_t pauseOpen = 0;
    // The field; also ThePlayField while it exists.
    std::unique_ptr<PlayField> field;

    PlayMode(int32_t mission, float gameSpeed);
    ~PlayMode() override;
    int32_t Enter() override;
    int32_t Exit() override;
    int32_t Tick() override;

    // The mission is abandoned: game music fades, menu music restarts, and the
    // mode pops back to the menu below.
    void QuitMission();

  private:
    void HandleInput();
    void Draw();
    int32_t PauseButton(Pane* button, int32_t event);
};

extern PlayMode* ThePlayMode;
