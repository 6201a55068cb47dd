// The display the game's window goes on, as the operating system offers it:
// whether there is one to show the game on, starting SDL's video there, and
// ending cleanly when it goes away.
#pragma once

#include <string>

namespace platform {

// Whether the system draws a frame, a caption and a menu bar around a
// window. The desktops do; the page's canvas is the window's client area
// alone, so there the game's frame is shown exactly as drawn.
#if defined(__EMSCRIPTEN__)
constexpr bool kWindowsHaveFrames = false;
#else
constexpr bool kWindowsHaveFrames = true;
#endif

// Empty when the game may try to show its window: headless, SDL_VIDEODRIVER
// chosen by the user, or DISPLAY or WAYLAND_DISPLAY set (always on Windows).
// Otherwise the one line to print before stopping, naming what was looked
// for and how to run without a display.
std::string MissingDisplayProblem(bool headless);

// Starts SDL's video subsystem (false when it cannot). SDL falls back to its
// offscreen or dummy driver when no display can be opened, and a game shown
// there is seen by no one: unless SDL_VIDEODRIVER asked for that driver, the
// process then ends at once with code 2 and one line on stderr, before any
// save is written.
bool StartSdlVideo();

// The line StartSdlVideo prints then: what the system looked for and how to
// run without a display.
std::string NoDisplayOpenedProblem();

// On X, ends the process at once, with a message, when the connection to the
// X server is lost, instead of Xlib's exit() running the game's destructors
// from wherever it was.
void EndAtOnceOnLostDisplay();

} // namespace platform
