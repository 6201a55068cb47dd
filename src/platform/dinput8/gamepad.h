// Internal to the platform layer: game controllers and joysticks as the one
// button. Every button of either kind is SPACE (a key press with its typed
// space), a controller's Back button is Escape. Devices plugged in while the
// game runs are opened as they arrive.
#pragma once

#include <cstdint>

union SDL_Event;

namespace platform {

// Starts SDL's joystick and game-controller subsystems (counted: every start
// needs its stop) and opens the devices present. False when SDL cannot.
bool StartGamepads();
void StopGamepads();
bool GamepadsRunning();

// Turns a device arrival, removal or button event into window messages for
// the main window. False for any other event.
bool HandleGamepadEvent(const SDL_Event& event);

// Forgets the buttons held now without posting anything; the next release of
// such a button is ignored. For focus loss, where the held keys are released
// together.
void ForgetHeldPadButtons();

// Input scripts: presses or releases button `button` (SDL's controller button
// numbering: 0 A, 1 B, 2 X, 3 Y, 4 Back, 5 Guide, 6 Start, ... 14) of a
// virtual controller attached on first use. The press goes through the same
// events as a real controller's and is in the message queue on return, after
// whatever was posted before the call.
bool SetVirtualPadButton(int button, bool down);
// Detaches the virtual controller, if any.
void DetachVirtualPad();

// The number of buttons the virtual controller has.
constexpr int kVirtualPadButtons = 15;

} // namespace platform
