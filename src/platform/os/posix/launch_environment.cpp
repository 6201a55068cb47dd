// The launch environment of a POSIX desktop: the program's own folder from
// /proc, the XDG save folder, HOME from the password database when the
// environment has none.
#include "platform/os/data_location.h"

#include "platform/os/posix/save_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::string Text(const char* value) {
    return value != nullptr ? value : "";
}

std::string HomeFromPasswordDatabase() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<size_t>(size) : 16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return "";
    return Text(found->pw_dir);
}

} // namespace

LaunchEnvironment CurrentLaunchEnvironment() {
    LaunchEnvironment environment;
    std::error_code error;
    environment.workingDirectory = fs::current_path(error).string();
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        environment.executableDirectory = executable.parent_path().string();
    std::string home = Text(std::getenv("HOME"));
    if (home.empty() || home[0] != '/')
        home = HomeFromPasswordDatabase();
    environment.saveDirectory = XdgSaveDirectory(Text(std::getenv("XDG_DATA_HOME")), home);
    environment.backfireData = Text(std::getenv("BACKFIRE_DATA"));
    return environment;
}

} // namespace platform
