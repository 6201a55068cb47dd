// The one message queue of the game's thread: posted messages in order, then
// a synthesized WM_PAINT for an exposed window, then WM_QUIT.
#include "platform/dinput8/gamepad.h"
#include "platform/win32/clock.h"
#include "platform/win32/key_map.h"
#include "platform/win32/window_sdl.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <set>
#include <vector>

namespace {

std::deque<MSG> queue;
bool quitPosted = false;
int quitCode = 0;
std::set<int> keysDown;
std::set<int> releasedOnFocusLoss;

// BACKFIRE_INPUT_LOG=FILE: every key, character and pointer message the
// game's window procedure is handed, one line each ("keydown 32", "char 32",
// "move 300 200"), for tests that check what reaches the game from the desktop.
FILE* InputLog() {
    static FILE* log = [] {
        const char* path = std::getenv("BACKFIRE_INPUT_LOG");
        return path != nullptr && path[0] != '\0' ? std::fopen(path, "w") : nullptr;
    }();
    return log;
}

void LogInput(const MSG& msg) {
    const char* name = nullptr;
    bool pointer = false;
    switch (msg.message) {
    case WM_KEYDOWN:
        name = "keydown";
        break;
    case WM_KEYUP:
        name = "keyup";
        break;
    case WM_CHAR:
        name = "char";
        break;
    case WM_MOUSEMOVE:
        name = "move";
        pointer = true;
        break;
    case WM_LBUTTONDOWN:
        name = "lbuttondown";
        pointer = true;
        break;
    case WM_LBUTTONUP:
        name = "lbuttonup";
        pointer = true;
        break;
    default:
        return;
    }
    FILE* log = InputLog();
    if (log == nullptr)
        return;
    uintptr_t bits = static_cast<uintptr_t>(msg.lParam);
    if (pointer)
        std::fprintf(log, "%s %d %d\n", name, static_cast<int16_t>(LOWORD(bits)), static_cast<int16_t>(HIWORD(bits)));
    else
        std::fprintf(log, "%s %u\n", name, static_cast<unsigned>(msg.wParam));
    std::fflush(log);
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

MSG Make(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    return msg;
}

bool TakeQueued(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(*it, window, filterMin, filterMax))
            continue;
        *msg = *it;
        if (remove)
            queue.erase(it);
        return true;
    }
    return false;
}

bool TakeSynthesized(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if (HWND painted = platform::WindowNeedingPaint()) {
        MSG paint = Make(painted, WM_PAINT, 0, 0);
        if (Matches(paint, window, filterMin, filterMax)) {
            *msg = paint;
            if (remove)
                painted->paintPending = false;
            return true;
        }
    }
    if (quitPosted) {
        MSG quit = Make(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
        if (filterMin == 0 && filterMax == 0) {
            *msg = quit;
            if (remove)
                quitPosted = false;
            return true;
        }
    }
    return false;
}

} // namespace

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlag) {
    if (msg == nullptr)
        return FALSE;
    bool remove = (removeFlag & PM_REMOVE) != 0;
    platform::PostStartEvents();
    bool sdlEvents = platform::SdlVideoRunning() || platform::GamepadsRunning();
    if (sdlEvents)
        platform::PumpSdlEvents(0);
    if (TakeQueued(msg, window, filterMin, filterMax, remove) ||
        TakeSynthesized(msg, window, filterMin, filterMax, remove))
        return TRUE;

    // Nothing to do: let time pass instead of spinning.
    if (platform::ClockIsVirtual()) {
        platform::AdvanceVirtualClock(1);
        return FALSE;
    }
    if (sdlEvents) {
        platform::PumpSdlEvents(platform::IdleWaitMilliseconds());
        if (TakeQueued(msg, window, filterMin, filterMax, remove))
            return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->message != WM_KEYDOWN)
        return FALSE;
    int character = platform::TranslatedCharacter(static_cast<int>(msg->wParam));
    if (character == 0)
        return FALSE;
    // Ahead of everything queued, so the character follows its own key press.
    queue.push_front(Make(msg->hwnd, WM_CHAR, static_cast<WPARAM>(character), msg->lParam));
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || !platform::IsLiveWindow(msg->hwnd))
        return 0;
    LogInput(*msg);
    return msg->hwnd->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && !platform::IsLiveWindow(window))
        return FALSE;
    queue.push_back(Make(window, message, wParam, lParam));
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!platform::IsLiveWindow(window))
        return 0;
    return window->procedure(window, message, wParam, lParam);
}

namespace platform {

LPARAM KeyMessageLParam(int virtualKey, bool down) {
    constexpr uint32_t kRepeatCount = 1;
    constexpr uint32_t kWasDown = 1u << 30;
    constexpr uint32_t kReleasing = 1u << 31;
    if (!down) {
        keysDown.erase(virtualKey);
        return static_cast<LPARAM>(kRepeatCount | kWasDown | kReleasing);
    }
    releasedOnFocusLoss.erase(virtualKey);
    bool repeat = !keysDown.insert(virtualKey).second;
    return static_cast<LPARAM>(kRepeatCount | (repeat ? kWasDown : 0u));
}

void ReleaseAllKeys() {
    keysDown.clear();
    releasedOnFocusLoss.clear();
}

void ReleaseHeldKeys(HWND window) {
    std::vector<int> held(keysDown.begin(), keysDown.end());
    keysDown.clear();
    for (int virtualKey : held) {
        PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), KeyMessageLParam(virtualKey, false));
        releasedOnFocusLoss.insert(virtualKey);
    }
}

bool KeyUpIsStale(int virtualKey) {
    return keysDown.count(virtualKey) == 0 && releasedOnFocusLoss.erase(virtualKey) > 0;
}

void DropMessagesFor(HWND window) {
    for (auto it = queue.begin(); it != queue.end();)
        it = it->hwnd == window ? queue.erase(it) : it + 1;
}

} // namespace platform
