// Runs the real game binary in a fresh temporary working directory that links
// to the built dat/, with its own single-instance lock.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

struct _XDisplay; // Xlib's Display

namespace e2e {

class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& Dir() const { return dir; }
    std::string PathOf(const std::string& name) const { return dir + "/" + name; }
    bool Exists(const std::string& name) const;
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& content) const;

private:
    std::string dir;
};

struct Result {
    int exitCode = -1; // -1 when killed or timed out
    int signal = 0;    // the signal that ended the game, 0 for none
    bool timedOut = false;
    std::string errors; // what the game printed on stderr
    std::string output; // and on stdout
};

class GameProcess {
public:
    // Starts the game in the sandbox with the given arguments and extra
    // environment (BACKFIRE_INSTANCE_LOCK defaults to a file in the sandbox).
    GameProcess(const Sandbox& sandbox, const std::vector<std::string>& args,
                std::map<std::string, std::string> env);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits for the game to end; kills it after the timeout.
    Result Wait(std::chrono::seconds timeout);
    bool Running();
    void Terminate();
    // Sends SIGTERM, as the end of a desktop session does.
    void RequestEnd();

private:
    pid_t pid = -1;
    std::string errorFile;
    std::string outputFile;
    int status = 0;
    bool reaped = false;
};

// Headless run to completion with a script text (empty: no script). A
// negative maxTicks sets no tick limit: only the game itself or the timeout
// ends the run.
Result RunHeadless(const Sandbox& sandbox, const std::string& script, int maxTicks,
                   std::map<std::string, std::string> env = {}, std::chrono::seconds timeout = std::chrono::seconds(120));

// A private X server (Xvfb, 1280 x 1024) for the length of one test, on a
// display number the server chose itself (so tests running at the same time
// never meet), with a connection to it; `display` stays null when it could
// not be started. X errors about windows that vanish between listing and
// asking are not fatal.
class VirtualDisplay {
public:
    // A server with one screen of the given size (WIDTHxHEIGHTxDEPTH).
    explicit VirtualDisplay(const std::string& screen = "1280x1024x24");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    _XDisplay* display = nullptr;
    std::string name; // ":N", for DISPLAY

private:
    pid_t pid = -1;
};

// The first window at or below `parent` titled `title`, 0 when there is none.
unsigned long FindWindowNamed(_XDisplay* display, unsigned long parent, const std::string& title);

// Polls until the predicate holds or the timeout passes.
template <typename Predicate> bool WaitFor(Predicate predicate, std::chrono::milliseconds timeout);

} // namespace e2e

#include <thread>

template <typename Predicate> bool e2e::WaitFor(Predicate predicate, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (predicate())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return predicate();
}
