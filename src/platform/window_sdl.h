// Internal to the platform layer: the record behind a window handle and the
// hooks that join the window, the message queue, the mouse and the harness.
#pragma once

#include "platform/win32.h"

#include <string>

struct SDL_Window;

// A window handle points at one of these. A headless window has no SDL window
// but keeps the same geometry, style and procedure.
struct HWND__ {
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    RECT windowRect{}; // screen coordinates, frame included
    int clientWidth = 0;
    int clientHeight = 0;
    std::string title;
    SDL_Window* sdl = nullptr;
    bool visible = false;
    bool minimised = false;
    bool focused = true;
    bool fullScreen = false;
    bool paintPending = false;
    bool destroying = false;
};

namespace platform {

// True for a window that CreateWindowExA made and DestroyWindow has not ended.
bool IsLiveWindow(HWND window);
// The live window whose SDL window has this id, or null.
HWND WindowFromSdlId(uint32_t id);
// Client-area origin in screen coordinates.
POINT ClientOrigin(HWND window);
// The window a WM_PAINT is owed to (exposed since its last paint), or null.
HWND WindowNeedingPaint();

// Reads every pending SDL event into window messages. With `waitMs` > 0 and
// nothing pending, waits that long for one event first.
void PumpSdlEvents(int waitMs);
// Whether SDL video is running (some window was created with SDL).
bool SdlVideoRunning();

// lParam of a key message, keeping the set of keys held: a down for a key
// already down is an auto-repeat and gets bit 30.
LPARAM KeyMessageLParam(int virtualKey, bool down);
// Drops the queued messages of a window that is going away.
void DropMessagesFor(HWND window);
// Forgets which keys are held (a new run of the harness, a destroyed window).
void ReleaseAllKeys();

// Remembers the pointer position that the last WM_MOUSEMOVE reported.
void SetLastPointerPosition(POINT client);

// Whether the harness still owes the events stamped for tick 0; posts them.
void PostStartEvents();

} // namespace platform
