#include "platform/os/files.h"
#include "platform/os/write_fault.h"

#include "platform/os/windows/wide.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {
namespace {

std::optional<WriteFault> injectedFault;

bool Fails(WriteStep step) {
    return injectedFault && injectedFault->step == step;
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t allowed = Fails(WriteStep::Write) ? std::min(size, injectedFault->bytesWritten) : size;
    while (allowed > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(allowed, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        allowed -= written;
    }
    return !Fails(WriteStep::Write);
}

// The whole path of a name, or the name itself when it has none.
std::wstring FullPath(const std::wstring& name) {
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    full.resize(size > 0 ? GetFullPathNameW(name.c_str(), size, full.data(), nullptr) : 0);
    return full.empty() ? name : full;
}

bool MoveOver(const std::wstring& temporary, const std::wstring& path) {
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
}

} // namespace

void SetWriteFault(std::optional<WriteFault> fault) {
    injectedFault = fault;
}

bool WriteFileAtomically(const char* name, const void* data, size_t size) {
    const std::string path = ResolvePath(name);
    // A whole path: Wine's ReplaceFileW refuses a relative one (ERROR_DIRECTORY).
    const std::wstring widePath = FullPath(Wide(path));
    const DWORD attributes = GetFileAttributesW(widePath.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == FILE_ATTRIBUTE_READONLY) {
        std::fprintf(stderr, "backfire: %s is read-only; it was left as it is and not saved\n", path.c_str());
        return false;
    }
    // Nothing replaces a folder (Wine's ReplaceFileW would).
    if ((exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) || Fails(WriteStep::Create))
        return false;
    // A unique name, so a temporary file left behind by a crash never blocks a later save.
    static uint32_t attempt = 0;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 16 && file == INVALID_HANDLE_VALUE; ++tries) {
        temporary =
            widePath + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt++);
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = WriteAll(file, data, size) && FlushFileBuffers(file) && !Fails(WriteStep::Sync);
    ok = CloseHandle(file) && !Fails(WriteStep::Close) && ok;
    if (ok && !Fails(WriteStep::Rename)) {
        if (!exists && MoveOver(temporary, widePath))
            return true;
        // ReplaceFileW keeps the old file's attributes and permissions, and
        // the old file itself when it fails.
        if (exists && ReplaceFileW(widePath.c_str(), temporary.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            return true;
        // The old file is gone but the new one kept its temporary name: that
        // is now the only copy, so it stays when it cannot be moved either.
        if (exists && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            return MoveOver(temporary, widePath);
    }
    DeleteFileW(temporary.c_str());
    return false;
}

} // namespace platform
