// Window classes and windows: one SDL window per CreateWindowExA, or a
// headless record with the same geometry when there is no display.
#include "platform/win32/window_sdl.h"

#include "platform/d3d8/d3d8_present.h"
#include "platform/dinput8/gamepad.h"
#include "platform/os/display.h"
#include "platform/os/run_mode.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Frame sizes of the classic fixed-border captioned window; the client area
// of the SDL window is what the game's window would have had.
constexpr int kBorder = 3;
constexpr int kCaption = 19;
constexpr int kMenuBar = 20;

struct WindowClass {
    std::string name;
    WNDPROC procedure;
};

std::vector<WindowClass> classes;
std::vector<std::unique_ptr<HWND__>> windows;
HWND mainWindow = nullptr;
HWND focusWindow = nullptr;
int sdlWindows = 0;

RECT FrameOf(DWORD style) {
    if (platform::kWindowsHaveFrames && (style & WS_CAPTION) == WS_CAPTION)
        return RECT{kBorder, kBorder + kCaption, kBorder, kBorder};
    return RECT{0, 0, 0, 0};
}

const WindowClass* FindClass(LPCSTR name) {
    if (name == nullptr)
        return nullptr;
    for (const WindowClass& c : classes)
        if (SDL_strcasecmp(c.name.c_str(), name) == 0)
            return &c;
    return nullptr;
}

bool CreateSdlWindow(HWND window) {
    if (!platform::StartSdlVideo()) {
        std::fprintf(stderr, "SDL: cannot start video: %s\n", SDL_GetError());
        return false;
    }
    platform::PrepareSdlWindowing();
    platform::EndAtOnceOnLostDisplay();
    POINT origin = platform::ClientOrigin(window);
    Uint32 flags = window->visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    const int width = std::max(window->clientWidth, 1), height = std::max(window->clientHeight, 1);
    const Uint32 presenterFlags = platform::PresenterWindowFlags();
    window->sdl = SDL_CreateWindow(window->title.c_str(), origin.x, origin.y, width, height, flags | presenterFlags);
    if (window->sdl == nullptr && presenterFlags != 0) // no OpenGL here: SDL's software renderer will do
        window->sdl = SDL_CreateWindow(window->title.c_str(), origin.x, origin.y, width, height, flags);
    if (window->sdl == nullptr) {
        std::fprintf(stderr, "SDL: cannot create the window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    ++sdlWindows;
    window->gamepads = platform::StartGamepads();
    platform::PlaceSdlWindow(window); // now that its display and frame are known
    SDL_StartTextInput();
    return true;
}

} // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        windowClass->lpfnWndProc == nullptr || FindClass(windowClass->lpszClassName) != nullptr)
        return 0;
    classes.push_back(WindowClass{windowClass->lpszClassName, windowClass->lpfnWndProc});
    return static_cast<ATOM>(0xC000 + classes.size());
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND, HMENU, HINSTANCE, void*) {
    const WindowClass* windowClass = FindClass(className);
    if (windowClass == nullptr)
        return nullptr;
    auto record = std::make_unique<HWND__>();
    record->procedure = windowClass->procedure;
    record->style = style;
    record->windowRect = RECT{x, y, x + width, y + height};
    RECT frame = FrameOf(style);
    record->clientWidth = std::max(0, width - frame.left - frame.right);
    record->clientHeight = std::max(0, height - frame.top - frame.bottom);
    record->title = title != nullptr ? title : "";
    record->visible = (style & WS_VISIBLE) != 0;
    record->paintPending = record->visible;
    if (!platform::Headless() && !CreateSdlWindow(record.get()))
        return nullptr;

    HWND window = record.get();
    windows.push_back(std::move(record));
    if (mainWindow == nullptr)
        mainWindow = window;
    SendMessageA(window, WM_CREATE, 0, 0);
    if (window == mainWindow)
        platform::PostStartEvents();
    return window;
}

