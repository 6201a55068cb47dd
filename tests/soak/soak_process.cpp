#include "soak/soak_process.h"
#include "file_bytes.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace soak {

namespace {

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& env) {
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        if (!env.count(entry.substr(0, entry.find('='))))
            entries.push_back(entry);
    }
    for (const auto& [key, value] : env)
        entries.push_back(key + "=" + value);
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

Folder::Folder() {
    std::string pattern = (fs::temp_directory_path() / "backfire-soak-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
    fs::create_directory_symlink(fs::path(BACKFIRE_BUILD_DIR) / "dat", path / "dat");
}

Folder::~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

RunResult Run(const Folder& folder, const std::vector<std::string>& wrapper,
              const std::map<std::string, std::string>& env, std::chrono::seconds timeout) {
    std::vector<std::string> args = wrapper;
    args.push_back(BACKFIRE_BINARY);
    std::vector<std::string> environment = EnvironmentWith(env);
    const std::string errorFile = (folder.Path() / "stderr.txt").string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.Path().c_str());
    pid_t pid = -1;
    const auto started = std::chrono::steady_clock::now();
    const int rc = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, Pointers(args).data(),
                               Pointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("posix_spawn failed");

    RunResult result;
    int status = 0;
    auto nextSample = started;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        const auto now = std::chrono::steady_clock::now();
        if (now - started > timeout) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        if (now >= nextSample) {
            const long resident = ResidentKilobytes(pid);
            if (resident > 0)
                result.residentKilobytes.push_back(resident);
            nextSample += std::chrono::seconds(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!result.timedOut && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.errors = test_files::Read(errorFile);
    return result;
}

} // namespace soak
