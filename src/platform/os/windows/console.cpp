#include "platform/os/console.h"

#include <windows.h>

#include <cstdio>

namespace platform {
namespace {

// True when the handle already leads to a file, a pipe or a console.
bool Leads(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void UseStartingConsole() {
    const bool output = Leads(STD_OUTPUT_HANDLE);
    const bool errors = Leads(STD_ERROR_HANDLE);
    if ((output && errors) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    SetConsoleOutputCP(CP_UTF8); // the game's text is UTF-8
    if (!output)
        std::freopen("CONOUT$", "w", stdout);
    if (!errors)
        std::freopen("CONOUT$", "w", stderr);
}

} // namespace platform
