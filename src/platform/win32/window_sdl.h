// Internal to the platform layer: the record behind a window handle and the
// hooks that join the window, the message pump, the mouse and the presenter.
#pragma once

#include "platform/win32/win32.h"

#include <cstdint>
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
    bool fullScreen = false;          // the device's mode: what the game asked for
    bool presentedFullScreen = false; // what the desktop shows; F11 toggles it alone
    int scale = 1;                    // whole enlargement of a windowed presentation
    int frameWidth = 0;               // size of the last presented frame, 0 before the first
    int frameHeight = 0;
    int placedWidth = 0; // the size a placement asked for until the window reports it; 0 then
    int placedHeight = 0;
    bool gamepads = false; // holds a start of the game-controller subsystem
    bool paintPending = false;
    uint32_t exposures = 0; // times the window system asked for its contents again
    bool destroying = false;
};

namespace platform {

// True for a window that CreateWindowExA made and DestroyWindow has not ended.
bool IsLiveWindow(HWND window);
// The live window whose SDL window has this id, or null.
HWND WindowFromSdlId(uint32_t id);
// Client-area origin in screen coordinates.
POINT ClientOrigin(HWND window);
// Sizes and places the SDL window of a windowed presentation: the content
// enlarged by the largest whole factor that fits the desktop, at the client
// origin, moved only as far as needed to stay on the desktop.
void PlaceSdlWindow(HWND window);
// The SDL hints a game window needs, set before it is made.
void PrepareSdlWindowing();
// The window a WM_PAINT is owed to (exposed since its last paint), or null.
HWND WindowNeedingPaint();

// Reads every pending SDL event into window messages. With `waitMs` > 0 and
// nothing pending, waits that long for one event first.
void PumpSdlEvents(int waitMs);
// Whether SDL video is running (some window was created with SDL).
bool SdlVideoRunning();

// Remembers the pointer position that the last WM_MOUSEMOVE reported.
void SetLastPointerPosition(POINT client);
// A pixel of the SDL window as a client pixel of what the game draws: scaled
// back from a window's whole enlargement or a full screen's letterbox.
POINT WindowPixelToClient(HWND window, int x, int y);
// The size the presentation scales: the client area of a windowed game, the
// presented frame of a full-screen one.
void ContentSize(HWND window, int* width, int* height);

// F11 or Alt+Enter switch the presentation between a window and the desktop's
// full screen. True when the key event belongs to such a chord and must not
// reach the game (its press, repeats and release alike).
bool HandleToggleKey(HWND window, int32_t sdlKeycode, uint16_t modifiers, bool down, bool repeat);
// Switches the presentation alone; the game's mode, back buffer and client
// area stay as they are.
void ToggleFullScreenPresentation(HWND window);
// Called by the presenter with the size of each frame it shows.
void NotePresentedFrame(HWND window, int width, int height);

} // namespace platform
