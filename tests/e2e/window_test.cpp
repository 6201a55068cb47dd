// The real binary in a real window under Xvfb: size, title, and closing it.
#include "e2e/game_process.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <filesystem>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace std::chrono_literals;

namespace {

// A window may vanish between listing and asking; such errors are not fatal here.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// A private X server for the length of one test.
class VirtualDisplay {
public:
    explicit VirtualDisplay(int number) : name(":" + std::to_string(number)) {
        std::string screen = "1280x1024x24";
        std::vector<std::string> args{"/usr/bin/Xvfb", name, "-screen", "0", screen, "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        e2e::WaitFor([this] { return (display = XOpenDisplay(name.c_str())) != nullptr; }, 10s);
        XSetErrorHandler(IgnoreXError);
    }
    ~VirtualDisplay() {
        if (display)
            XCloseDisplay(display);
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    Display* display = nullptr;
    std::string name;

private:
    pid_t pid = -1;
};

Window FindWindowNamed(Display* display, Window parent, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, parent, &name) && name) {
        bool match = title == name;
        XFree(name);
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

void RequestClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

TEST(Window, OpensTitledGameWindowAndClosingItEndsTheGame) {
    if (!std::filesystem::exists("/usr/bin/Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    VirtualDisplay x(70 + static_cast<int>(getpid() % 50));
    ASSERT_NE(x.display, nullptr);

    e2e::Sandbox sandbox;
    e2e::GameProcess game(sandbox, {"-W"}, {{"DISPLAY", x.name}, {"SDL_AUDIODRIVER", "dummy"}});
    Window window = 0;
    ASSERT_TRUE(e2e::WaitFor(
        [&] { return (window = FindWindowNamed(x.display, DefaultRootWindow(x.display), "Game")) != 0; }, 30s));

    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(x.display, window, &attributes));
    EXPECT_EQ(attributes.width, 800);
    EXPECT_EQ(attributes.height, 620); // the requested 600 plus one menu-bar height

    // Let it run a little, then close it as a window manager would. The
    // window is looked up again: presenting may have replaced the X window.
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(game.Running());
    window = FindWindowNamed(x.display, DefaultRootWindow(x.display), "Game");
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(XGetWindowAttributes(x.display, window, &attributes));
    EXPECT_EQ(attributes.width, 800);
    EXPECT_EQ(attributes.height, 620);
    RequestClose(x.display, window);
    e2e::Result result = game.Wait(30s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
}
