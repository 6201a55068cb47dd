// Test support: a window whose procedure records every message it gets, and
// a pump that handles the queue as the game's main loop does.
#pragma once

#include "environment_variable.h"
#include "platform/win32/win32.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace platform_test {

inline std::vector<MSG>& Recorded() {
    static std::vector<MSG> messages;
    return messages;
}

inline LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    Recorded().push_back(msg);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Handles every waiting message; true when WM_QUIT was among them.
inline bool Pump() {
    MSG msg{};
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return quit;
}

// The recorded messages of one kind, in order.
inline std::vector<MSG> RecordedOf(UINT message) {
    std::vector<MSG> found;
    for (const MSG& msg : Recorded())
        if (msg.message == message)
            found.push_back(msg);
    return found;
}

// The recorded key and character messages only.
inline std::vector<MSG> RecordedKeys() {
    std::vector<MSG> found;
    for (const MSG& msg : Recorded())
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR)
            found.push_back(msg);
    return found;
}

class RecordingWindow {
  public:
    explicit RecordingWindow(int clientWidth = 640, int clientHeight = 480) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = RecordingProcedure;
            windowClass.lpszClassName = "Recorder";
            registered = RegisterClassA(&windowClass) != 0;
        }
        constexpr DWORD kStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_MINIMIZEBOX;
        RECT rect{0, 0, clientWidth, clientHeight};
        AdjustWindowRect(&rect, kStyle, FALSE);
        Recorded().clear();
        handle = CreateWindowExA(0, "Recorder", "Test", kStyle, 20, 15, rect.right - rect.left,
                                 rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
    }
    ~RecordingWindow() {
        DestroyWindow(handle);
        Pump();
        Recorded().clear();
    }
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND handle = nullptr;
};

// A fresh directory under the system's temporary directory, removed after.
class TempDirectory {
  public:
    TempDirectory() {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("backfire-plat-" + std::to_string(test_environment::ProcessId()) + "-" +
                std::to_string(counter++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    std::string File(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;
};

} // namespace platform_test
