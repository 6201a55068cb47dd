#include "platform/os/data_location.h"

#include "platform/os/windows/wide.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace platform {
namespace {

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the folder after its missing parents; the error of the first
// folder that could not be made, 0 when the folder exists afterwards.
DWORD CreateFolders(const std::wstring& path) {
    if (path.empty() || IsDirectory(path))
        return 0;
    const size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos && separator > 0) {
        if (const DWORD error = CreateFolders(path.substr(0, separator)); error != 0)
            return error;
    }
    if (CreateDirectoryW(path.c_str(), nullptr) || IsDirectory(path))
        return 0;
    return GetLastError();
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK)
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2); // cut short: try a larger buffer
    }
}

std::string Normal(const fs::path& path) {
    return Utf8(path.lexically_normal().wstring());
}

} // namespace

std::string NoSaveDirectoryReason() {
    return "Windows names no folder for application data (APPDATA)";
}

std::string PrepareDirectory(const std::string& path) {
    const std::wstring folder = Wide(path);
    if (const DWORD error = CreateFolders(folder); error != 0)
        return ErrorText(error);
    // Write permission is only known by writing.
    const std::wstring probe = folder + L"\\.backfire-probe-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ErrorText(GetLastError());
    CloseHandle(file);
    DeleteFileW(probe.c_str());
    return "";
}

LaunchEnvironment CurrentLaunchEnvironment() {
    LaunchEnvironment environment;
    if (const DWORD length = GetCurrentDirectoryW(0, nullptr); length > 0) {
        std::wstring directory(length, L'\0');
        directory.resize(GetCurrentDirectoryW(length, directory.data()));
        environment.workingDirectory = Utf8(directory);
    }
    const std::wstring executable = ExecutablePath();
    if (const size_t separator = executable.find_last_of(L"\\/"); separator != std::wstring::npos)
        environment.executableDirectory = Utf8(executable.substr(0, separator));
    if (const std::wstring appData = KnownFolder(FOLDERID_RoamingAppData); !appData.empty())
        environment.saveDirectory = Utf8(appData + L"\\Backfire");
    environment.backfireData = EnvironmentVariable(L"BACKFIRE_DATA");
    // A program folder under Program Files cannot be written without
    // elevation, and the same player's saves must not depend on it.
    environment.savesInGameFolder = false;
    return environment;
}

void AnchorEnvironmentPath(const char* name, const std::string& base) {
    const std::wstring wideName = Wide(name);
    const fs::path value(Wide(EnvironmentVariable(wideName.c_str())));
    if (value.empty() || value.is_absolute())
        return;
    const std::wstring anchored = Wide(Normal(fs::path(Wide(base)) / value));
    _wputenv_s(wideName.c_str(), anchored.c_str());
    SetEnvironmentVariableW(wideName.c_str(), anchored.c_str());
}

bool EnterDirectory(const std::string& path, std::string* reason) {
    if (SetCurrentDirectoryW(Wide(path).c_str()))
        return true;
    *reason = ErrorText(GetLastError());
    return false;
}

} // namespace platform
