#include "platform/os/files.h"

#include "platform/os/host_turn.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace platform {
namespace {

std::string dataRoot;

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// The entry of `directory` equal to `component` ignoring case; the smallest
// such name when several differ only by case, so the choice is repeatable.
bool FindIgnoringCase(const std::string& directory, const std::string& component, std::string* found) {
    DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr)
        return false;
    bool any = false;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, component.c_str()) != 0)
            continue;
        if (!any || *found > entry->d_name)
            *found = entry->d_name;
        any = true;
    }
    closedir(dir);
    return any;
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

bool IsDataFolder(const std::string& component) {
    return strcasecmp(component.c_str(), "dat") == 0;
}

} // namespace

void SetDataRoot(const std::string& root) {
    dataRoot = root;
}

std::string ResolvePath(const char* name) {
    if (name == nullptr)
        return std::string();
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';

    std::vector<std::string> parts = SplitComponents(path);
    std::string resolved;
    size_t first = 0;
    if (!dataRoot.empty() && IsDataFolder(parts[0])) {
        resolved = dataRoot;
        first = 1;
    }
    bool searching = true; // below a missing directory nothing can match
    for (size_t i = first; i < parts.size(); ++i) {
        std::string part = parts[i];
        if (i > 0)
            resolved += '/';
        bool special = part.empty() || part == "." || part == "..";
        if (searching && !special && !Exists(resolved + part)) {
            std::string directory = i == 0 ? "." : resolved;
            std::string found;
            if (FindIgnoringCase(directory, part, &found))
                part = found;
            else
                searching = false;
        }
        resolved += part;
    }
    return resolved;
}

FILE* OpenFile(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr)
        return nullptr;
    const std::string path = ResolvePath(name);
    FILE* file = fopen(path.c_str(), mode);
    if (file != nullptr && mode[0] != 'r')
        NoteFileWritten(path);
    return file;
}

bool MakeFolder(const char* name) {
    if (name == nullptr)
        return false;
    const std::string path = ResolvePath(name);
    struct stat info {};
    return mkdir(path.c_str(), 0755) == 0 || (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

bool RenameFile(const char* from, const char* to) {
    return from != nullptr && to != nullptr && rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0;
}

bool RemoveFile(const char* name) {
    return name != nullptr && (unlink(ResolvePath(name).c_str()) == 0 || errno == ENOENT);
}

} // namespace platform
