// One mission: owns the play field, ticks and draws it, routes the keyboard
// and mouse to it, switches the music, and hands over to the results screen
// when the field has finished. Escape leaves at once, without results.
// Every mission played is recorded, and kept in the save folder when it
// reaches its results; a replay being watched (shell/replay_mode.h) is played
// from its recorded events instead, and only Escape of the watcher's input
// counts.
#pragma once

#include <cstdint>
#include <memory>

#include "core/game_mode.h"
#include "engine/ui_window.h"
#include "shell/replay_file.h"

class InputEvent;
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
    // Ticks of this mode so far, pauses included: the clock of the recording.
    uint32_t ticks = 0;
    // What is being recorded (normal play) or played back (a watched replay).
    Replay recording;

    PlayMode(int32_t mission, float gameSpeed);
    ~PlayMode() override;
    int32_t Enter() override;
    int32_t Exit() override;
    int32_t Tick() override;

    // The mission is abandoned: game music fades, menu music restarts, and the
    // mode pops back to the menu below.
    void QuitMission();

  private:
    // Recorded events of the ticks played back so far.
    size_t nextRecorded = 0;
    int32_t recordedPointerX = -1;
    int32_t recordedPointerY = -1;
    bool watching = false;

    void HandleInput();
    void Route(const InputEvent& event);
    void Record(const InputEvent& event);
    // The pointer position the field and the pause window follow this tick.
    void FollowPointer(int32_t x, int32_t y);
    void PlayRecordedEvents();
    void FinishMission();
    void Draw();
    int32_t PauseButton(Pane* button, int32_t event);
};

extern PlayMode* ThePlayMode;
