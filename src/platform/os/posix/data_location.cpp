#include "platform/os/data_location.h"

#include "platform/os/posix/save_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {
namespace {

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Normal(const fs::path& path) {
    return path.lexically_normal().string();
}

std::string Text(const char* value) {
    return value != nullptr ? value : "";
}

} // namespace

std::string XdgSaveDirectory(const std::string& xdgDataHome, const std::string& home) {
    if (IsAbsolute(xdgDataHome))
        return Normal(fs::path(xdgDataHome) / "backfire");
    if (IsAbsolute(home))
        return Normal(fs::path(home) / ".local/share/backfire");
    return "";
}

std::string NoSaveDirectoryReason() {
    return "no home directory (HOME and XDG_DATA_HOME are unset or relative)";
}

std::string PrepareDirectory(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (!IsDirectory(path))
        return error ? error.message() : std::string("not a directory");
    if (access(path.c_str(), W_OK | X_OK) != 0)
        return std::strerror(errno);
    return "";
}

void AnchorEnvironmentPath(const char* name, const std::string& base) {
    std::string value = Text(std::getenv(name));
    if (!value.empty() && !IsAbsolute(value))
        setenv(name, Normal(fs::path(base) / value).c_str(), 1);
}

bool EnterDirectory(const std::string& path, std::string* reason) {
    if (chdir(path.c_str()) == 0)
        return true;
    *reason = std::strerror(errno);
    return false;
}

} // namespace platform
