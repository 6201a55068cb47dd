// SDL events become the window messages the game's window procedure sees.
#include "platform/dinput8/gamepad.h"
#include "platform/dinput8/mouse_state.h"
#include "platform/os/host_turn.h"
#include "platform/win32/key_map.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_sdl.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

#include <algorithm>

namespace {

constexpr WPARAM kLeftHeld = 0x0001;  // MK_LBUTTON
constexpr WPARAM kRightHeld = 0x0002; // MK_RBUTTON

HWND TargetOf(uint32_t windowId) {
    HWND window = platform::WindowFromSdlId(windowId);
    return window != nullptr ? window : platform::MainWindow();
}

WPARAM HeldButtons() {
    Uint32 state = SDL_GetMouseState(nullptr, nullptr);
    WPARAM held = 0;
    if ((state & SDL_BUTTON_LMASK) != 0)
        held |= kLeftHeld;
    if ((state & SDL_BUTTON_RMASK) != 0)
        held |= kRightHeld;
    return held;
}

// The size the game is told of: a full-screen game's client is the screen;
// a windowed game's is the window scaled back, and only when the change is
// not our own presentation (an enlargement, full screen over a window, or a
// placement not yet shown).
void OnSizeChanged(HWND window, int width, int height) {
    if (window->presentedFullScreen != window->fullScreen)
        return;
    if (!window->fullScreen) {
        if (window->placedWidth != 0) {
            // Until our own placement shows, sizes are from before it.
            if (width == window->placedWidth && height == window->placedHeight)
                window->placedWidth = window->placedHeight = 0;
            return;
        }
        int contentWidth = 0, contentHeight = 0;
        platform::ContentSize(window, &contentWidth, &contentHeight);
        if (width == contentWidth * window->scale && height == contentHeight * window->scale)
            return;
        width = std::max(1, width / window->scale);
        height = std::max(1, height / window->scale);
    }
    if (width == window->clientWidth && height == window->clientHeight)
        return;
    window->clientWidth = width;
    window->clientHeight = height;
    if (!window->fullScreen) {
        RECT& r = window->windowRect;
        RECT frame{};
        AdjustWindowRect(&frame, window->style, FALSE);
        r.right = r.left + width + (frame.right - frame.left);
        r.bottom = r.top + height + (frame.bottom - frame.top);
    }
    PostMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
}

void OnWindowEvent(const SDL_WindowEvent& e) {
    HWND window = platform::WindowFromSdlId(e.windowID);
    if (window == nullptr)
        return;
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        OnSizeChanged(window, e.data1, e.data2);
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (!window->fullScreen) {
            POINT origin = platform::ClientOrigin(window);
            RECT& r = window->windowRect;
            int dx = e.data1 - origin.x;
            int dy = e.data2 - origin.y;
            if (dx == 0 && dy == 0)
                break;
            r = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
            PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
        }
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        window->minimised = true;
        PostMessageA(window, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        window->minimised = false;
        PostMessageA(window, WM_SIZE, e.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELPARAM(window->clientWidth, window->clientHeight));
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        window->paintPending = true;
        ++window->exposures;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        window->focused = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // Nothing stays held while the keys and buttons go to someone else.
        window->focused = false;
        platform::ForgetHeldPadButtons();
        platform::ReleaseHeldKeys(window);
        platform::ReleaseMouseButtons();
        break;
    default:
        break;
    }
}

void OnKey(const SDL_KeyboardEvent& e) {
    bool down = e.type == SDL_KEYDOWN;
    if (platform::HandleToggleKey(TargetOf(e.windowID), e.keysym.sym, e.keysym.mod, down, e.repeat != 0))
        return;
    int vk = platform::VirtualKeyFromSdl(e.keysym.sym);
    if (vk == 0 || (!down && platform::KeyUpIsStale(vk)))
        return;
    LPARAM lParam = platform::KeyMessageLParam(vk, down);
    PostMessageA(TargetOf(e.windowID), down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk), lParam);
}

// The code of the UTF-8 sequence at `p`, advancing `p`; 0x100 stands for
// anything that is not one whole character of Latin-1.
uint32_t NextLatin1(const unsigned char*& p, const unsigned char* end) {
    uint32_t lead = *p++;
    if (lead < 0x80)
        return lead;
    if ((lead & 0xE0) == 0xC0 && p < end && (*p & 0xC0) == 0x80)
        return ((lead & 0x1F) << 6) | (*p++ & 0x3F);
    while (p < end && (*p & 0xC0) == 0x80)
        ++p;
    return 0x100;
}

// One WM_CHAR per character of the text; characters without a single-byte
// form are left out rather than truncated into a wrong one.
void OnText(const SDL_TextInputEvent& e) {
    HWND window = TargetOf(e.windowID);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(e.text);
    const unsigned char* end = p + SDL_strlen(e.text);
    while (p < end) {
        uint32_t code = NextLatin1(p, end);
        if (code >= 0x20 && code <= 0xFF && code != 0x7F)
            PostMessageA(window, WM_CHAR, code, 1);
    }
}

void OnMotion(const SDL_MouseMotionEvent& e) {
    HWND window = TargetOf(e.windowID);
    if (window != nullptr && window->focused)
        platform::AddMouseMotion(e.xrel, e.yrel, 0);
    POINT client = platform::WindowPixelToClient(window, e.x, e.y);
    platform::SetLastPointerPosition(client);
    PostMessageA(window, WM_MOUSEMOVE, HeldButtons(), MAKELPARAM(client.x, client.y));
}

void OnButton(const SDL_MouseButtonEvent& e) {
    bool down = e.type == SDL_MOUSEBUTTONDOWN;
    int button = e.button == SDL_BUTTON_LEFT     ? 0
                 : e.button == SDL_BUTTON_RIGHT  ? 1
                 : e.button == SDL_BUTTON_MIDDLE ? 2
                                                 : -1;
    if (button < 0)
        return;
    platform::SetMouseButton(button, down);
    UINT message = 0;
    if (button == 0)
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    else if (button == 1)
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    if (message == 0)
        return;
    HWND window = TargetOf(e.windowID);
    POINT client = platform::WindowPixelToClient(window, e.x, e.y);
    PostMessageA(window, message, HeldButtons(), MAKELPARAM(client.x, client.y));
}

void Translate(const SDL_Event& event) {
    if (platform::HandleGamepadEvent(event))
        return;
    switch (event.type) {
    case SDL_QUIT: // an interrupt or the session ending: close as the close button does
        PostMessageA(platform::MainWindow(), WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        OnWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        OnKey(event.key);
        break;
    case SDL_TEXTINPUT:
        OnText(event.text);
        break;
    case SDL_MOUSEMOTION:
        OnMotion(event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        OnButton(event.button);
        break;
    case SDL_MOUSEWHEEL:
        platform::AddMouseMotion(0, 0, event.wheel.y * 120); // one notch is 120 wheel units
        break;
    default:
        break;
    }
}

} // namespace

namespace platform {

void PumpSdlEvents(int waitMs) {
    SDL_Event event;
    if (waitMs > 0 && !WaitInHost(waitMs)) {
        if (SDL_WaitEventTimeout(&event, waitMs) == 0)
            return;
        Translate(event);
    }
    while (SDL_PollEvent(&event) != 0)
        Translate(event);
}

} // namespace platform
