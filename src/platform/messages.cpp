// The one message queue of the game's thread: posted messages in order, then
// a synthesized WM_PAINT for an exposed window, then WM_QUIT.
#include "platform/clock.h"
#include "platform/key_map.h"
#include "platform/window_sdl.h"

#include <deque>
#include <set>

namespace {

std::deque<MSG> queue;
bool quitPosted = false;
int quitCode = 0;
std::set<int> keysDown;

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
    if (platform::SdlVideoRunning())
        platform::PumpSdlEvents(0);
    if (TakeQueued(msg, window, filterMin, filterMax, remove) ||
        TakeSynthesized(msg, window, filterMin, filterMax, remove))
        return TRUE;

    // Nothing to do: let time pass instead of spinning.
    if (platform::ClockIsVirtual()) {
        platform::AdvanceVirtualClock(1);
        return FALSE;
    }
    if (platform::SdlVideoRunning()) {
        platform::PumpSdlEvents(1);
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
    bool repeat = !keysDown.insert(virtualKey).second;
    return static_cast<LPARAM>(kRepeatCount | (repeat ? kWasDown : 0u));
}

void ReleaseAllKeys() {
    keysDown.clear();
}

void DropMessagesFor(HWND window) {
    for (auto it = queue.begin(); it != queue.end();)
        it = it->hwnd == window ? queue.erase(it) : it + 1;
}

} // namespace platform
