// The game's entry point and heartbeat: start-up, the fixed-rate loop over the
// mode stack, and shutdown.
#pragma once

#include "platform/win32/win32.h"

#include <cstdint>

class GameApplication;
class GameMode;
class ObjectStack;

extern ObjectStack ModeStack;
extern GameMode* CurrentMode;
extern GameMode* NextMode;
extern uint32_t LastTickTime;
extern int32_t WindowedOption;
extern int32_t ScreenWidthOption;
extern int32_t ScreenHeightOption;
extern GameApplication* TheApplication;

// Builds the mode that start-up pushes first (the intro).
extern GameMode* (*FirstModeFactory)();

// Parses the command line into WindowedOption, ScreenWidthOption, ScreenHeightOption.
void ParseCommandLine(const char* commandLine);

// Runs the game; returns 1 when another instance is running, 2 when start-up
// failed (after its message), else 0.
int GameMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);

// One pass of the main loop: a waiting message, else a tick when one is due
// and the device is usable. False once WM_QUIT has been taken.
bool MainLoopPass();
// The eight Verdana font slots every mode draws its text with.
void CreateStartupFonts(GameApplication* app);
// True when strictly more than 25 ms have passed since `lastTick`, also across
// the wrap of the 32-bit clock; the very first reading (lastTick 0, clock
// below 25) is due at once.
bool TickIsDue(uint32_t now, uint32_t lastTick);
// Whether the device can draw this tick; resets a device that needs it (fonts
// let go of their device objects around the reset). A failed reset closes
// the window.
bool DeviceIsUsable();
// Ticks CurrentMode, tells the harness, then carries out the change of mode it
// asked for. NextMode is cleared once it has been consumed, so a stale pointer
// is never pushed twice.
void TickCurrentMode();
// Exits the top mode and deletes every mode, top first.
void ShutdownModes();
