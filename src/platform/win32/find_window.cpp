// FindWindowA knows one window of another process: the game's own, which is
// there while another instance holds the single-instance lock.
#include "platform/os/instance_lock.h"
#include "platform/win32/win32.h"

#include <cstdint>
#include <cstring>

namespace {

// Stands for the other instance's window; never dispatched to.
HWND__* const kOtherInstance = reinterpret_cast<HWND__*>(static_cast<uintptr_t>(1));

} // namespace

HWND FindWindowA(LPCSTR className, LPCSTR title) {
    if (className == nullptr || title == nullptr || std::strcmp(className, "D3D Window") != 0 ||
        std::strcmp(title, "Game") != 0)
        return nullptr;
    return platform::AnotherInstanceRunning() ? kOtherInstance : nullptr;
}
