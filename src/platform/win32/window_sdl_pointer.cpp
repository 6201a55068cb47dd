// The pointer: its position in client and screen pixels, the system cursor
// and mouse capture.
#include "platform/win32/window_sdl.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

namespace {

POINT lastPointer{0, 0};
int cursorCount = 0; // the cursor shows while this is >= 0
HCURSOR currentCursor = nullptr;
HWND captureWindow = nullptr;

} // namespace

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr)
        return FALSE;
    POINT origin = platform::ClientOrigin(platform::MainWindow());
    *point = POINT{origin.x + lastPointer.x, origin.y + lastPointer.y};
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (point == nullptr || !platform::IsLiveWindow(window))
        return FALSE;
    POINT origin = platform::ClientOrigin(window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

// The game only ever sets no cursor; the shape is kept for the caller and the
// visibility follows ShowCursor.
HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = currentCursor;
    currentCursor = cursor;
    return previous;
}

int ShowCursor(BOOL show) {
    cursorCount += show ? 1 : -1;
    if (platform::SdlVideoRunning())
        SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount;
}

HWND SetCapture(HWND window) {
    HWND previous = platform::IsLiveWindow(captureWindow) ? captureWindow : nullptr;
    if (!platform::IsLiveWindow(window))
        return previous;
    captureWindow = window;
    if (window->sdl != nullptr)
        SDL_CaptureMouse(SDL_TRUE);
    return previous;
}

BOOL ReleaseCapture() {
    if (platform::IsLiveWindow(captureWindow) && captureWindow->sdl != nullptr)
        SDL_CaptureMouse(SDL_FALSE);
    captureWindow = nullptr;
    return TRUE;
}

namespace platform {

POINT LastPointerPosition() {
    return lastPointer;
}

void SetLastPointerPosition(POINT client) {
    lastPointer = client;
}

} // namespace platform
