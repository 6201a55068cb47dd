// The message pump of the game's thread: the desktop's events read into the
// queue, then posted messages in order, a synthesized WM_PAINT for an exposed
// window, then WM_QUIT; and the calls that hand a message to its window.
#include "platform/dinput8/gamepad.h"
#include "platform/os/environment.h"
#include "platform/os/files.h"
#include "platform/os/host_turn.h"
#include "platform/win32/clock.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_sdl.h"

#include <cstdio>

namespace {

// BACKFIRE_INPUT_LOG=FILE: every key, character and pointer message the
// game's window procedure is handed, one line each ("keydown 32", "char 32",
// "move 300 200"), for tests that check what reaches the game from the desktop.
FILE* InputLog() {
    static FILE* log = [] {
        const std::string path = platform::EnvironmentValue("BACKFIRE_INPUT_LOG");
        return path.empty() ? nullptr : platform::OpenFile(path.c_str(), "w");
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

bool TakeSynthesized(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if (HWND painted = platform::WindowNeedingPaint()) {
        MSG paint = platform::MakeMessage(painted, WM_PAINT, 0, 0);
        if (platform::MessageMatches(paint, window, filterMin, filterMax)) {
            *msg = paint;
            if (remove)
                painted->paintPending = false;
            return true;
        }
    }
    return platform::TakeQuitMessage(msg, filterMin, filterMax, remove);
}

// The next message, or an idle wait when there is none.
bool NextMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    platform::PostStartEvents();
    bool sdlEvents = platform::SdlVideoRunning() || platform::GamepadsRunning();
    if (sdlEvents)
        platform::PumpSdlEvents(0);
    if (platform::TakeQueuedMessage(msg, window, filterMin, filterMax, remove) ||
        TakeSynthesized(msg, window, filterMin, filterMax, remove))
        return true;

    // Nothing to do: let time pass instead of spinning.
    if (platform::ClockIsVirtual()) {
        platform::AdvanceVirtualClock(1);
        return false;
    }
    if (sdlEvents) {
        platform::PumpSdlEvents(platform::IdleWaitMilliseconds());
        if (platform::TakeQueuedMessage(msg, window, filterMin, filterMax, remove))
            return true;
    }
    return false;
}

} // namespace

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlag) {
    if (msg == nullptr)
        return FALSE;
    const bool found = NextMessage(msg, window, filterMin, filterMax, (removeFlag & PM_REMOVE) != 0);
    platform::GiveHostItsTurn();
    return found ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || !platform::IsLiveWindow(msg->hwnd))
        return 0;
    LogInput(*msg);
    return msg->hwnd->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!platform::IsLiveWindow(window))
        return 0;
    return window->procedure(window, message, wParam, lParam);
}

