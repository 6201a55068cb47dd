#include "e2e/game_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

namespace e2e {

Sandbox::Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "backfire-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    dir = pattern;
    fs::path data = fs::path(BACKFIRE_BUILD_DIR) / "dat";
    if (fs::exists(data))
        fs::create_directory_symlink(data, fs::path(dir) / "dat");
}

Sandbox::~Sandbox() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

bool Sandbox::Exists(const std::string& name) const { return fs::exists(PathOf(name)); }

std::string Sandbox::Read(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Sandbox::Write(const std::string& name, const std::string& content) const {
    std::ofstream out(PathOf(name), std::ios::binary);
    out << content;
}

GameProcess::GameProcess(const Sandbox& sandbox, const std::vector<std::string>& args,
                         std::map<std::string, std::string> env) {
    if (!env.count("BACKFIRE_INSTANCE_LOCK"))
        env["BACKFIRE_INSTANCE_LOCK"] = sandbox.PathOf("instance.lock");
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string key = entry.substr(0, entry.find('='));
        if (!env.count(key))
            environment.push_back(entry);
    }
    for (auto& [key, value] : env)
        environment.push_back(key + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::vector<std::string> argvText{BACKFIRE_BINARY};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argvText)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    errorFile = sandbox.PathOf("stderr-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // The game reads and writes its files in its working directory.
    std::string cwd = fs::current_path().string();
    fs::current_path(sandbox.Dir());
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    fs::current_path(cwd);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error(std::string("posix_spawn: ") + std::strerror(rc));
}

GameProcess::~GameProcess() {
    if (!reaped) {
        Terminate();
        Wait(std::chrono::seconds(10));
    }
}

bool GameProcess::Running() {
    if (reaped)
        return false;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid)
        reaped = true;
    return !reaped;
}

void GameProcess::Terminate() {
    if (!reaped)
        kill(pid, SIGKILL);
}

Result GameProcess::Wait(std::chrono::seconds timeout) {
    Result result;
    bool ended = WaitFor([this] { return !Running(); }, timeout);
    if (!ended) {
        result.timedOut = true;
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        reaped = true;
    }
    if (!result.timedOut && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    std::ifstream in(errorFile);
    std::ostringstream text;
    text << in.rdbuf();
    result.errors = text.str();
    return result;
}

Result RunHeadless(const Sandbox& sandbox, const std::string& script, int maxTicks,
                   std::map<std::string, std::string> env, std::chrono::seconds timeout) {
    env["BACKFIRE_HEADLESS"] = "1";
    if (maxTicks >= 0)
        env["BACKFIRE_MAX_TICKS"] = std::to_string(maxTicks);
    if (!script.empty()) {
        sandbox.Write("script.txt", script);
        env["BACKFIRE_SCRIPT"] = sandbox.PathOf("script.txt");
    }
    GameProcess game(sandbox, {}, env);
    return game.Wait(timeout);
}

} // namespace e2e
