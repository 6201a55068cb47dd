#include "platform/os/files.h"

#include "platform/os/windows/wide.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace platform {
namespace {

std::string dataRoot;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// "dat" in any case, as the first component of a name.
bool StartsWithDataFolder(const std::string& path) {
    if (path.size() < 3 || (path.size() > 3 && !IsSeparator(path[3])))
        return false;
    for (size_t i = 0; i < 3; ++i)
        if ((path[i] | 0x20) != "dat"[i])
            return false;
    return true;
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

void SetDataRoot(const std::string& root) {
    dataRoot = root;
}

// The file system ignores case and takes either slash, so a name is its own
// path; only the data root moves names below "dat".
std::string ResolvePath(const char* name) {
    if (name == nullptr)
        return std::string();
    std::string path(name);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (dataRoot.empty() || !StartsWithDataFolder(path))
        return path;
    std::string rest = path.substr(3);
    if (!rest.empty() && IsSeparator(dataRoot.back()))
        rest.erase(0, 1);
    return dataRoot + rest;
}

FILE* OpenFile(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr)
        return nullptr;
    return _wfopen(Wide(ResolvePath(name)).c_str(), Wide(mode).c_str());
}

bool MakeFolder(const char* name) {
    if (name == nullptr)
        return false;
    const std::wstring path = Wide(ResolvePath(name));
    return CreateDirectoryW(path.c_str(), nullptr) != 0 || IsDirectory(path);
}

bool RenameFile(const char* from, const char* to) {
    return from != nullptr && to != nullptr &&
           MoveFileExW(Wide(ResolvePath(from)).c_str(), Wide(ResolvePath(to)).c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0;
}

bool RemoveFile(const char* name) {
    if (name == nullptr)
        return false;
    if (DeleteFileW(Wide(ResolvePath(name)).c_str()) != 0)
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace platform
