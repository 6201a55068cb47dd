// Font faces from the system's font list in the registry: the machine's
// fonts, then the user's own (whose entries hold whole paths).
#include "platform/os/font_files.h"

#include "platform/os/windows/wide.h"

#include <windows.h>

namespace platform {
namespace {

// The file of a registry entry such as "Verdana Bold (TrueType)"; empty when
// the key has no such entry.
std::wstring RegisteredFile(HKEY root, const std::wstring& entry) {
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof value;
    if (RegGetValueW(root, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", entry.c_str(),
                     RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return L"";
    return value;
}

std::wstring FontsFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(windows) + L"\\Fonts\\" : L"";
}

bool IsWholePath(const std::wstring& file) {
    return file.size() > 2 && (file[1] == L':' || (file[0] == L'\\' && file[1] == L'\\'));
}

bool Registered(const std::string& family, bool bold, bool italic, FontFile* found) {
    std::string style;
    if (bold)
        style += " Bold";
    if (italic)
        style += " Italic";
    const std::wstring entry = Wide(family + style + " (TrueType)");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const std::wstring file = RegisteredFile(root, entry);
        if (file.empty())
            continue;
        found->path = Utf8(IsWholePath(file) ? file : FontsFolder() + file);
        found->index = 0;
        return true;
    }
    return false;
}

} // namespace

bool FindInstalledFont(const char* family, bool bold, bool italic, FontFile* found) {
    // A family without the style asked for still draws in its regular face.
    return Registered(family, bold, italic, found) || Registered(family, false, false, found);
}

bool FindFontSubstitute(const char* family, bool bold, bool italic, FontFile* found) {
    return FindInstalledFont(family, bold, italic, found) || FindInstalledFont("Arial", bold, italic, found) ||
           FindInstalledFont("Tahoma", bold, italic, found);
}

} // namespace platform
