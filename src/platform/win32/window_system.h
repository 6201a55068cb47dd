// Internal to the platform layer: what the device, the mouse and the mixer
// need to know about the one game window. Game code never includes this.
#pragma once

#include "platform/win32/win32.h"

struct SDL_Window;

namespace platform {

// The SDL window behind a window handle; null when headless or for a bad handle.
SDL_Window* SdlWindowOf(HWND window);
// Client-area size in pixels.
void ClientSize(HWND window, int* width, int* height);
// False while the window is minimised or (in full screen) has lost the focus.
bool WindowIsForeground(HWND window);
// Switches the window between a desktop full-screen presentation and a window.
void SetWindowFullScreen(HWND window, bool fullScreen);
// The window that CreateWindowExA made (the game has one), or null.
HWND MainWindow();
// The pointer in client pixels, as the last WM_MOUSEMOVE reported it.
POINT LastPointerPosition();

} // namespace platform
