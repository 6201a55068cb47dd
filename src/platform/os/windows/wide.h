// Internal to the Windows side: the game's strings are UTF-8, the system's
// calls take UTF-16, so a folder with letters outside ASCII works.
#pragma once

#include <string>

namespace platform {

// Text that is not valid in its encoding converts with U+FFFD in its place.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The system's message for an error code (GetLastError), without the
// closing full stop and line break.
std::string ErrorText(unsigned long code);

// An environment variable as UTF-8; empty when unset.
std::string EnvironmentVariable(const wchar_t* name);

} // namespace platform
