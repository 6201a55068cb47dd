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

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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
    outputFile = sandbox.PathOf("stdout-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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

void GameProcess::RequestEnd() {
    if (!reaped)
        kill(pid, SIGTERM);
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
    if (!result.timedOut && WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    const auto read = [](const std::string& file) {
        std::ifstream in(file);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    };
    result.errors = read(errorFile);
    result.output = read(outputFile);
    return result;
}

namespace {

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

} // namespace

VirtualDisplay::VirtualDisplay(const std::string& screen) {
    int channel[2];
    if (pipe(channel) != 0)
        return;
    // The server writes the number it took to descriptor 3.
    std::vector<std::string> args{"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten",
                                  "tcp"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The read end goes first: it may itself be descriptor 3.
    posix_spawn_file_actions_addclose(&actions, channel[0]);
    posix_spawn_file_actions_adddup2(&actions, channel[1], 3);
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    std::string number;
    char c = 0;
    while (pid > 0 && read(channel[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(channel[0]);
    if (number.empty())
        return;
    name = ":" + number;
    WaitFor([this] { return (display = XOpenDisplay(name.c_str())) != nullptr; }, std::chrono::seconds(10));
    XSetErrorHandler(IgnoreXError);
}

VirtualDisplay::~VirtualDisplay() {
    if (display)
        XCloseDisplay(display);
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

unsigned long FindWindowNamed(Display* display, unsigned long parent, const std::string& title) {
    char* text = nullptr;
    if (XFetchName(display, parent, &text) && text) {
        bool match = title == text;
        XFree(text);
        if (match)
            return parent;
    }
    Window root, up;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            found = FindWindowNamed(display, children[i], title);
        if (children)
            XFree(children);
    }
    return found;
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