BOOL DestroyWindow(HWND window) {
    if (!platform::IsLiveWindow(window) || window->destroying)
        return FALSE;
    window->destroying = true;
    SendMessageA(window, WM_DESTROY, 0, 0);
    if (window->sdl != nullptr) {
        SDL_DestroyWindow(window->sdl);
        --sdlWindows;
        if (window->gamepads)
            platform::StopGamepads();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    platform::DropMessagesFor(window);
    if (window == focusWindow)
        focusWindow = nullptr;
    if (window == mainWindow) {
        mainWindow = nullptr;
        platform::ReleaseAllKeys();
    }
    windows.erase(
        std::find_if(windows.begin(), windows.end(), [window](const auto& w) { return w.get() == window; }));
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
    if (rect == nullptr)
        return FALSE;
    RECT frame = FrameOf(style);
    rect->left -= frame.left;
    rect->top -= frame.top + (menu && platform::kWindowsHaveFrames ? kMenuBar : 0);
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (rect == nullptr)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    if (!platform::IsLiveWindow(window) || index != GWL_STYLE)
        return 0;
    return static_cast<LONG>(window->style);
}

// The stored style only; as on Windows the frame is not redrawn until the
// window is next placed, and the client size is kept.
LONG SetWindowLongA(HWND window, int index, LONG value) {
    if (!platform::IsLiveWindow(window) || index != GWL_STYLE)
        return 0;
    LONG previous = static_cast<LONG>(window->style);
    window->style = static_cast<DWORD>(value);
    return previous;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    if (!platform::IsLiveWindow(window) || rect == nullptr)
        return FALSE;
    *rect = window->windowRect;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!platform::IsLiveWindow(window) || rect == nullptr)
        return FALSE;
    *rect = RECT{0, 0, window->clientWidth, window->clientHeight};
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags) {
    if (!platform::IsLiveWindow(window))
        return FALSE;
    RECT& r = window->windowRect;
    if ((flags & SWP_NOMOVE) == 0) {
        r = RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        r.right = r.left + width;
        r.bottom = r.top + height;
        RECT frame = FrameOf(window->style);
        window->clientWidth = std::max(0, width - frame.left - frame.right);
        window->clientHeight = std::max(0, height - frame.top - frame.bottom);
    }
    platform::PlaceSdlWindow(window);
    if ((flags & SWP_SHOWWINDOW) != 0)
        ShowWindow(window, SW_SHOW);
    return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (!platform::IsLiveWindow(window))
        return FALSE;
    window->title = text != nullptr ? text : "";
    if (window->sdl != nullptr)
        SDL_SetWindowTitle(window->sdl, window->title.c_str());
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    if (!platform::IsLiveWindow(window))
        return FALSE;
    BOOL wasVisible = window->visible ? TRUE : FALSE;
    window->visible = command != SW_HIDE;
    if (window->visible && !wasVisible)
        window->paintPending = true;
    if (window->sdl != nullptr) {
        if (window->visible)
            SDL_ShowWindow(window->sdl);
        else
            SDL_HideWindow(window->sdl);
    }
    return wasVisible;
}

// Paints at once when an exposure is outstanding, as Windows does.
BOOL UpdateWindow(HWND window) {
    if (!platform::IsLiveWindow(window))
        return FALSE;
    if (window->paintPending && window->visible) {
        window->paintPending = false;
        SendMessageA(window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

HWND SetFocus(HWND window) {
    HWND previous = platform::IsLiveWindow(focusWindow) ? focusWindow : nullptr;
    if (!platform::IsLiveWindow(window))
        return previous;
    focusWindow = window;
    if (window->sdl != nullptr)
        SDL_RaiseWindow(window->sdl);
    return previous;
}

HMENU GetMenu(HWND) {
    return nullptr;
}
BOOL DestroyMenu(HMENU menu) {
    return menu != nullptr ? TRUE : FALSE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        return 0;
    }
}

HICON LoadIconA(HINSTANCE, LPCSTR) {
    return nullptr;
}
HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
    return nullptr;
}
HMENU LoadMenuA(HINSTANCE, LPCSTR) {
    return nullptr;
}
HGDIOBJ GetStockObject(int) {
    return nullptr;
}

namespace platform {

bool IsLiveWindow(HWND window) {
    if (window == nullptr)
        return false;
    for (const auto& w : windows)
        if (w.get() == window)
            return true;
    return false;
}

HWND WindowFromSdlId(uint32_t id) {
    for (const auto& w : windows)
        if (w->sdl != nullptr && SDL_GetWindowID(w->sdl) == id)
            return w.get();
    return nullptr;
}

POINT ClientOrigin(HWND window) {
    if (!IsLiveWindow(window))
        return POINT{0, 0};
    if (window->fullScreen)
        return POINT{0, 0};
    RECT frame = FrameOf(window->style);
    return POINT{window->windowRect.left + frame.left, window->windowRect.top + frame.top};
}

HWND WindowNeedingPaint() {
    for (const auto& w : windows)
        if (w->paintPending && w->visible && !w->minimised)
            return w.get();
    return nullptr;
}

bool SdlVideoRunning() {
    return sdlWindows > 0;
}

SDL_Window* SdlWindowOf(HWND window) {
    return IsLiveWindow(window) ? window->sdl : nullptr;
}

void ClientSize(HWND window, int* width, int* height) {
    int w = 0;
    int h = 0;
    if (IsLiveWindow(window)) {
        w = window->clientWidth;
        h = window->clientHeight;
    }
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = h;
}

bool WindowIsForeground(HWND window) {
    if (!IsLiveWindow(window))
        return false;
    if (window->minimised)
        return false;
    return !window->fullScreen || window->focused;
}

HWND MainWindow() {
    return mainWindow;
}

} // namespace platform
