#include "platform/os/instance_lock.h"

#include "platform/os/windows/wide.h"

#include <windows.h>

#include <cstdio>

namespace {

// Open, never waited on: the named mutex exists while any process has a
// handle to it, and the system closes the handle when the process ends.
HANDLE lockHandle = nullptr;

const wchar_t* const kDefaultName = L"Local\\Backfire.Instance";

} // namespace

namespace platform {

// The lock file that BACKFIRE_INSTANCE_LOCK names becomes a mutex's name: a
// kernel object's name may hold anything but a backslash, and the file is
// taken as absolute and in one case, as the file system takes it.
std::string InstanceLockPath() {
    const std::wstring given = Wide(EnvironmentVariable(L"BACKFIRE_INSTANCE_LOCK"));
    if (given.empty())
        return Utf8(kDefaultName);
    const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    std::wstring file(size, L'\0');
    file.resize(GetFullPathNameW(given.c_str(), size, file.data(), nullptr));
    if (file.empty())
        file = given;
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, file.data(), static_cast<int>(file.size()),
                  file.data(), static_cast<int>(file.size()), nullptr, nullptr, 0);
    for (wchar_t& c : file)
        if (c == L'\\')
            c = L'/';
    return Utf8(std::wstring(kDefaultName) + L"." + file);
}

bool AnotherInstanceRunning() {
    if (lockHandle != nullptr)
        return false;
    const std::string name = InstanceLockPath();
    HANDLE handle = CreateMutexW(nullptr, FALSE, Wide(name).c_str());
    const DWORD error = GetLastError();
    if (handle != nullptr && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return true;
    }
    if (handle != nullptr) {
        lockHandle = handle;
        return false;
    }
    // One made by an instance with other rights (run as administrator).
    if (error == ERROR_ACCESS_DENIED)
        return true;
    // Without the lock nothing can be known; starting beats refusing.
    std::fprintf(stderr, "backfire: cannot open the instance lock %s: %s\n", name.c_str(),
                 ErrorText(error).c_str());
    return false;
}

void ReleaseInstanceLock() {
    if (lockHandle == nullptr)
        return;
    CloseHandle(lockHandle);
    lockHandle = nullptr;
}

} // namespace platform
