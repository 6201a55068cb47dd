// How the game's window sits on the desktop: a whole-factor enlargement in a
// window, or the desktop's full screen with the frame letterboxed, and the
// F11 / Alt+Enter switch between them. The game's client area and back
// buffer stay as it made them; only the presentation changes.
#include "platform/win32/window_scale.h"
#include "platform/win32/window_sdl.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

#include <algorithm>
#include <set>

namespace {

// Keys whose press started a toggle chord; their repeats and release are the
// chord's too, whatever the modifiers are by then.
std::set<int32_t> toggleKeysDown;

bool IsToggleChord(int32_t key, uint16_t modifiers) {
    if (key == SDLK_F11)
        return true;
    return (key == SDLK_RETURN || key == SDLK_KP_ENTER) && (modifiers & KMOD_ALT) != 0;
}

SDL_Rect UsableBounds(SDL_Window* sdl) {
    int display = std::max(SDL_GetWindowDisplayIndex(sdl), 0);
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0 || usable.w <= 0 || usable.h <= 0)
        SDL_GetDisplayBounds(display, &usable);
    return usable;
}

// Desktop full screen is a request to the window manager; with none running
// (or one that ignores it) the window would keep its size while SDL presents
// and maps the pointer for the whole screen. Covering the screen first makes
// the window what SDL takes it to be either way.
void CoverScreen(SDL_Window* sdl) {
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(sdl), 0), &bounds) != 0 || bounds.w <= 0 ||
        bounds.h <= 0)
        return;
    SDL_SetWindowPosition(sdl, bounds.x, bounds.y);
    SDL_SetWindowSize(sdl, bounds.w, bounds.h);
}

void ApplyPresentation(HWND window) {
    SDL_Window* sdl = window->sdl;
    if (sdl == nullptr)
        return;
    if (window->presentedFullScreen)
        CoverScreen(sdl);
    SDL_SetWindowFullscreen(sdl, window->presentedFullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    // A full-screen game reads relative motion, which keeps flowing at the
    // screen edges; a window never holds the pointer.
    bool relative = window->fullScreen && window->presentedFullScreen;
    SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
    if (!window->presentedFullScreen) {
        platform::PlaceSdlWindow(window);
        // Sizes the screen reports before the window is back are stale.
        int contentWidth = 0, contentHeight = 0;
        platform::ContentSize(window, &contentWidth, &contentHeight);
        window->placedWidth = contentWidth * window->scale;
        window->placedHeight = contentHeight * window->scale;
    } else if (window->fullScreen)
        SDL_GetWindowSize(sdl, &window->clientWidth, &window->clientHeight);
}

} // namespace

namespace platform {

void PrepareSdlWindowing() {
    // The click that brings the window forward is a press of the button too.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
}

void ContentSize(HWND window, int* width, int* height) {
    *width = window->clientWidth;
    *height = window->clientHeight;
    if (window->fullScreen && window->frameWidth > 0 && window->frameHeight > 0) {
        *width = window->frameWidth;
        *height = window->frameHeight;
    }
}

void PlaceSdlWindow(HWND window) {
    if (!IsLiveWindow(window) || window->sdl == nullptr || window->presentedFullScreen)
        return;
    int contentWidth = 0, contentHeight = 0;
    ContentSize(window, &contentWidth, &contentHeight);
    contentWidth = std::max(contentWidth, 1);
    contentHeight = std::max(contentHeight, 1);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window->sdl, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    SDL_Rect usable = UsableBounds(window->sdl);
    window->scale =
        ChooseWindowScale(usable.w, usable.h, left + right, top + bottom, contentWidth, contentHeight);
    int width = contentWidth * window->scale;
    int height = contentHeight * window->scale;
    POINT origin = ClientOrigin(window);
    int x = std::max(std::min(origin.x, usable.x + usable.w - right - width), usable.x + left);
    int y = std::max(std::min(origin.y, usable.y + usable.h - bottom - height), usable.y + top);
    if (usable.w <= 0 || usable.h <= 0) {
        x = origin.x;
        y = origin.y;
    }
    int now = 0, nowHeight = 0;
    SDL_GetWindowSize(window->sdl, &now, &nowHeight);
    if (now != width || nowHeight != height) {
        window->placedWidth = width;
        window->placedHeight = height;
    }
    SDL_SetWindowSize(window->sdl, width, height);
    SDL_SetWindowPosition(window->sdl, x, y);
}

POINT WindowPixelToClient(HWND window, int x, int y) {
    if (!IsLiveWindow(window) || window->sdl == nullptr)
        return POINT{x, y};
    int outputWidth = 0, outputHeight = 0;
    SDL_GetWindowSize(window->sdl, &outputWidth, &outputHeight);
    int contentWidth = 0, contentHeight = 0;
    ContentSize(window, &contentWidth, &contentHeight);
    FrameFit fit = FitFrame(outputWidth, outputHeight, contentWidth, contentHeight, ChosenFrameScaling());
    FramePoint point = OutputToFrame(x, y, fit, contentWidth, contentHeight);
    return POINT{point.x, point.y};
}

void SetWindowFullScreen(HWND window, bool fullScreen) {
    if (!IsLiveWindow(window) || window->fullScreen == fullScreen)
        return;
    window->fullScreen = fullScreen;
    window->presentedFullScreen = fullScreen;
    ApplyPresentation(window);
}

void ToggleFullScreenPresentation(HWND window) {
    if (!IsLiveWindow(window))
        return;
    window->presentedFullScreen = !window->presentedFullScreen;
    ApplyPresentation(window);
}

bool HandleToggleKey(HWND window, int32_t sdlKeycode, uint16_t modifiers, bool down, bool repeat) {
    if (!down)
        return toggleKeysDown.erase(sdlKeycode) > 0;
    if (repeat)
        return toggleKeysDown.count(sdlKeycode) > 0;
    if (!IsToggleChord(sdlKeycode, modifiers))
        return false;
    toggleKeysDown.insert(sdlKeycode);
    ToggleFullScreenPresentation(window);
    return true;
}

void NotePresentedFrame(HWND window, int width, int height) {
    if (!IsLiveWindow(window) || (window->frameWidth == width && window->frameHeight == height))
        return;
    window->frameWidth = width;
    window->frameHeight = height;
    if (window->fullScreen)
        PlaceSdlWindow(window); // a full-screen game's frame is what a window shows
}

} // namespace platform
