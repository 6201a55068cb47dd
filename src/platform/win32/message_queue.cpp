// The one message queue of the game's thread and the keys it knows to be held.
#include "platform/win32/message_queue.h"

#include "platform/win32/clock.h"
#include "platform/win32/key_map.h"
#include "platform/win32/window_sdl.h"

#include <deque>
#include <set>
#include <vector>

namespace {

std::deque<MSG> queue;
bool quitPosted = false;
int quitCode = 0;
std::set<int> keysDown;
std::set<int> releasedOnFocusLoss;
void (*startEventPoster)() = nullptr;

} // namespace

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->message != WM_KEYDOWN)
        return FALSE;
    int character = platform::TranslatedCharacter(static_cast<int>(msg->wParam));
    if (character == 0)
        return FALSE;
    // Ahead of everything queued, so the character follows its own key press.
    queue.push_front(platform::MakeMessage(msg->hwnd, WM_CHAR, static_cast<WPARAM>(character), msg->lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && !platform::IsLiveWindow(window))
        return FALSE;
    queue.push_back(platform::MakeMessage(window, message, wParam, lParam));
    return TRUE;
}

namespace platform {

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    return msg;
}

bool MessageMatches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool TakeQueuedMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!MessageMatches(*it, window, filterMin, filterMax))
            continue;
        *msg = *it;
        if (remove)
            queue.erase(it);
        return true;
    }
    return false;
}

bool TakeQuitMessage(MSG* msg, UINT filterMin, UINT filterMax, bool remove) {
    if (!quitPosted || filterMin != 0 || filterMax != 0)
        return false;
    *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
    if (remove)
        quitPosted = false;
    return true;
}

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

void SetStartEventPoster(void (*poster)()) {
    startEventPoster = poster;
}

void PostStartEvents() {
    if (startEventPoster != nullptr)
        startEventPoster();
}

} // namespace platform
