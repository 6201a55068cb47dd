// Internal to the platform layer: the system mouse as DirectInput reads it.
// Window events and the input script feed it; the mouse device drains it.
#pragma once

#include <cstdint>

namespace platform {

struct MouseSample {
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t dz = 0;
    bool buttons[8] = {};
};

// Movement adds up until the next TakeMouseSample.
void AddMouseMotion(int32_t dx, int32_t dy, int32_t dz);
void SetMouseButton(int button, bool down);
// Lets go of every button, including presses not yet read (focus loss).
void ReleaseMouseButtons();
// The movement since the last call and the buttons now; clears the movement.
// A button pressed since the last call reads as held even if it is already
// up again, so a click shorter than the game's poll is not lost.
MouseSample TakeMouseSample();
// Forgets movement and buttons (a new run of the harness).
void ResetMouse();

} // namespace platform
