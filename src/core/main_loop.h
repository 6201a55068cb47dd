// The game's entry point and heartbeat: start-up, the fixed-rate loop over the
// mode stack, and shutdown.
#pragma once

#include "platform/win32.h"

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

// Parses the command line into WindowedOption, ScreenWidthOption, ScreenHeightOption.
void ParseCommandLine(const char* commandLine);

// Runs the game; returns 1 when another instance is running, else 0.
int GameMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);
